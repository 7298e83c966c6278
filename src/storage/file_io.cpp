// Whole-file reads and atomic whole-file writes (POSIX).
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

namespace mw {
namespace {

// Closes a descriptor on every way out unless released.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the close succeeded (a delayed write error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Mode bits a new file gets: 0666 less the process's umask, read without changing it.
mode_t NewFileMode() {
  mode_t mask = 022;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
      break;
    }
  }
  return 0666 & ~mask;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::string out;
  out.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  bytes = std::move(out);
  return true;
}

bool storage_detail::WriteFileAtomicallyWith(const std::string& requested, std::string_view bytes,
                                             const WriteCall& write) {
  if (requested.empty()) return false;
  // Replace what a symbolic link points at, not the link.
  std::string path = requested;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) path = resolved;
  }
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return false;
  const mode_t mode = exists ? (st.st_mode & 07777) : NewFileMode();

  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base.empty()) return false;
  std::string temp = (slash == std::string::npos ? std::string() : folder) + "." + base +
                     ".XXXXXX";

  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) return false;
  auto fail = [&temp]() {
    ::unlink(temp.c_str());
    return false;
  };
  if (::fchmod(fd.get(), mode) != 0) return fail();
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail();
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd.get()) != 0) return fail();
  if (!fd.Close()) return fail();
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail();

  // Make the rename itself durable; the new file is already in place if this fails.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return storage_detail::WriteFileAtomicallyWith(
      path, bytes, [](int fd, const void* data, size_t size) { return ::write(fd, data, size); });
}

}  // namespace mw
