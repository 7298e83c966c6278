// Whole-file reads and saves. The choices (links, permissions, in-place writes, temporary
// names) are described at the top of file_io.h.
#include "storage/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel allows
constexpr size_t kSuffixLength = 6;
constexpr std::string_view kTempTag = ".mwsave-";
constexpr std::string_view kSuffixChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// Closes a descriptor on every way out.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes, const storage_detail::WriteCall& write) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Follows symbolic links until `path` names no link (or nothing); false on a loop or a link
// that cannot be read.
bool FollowLinks(std::string& path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return false;
    target.resize(static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (target.front() != '/' && slash != std::string::npos) target.insert(0, path, 0, slash + 1);
    path = std::move(target);
  }
  return false;
}

// The write test of the effective user; the superuser passes it for everything, so for him a
// file or folder without any write bit counts as read-only.
bool MayWrite(const std::string& path, const struct stat& st) {
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
  return ::geteuid() != 0 || (st.st_mode & 0222) != 0;
}

std::string RandomSuffix() {
  unsigned char random[kSuffixLength] = {};
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    static unsigned counter = static_cast<unsigned>(::getpid());
    for (unsigned char& r : random) r = static_cast<unsigned char>(counter++ * 2654435761u >> 24);
  }
  std::string suffix;
  for (unsigned char r : random) suffix += kSuffixChars[r % kSuffixChars.size()];
  return suffix;
}

// A new file in `folder` ("" or ending in '/'): without a name where the file system allows,
// else under a fresh temporary name (`name` is set then). Locked until closed.
int CreateTemp(const std::string& folder, const std::string& stem, bool nameless,
               std::string& name) {
  name.clear();
  int fd = -1;
  if (nameless) {
    fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return -1;
  }
  for (int tries = 0; fd < 0 && tries < 100; ++tries) {
    name = folder + stem + RandomSuffix();
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    name.clear();
    return -1;
  }
  ::flock(fd, LOCK_EX | LOCK_NB);  // a new file: nobody else can hold the lock
  return fd;
}

// Gives a nameless file the temporary name it is renamed from.
bool NameTemp(int fd, const std::string& folder, const std::string& stem, std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int tries = 0; tries < 100; ++tries) {
    name = folder + stem + RandomSuffix();
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
        (errno == ENOENT && ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0))
      return true;
    if (errno != EEXIST) break;
  }
  name.clear();
  return false;
}

// Removes the temporary files of saves of this target that were killed: those no save holds
// locked. Failures are ignored; the next save tries again.
void RemoveStaleTemps(const std::string& folder, const std::string& stem) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() != stem.size() + kSuffixLength || name.substr(0, stem.size()) != stem ||
        name.find_first_not_of(kSuffixChars, stem.size()) != std::string_view::npos)
      continue;
    Fd fd(::openat(::dirfd(dir), entry->d_name,
                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() >= 0 && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// Overwrites the file `known` describes, from the start, and cuts it to the new length.
bool WriteInPlace(const std::string& path, const struct stat& known, std::string_view bytes,
                  const storage_detail::WriteCall& write) {
  Fd fd(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_dev != known.st_dev || st.st_ino != known.st_ino)
    return false;
  // Reserve the room first, so that a full disk fails before the file changes.
  if (static_cast<off_t>(bytes.size()) > st.st_size &&
      ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    return false;
  return WriteAll(fd.get(), bytes, write) &&
         ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd.get()) == 0;
}

}  // namespace

std::string storage_detail::TempNameStem(const std::string& fileName) {
  if (1 + fileName.size() + kTempTag.size() + kSuffixLength <= NAME_MAX)
    return "." + fileName + std::string(kTempTag);
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : fileName) hash = (hash ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return std::string(kTempTag) + hex + "-";
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Checked again on what was opened, in case the name changed in between.
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Read straight into the result; one byte more than the size lets the end show at once.
  std::string out(static_cast<size_t>(st.st_size) + 1, '\0');
  size_t done = 0;
  for (;;) {
    if (done == out.size()) out.resize(out.size() * 2);  // the file grew meanwhile
    const ssize_t n = ::read(fd.get(), out.data() + done, out.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  out.resize(done);
  bytes = std::move(out);
  return true;
}

bool storage_detail::WriteFileAtomicallyWith(const std::string& requested,
                                             std::string_view bytes, const WriteCall& write,
                                             WriteOptions options) {
  std::string path = requested;
  if (path.empty() || !FollowLinks(path)) return false;
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string base = path.substr(folder.size());
  if (base.empty() || base == "." || base == "..") return false;

  struct stat old {};
  const bool exists = ::lstat(path.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && (!S_ISREG(old.st_mode) || !MayWrite(path, old))) return false;
  const std::string stem = TempNameStem(base);
  const auto inPlace = [&] {
    if (!exists || !WriteInPlace(path, old, bytes, write)) return false;
    RemoveStaleTemps(folder, stem);
    return true;
  };
  struct stat dirStat {};
  const std::string dirName = folder.empty() ? "." : folder;
  if (::stat(dirName.c_str(), &dirStat) != 0) return false;
  if (!MayWrite(dirName, dirStat) || (exists && old.st_nlink > 1)) return inPlace();

  std::string temp;
  Fd fd(CreateTemp(folder, stem, options.namelessTemp, temp));
  if (fd.get() < 0) return (errno == EACCES || errno == EPERM) && inPlace();
  const auto fail = [&temp] {
    if (!temp.empty()) ::unlink(temp.c_str());
    return false;
  };
  if (exists) {
    // The new file keeps the old one's owner, group and mode; where it cannot take over the
    // owner or group, the old file is written in place, which keeps them.
    struct stat now {};
    if (::fstat(fd.get(), &now) != 0) return fail();
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
      fail();
      fd.Reset();
      return inPlace();
    }
    if (::fchmod(fd.get(), old.st_mode & 07777) != 0) return fail();
  }
  if (!WriteAll(fd.get(), bytes, write) || ::fsync(fd.get()) != 0) return fail();
  if (temp.empty() && !NameTemp(fd.get(), folder, stem, temp)) return false;
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail();
  fd.Reset();

  // Make the rename itself durable; the new file is in place even if this fails.
  Fd dir(::open(dirName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  RemoveStaleTemps(folder, stem);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return storage_detail::WriteFileAtomicallyWith(
      path, bytes, [](int fd, const void* data, size_t size) { return ::write(fd, data, size); });
}

}  // namespace mw
