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
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel allows
constexpr size_t kSuffixLength = 6;
constexpr size_t kRandomLength = 2;  // the rest of the suffix checks the name
constexpr std::string_view kTempTag = ".mwsave-";
constexpr std::string_view kCopyTag = "copy";  // after the stem: the copy of an in-place save
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
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
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

// The check characters of a temporary name: a hash of the stem and the random characters
// before them, as letters and digits. A save removes only files whose names pass the check, so
// a user's own file that merely looks like a temporary (".book.mw.mwsave-keepme") passes with a
// chance of one in 62^4, about 14.8 million, and is left alone.
std::string CheckChars(std::string_view stemAndRandom) {
  uint64_t hash = 0x6d61726b77656c6cull;  // FNV-1a from a start of the program's own
  for (unsigned char c : stemAndRandom) hash = (hash ^ c) * 1099511628211ull;
  std::string check;
  for (size_t i = kRandomLength; i < kSuffixLength; ++i, hash /= kSuffixChars.size())
    check += kSuffixChars[hash % kSuffixChars.size()];
  return check;
}

// A fresh temporary name for a target with this stem: random characters, then their check.
std::string NewTempName(const std::string& stem) {
  unsigned char random[kRandomLength] = {};
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    static unsigned counter = static_cast<unsigned>(::getpid());
    for (unsigned char& r : random) r = static_cast<unsigned char>(counter++ * 2654435761u >> 24);
  }
  std::string name = stem;
  for (unsigned char r : random) name += kSuffixChars[r % kSuffixChars.size()];
  return name + CheckChars(name);
}

bool IsSaveTemp(std::string_view name, const std::string& stem) {
  return name.size() == stem.size() + kSuffixLength && name.substr(0, stem.size()) == stem &&
         name.find_first_not_of(kSuffixChars, stem.size()) == std::string_view::npos &&
         name.substr(stem.size() + kRandomLength) ==
             CheckChars(name.substr(0, stem.size() + kRandomLength));
}

// The copy a save in place keeps of a target with this stem: "copy" and its check characters.
std::string CopyName(const std::string& stem) {
  const std::string name = stem + std::string(kCopyTag);
  return name + CheckChars(name);
}

// Waits for the exclusive lock on fd.
bool LockWait(int fd) {
  while (::flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) return false;
  return true;
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
    name = folder + NewTempName(stem);
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
    name = folder + NewTempName(stem);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
        (errno == ENOENT && ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0))
      return true;
    if (errno != EEXIST) break;
  }
  name.clear();
  return false;
}

// Removes the temporary files of saves of this target that were killed: those named by a save
// (their check characters pass) that no save holds locked. Failures are ignored; the next save
// tries again.
void RemoveStaleTemps(const std::string& folder, const std::string& stem) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!IsSaveTemp(name, stem)) continue;
    Fd fd(::openat(::dirfd(dir), entry->d_name,
                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() >= 0 && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// Reads [0, size) of fd into out.
bool ReadAt(int fd, size_t size, std::string& out) {
  out.assign(size, '\0');
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::pread(fd, out.data() + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes bytes to fd from offset on with the given write call.
bool WriteAt(int fd, off_t offset, std::string_view bytes, const storage_detail::WriteCall& write) {
  return ::lseek(fd, offset, SEEK_SET) == offset && WriteAll(fd, bytes, write);
}

// A whole file at path through a temporary of stem, made durable, or nothing.
bool WriteCopy(const std::string& folder, const std::string& stem, const std::string& path,
               std::string_view bytes, mode_t mode) {
  std::string temp;
  Fd fd(CreateTemp(folder, stem, false, temp));
  if (fd.get() < 0) return false;
  ::fchmod(fd.get(), mode & 0666);  // nobody may read the copy who may not read the file
  const auto real = [](int f, const void* d, size_t n) { return ::write(f, d, n); };
  if (!WriteAll(fd.get(), bytes, real) || ::fsync(fd.get()) != 0 ||
      ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir.get() >= 0 && ::fsync(dir.get()) == 0;
}

// Overwrites the file `known` describes and cuts it to the new length, never leaving it worse
// than the old file:
//   - the old bytes are read first; where the folder takes new names they are also kept beside
//     the file (folder + stem + "copy"), synced, until the new bytes are synced, so that a
//     crash part-way leaves a copy the next load offers. A copy already there, left by a save
//     that did not finish, holds the last content known whole and is kept instead;
//   - the file grows to its new length before anything old is overwritten, so a full disk
//     (also where room cannot be reserved ahead, as on ext2) fails while the old bytes stand;
//   - a write that fails puts the old bytes back.
// The file is locked throughout, so saves of it through any of its names take turns.
bool WriteInPlace(const std::string& path, const struct stat& known, std::string_view bytes,
                  const storage_detail::WriteCall& write, const std::string& folder,
                  const std::string& stem, bool folderTakesNames) {
  Fd fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat st {};
  if (fd.get() < 0 || !LockWait(fd.get()) || ::fstat(fd.get(), &st) != 0 ||
      !S_ISREG(st.st_mode) || st.st_dev != known.st_dev || st.st_ino != known.st_ino ||
      static_cast<uint64_t>(st.st_size) > kMaxGradeBookBytes)
    return false;
  const size_t oldSize = static_cast<size_t>(st.st_size);
  std::string old;
  if (!ReadAt(fd.get(), oldSize, old)) return false;
  const std::string copy = folder + CopyName(stem);
  bool madeCopy = false;
  if (folderTakesNames) {
    struct stat cst {};
    if (::lstat(copy.c_str(), &cst) != 0) {
      if (errno != ENOENT || !WriteCopy(folder, stem, copy, old, st.st_mode)) return false;
      madeCopy = true;
    }
  }
  // Puts the old bytes back; the copy made for this save goes once they are.
  const auto restore = [&] {
    const auto real = [](int f, const void* d, size_t n) { return ::write(f, d, n); };
    if (WriteAt(fd.get(), 0, old, real) && ::ftruncate(fd.get(), static_cast<off_t>(oldSize)) == 0 &&
        ::fsync(fd.get()) == 0 && madeCopy)
      ::unlink(copy.c_str());
    return false;
  };
  const size_t newSize = bytes.size();
  if (newSize > oldSize) {
    // Reserve where the file system can, then write the part past the old end first.
    if (::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(newSize)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
      return restore();
    if (!WriteAt(fd.get(), static_cast<off_t>(oldSize), bytes.substr(oldSize), write) ||
        ::fsync(fd.get()) != 0)
      return restore();
  }
  if (!WriteAt(fd.get(), 0, bytes.substr(0, std::min(oldSize, newSize)), write) ||
      ::ftruncate(fd.get(), static_cast<off_t>(newSize)) != 0 || ::fsync(fd.get()) != 0)
    return restore();
  if (folderTakesNames) ::unlink(copy.c_str());  // the new bytes are whole and synced
  return true;
}

// Opens path for reading when it is a regular file of at most maxBytes, -1 otherwise. The name
// is looked at before anything is opened, and what was opened is checked again, in case the
// name changed in between.
int OpenRegularFile(const std::string& path, uint64_t maxBytes, struct stat& st) {
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<uint64_t>(st.st_size) > maxBytes)
    return -1;
  return fd.Release();
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

bool ReadFileBytes(const std::string& path, std::string& bytes, uint64_t maxBytes) {
  struct stat st {};
  Fd fd(OpenRegularFile(path, maxBytes, st));
  if (fd.get() < 0) return false;
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
    if (done > maxBytes) return false;  // grew since
  }
  out.resize(done);
  bytes = std::move(out);
  return true;
}

bool MappedFile::Open(const std::string& path, uint64_t maxBytes) {
  Close();
  struct stat st {};
  Fd fd(OpenRegularFile(path, maxBytes, st));
  if (fd.get() < 0 || st.st_size == 0) return false;
  void* map = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd.get(), 0);
  if (map == MAP_FAILED) return false;
  data_ = static_cast<const char*>(map);
  size_ = static_cast<size_t>(st.st_size);
  return true;
}

void MappedFile::Close() {
  if (data_) ::munmap(const_cast<char*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
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

  // Saves into one folder take turns, from before the target is looked at until they are done,
  // so two saves of one target never interleave on any way of saving (a save in place also
  // locks the file itself, for its names in other folders). A folder that cannot be opened
  // for reading has no such lock.
  Fd folderLock(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderLock.get() >= 0 && !LockWait(folderLock.get())) return false;

  struct stat old {};
  const bool exists = ::lstat(path.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && (!S_ISREG(old.st_mode) || !MayWrite(path, old))) return false;
  const std::string stem = TempNameStem(base);
  struct stat dirStat {};
  const std::string dirName = folder.empty() ? "." : folder;
  if (::stat(dirName.c_str(), &dirStat) != 0) return false;
  const bool folderTakesNames = MayWrite(dirName, dirStat);
  const auto inPlace = [&](bool takesNames) {
    if (!exists || !WriteInPlace(path, old, bytes, write, folder, stem, takesNames)) return false;
    RemoveStaleTemps(folder, stem);
    return true;
  };
  if (!folderTakesNames || (exists && old.st_nlink > 1)) return inPlace(folderTakesNames);

  std::string temp;
  Fd fd(CreateTemp(folder, stem, options.namelessTemp, temp));
  if (fd.get() < 0) return (errno == EACCES || errno == EPERM) && inPlace(false);
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
      return inPlace(true);
    }
    if (::fchmod(fd.get(), old.st_mode & 07777) != 0) return fail();
  }
  if (!WriteAll(fd.get(), bytes, write) || ::fsync(fd.get()) != 0) return fail();
  if (temp.empty() && !NameTemp(fd.get(), folder, stem, temp)) return false;
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail();
  fd.Reset();

  // Make the rename itself durable; the new file is in place even if this fails. A copy left
  // by a save in place that did not finish is of no more use.
  if (folderLock.get() >= 0) ::fsync(folderLock.get());
  ::unlink((folder + CopyName(stem)).c_str());
  RemoveStaleTemps(folder, stem);
  return true;
}

std::string storage_detail::RecoveryCopyPath(const std::string& requested) {
  std::string path = requested;
  if (path.empty() || !FollowLinks(path)) return {};
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  return folder + CopyName(TempNameStem(path.substr(folder.size())));
}

std::string RecoveryCopyOf(const std::string& path) {
  const std::string copy = storage_detail::RecoveryCopyPath(path);
  struct stat st {};
  return !copy.empty() && ::lstat(copy.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? copy
                                                                                 : std::string();
}

FileStamp StampOf(const std::string& path) {
  struct stat st {};
  FileStamp stamp;
  if (::stat(path.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = static_cast<int64_t>(st.st_size);
  stamp.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

std::string storage_detail::NewTempName(const std::string& stem) { return mw::NewTempName(stem); }

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return storage_detail::WriteFileAtomicallyWith(
      path, bytes, [](int fd, const void* data, size_t size) { return ::write(fd, data, size); });
}

}  // namespace mw
