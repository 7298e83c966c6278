#pragma once
// The file layer: whole-file reads and whole-file saves (POSIX; Linux features where present).
//
// Reading
//   Only regular files are read. The name is looked at with stat before anything is opened,
//   and the file is opened without blocking and checked again, so a FIFO, a folder or a
//   device such as /dev/zero or /dev/null fails at once instead of hanging or reading forever.
//
// Saving
//   - Symbolic links are followed, through chains of links and to a target that does not
//     exist yet: the final target is written, and every link stays a link.
//   - A target that is not a regular file (a FIFO, a device, a folder) is refused before it is
//     opened.
//   - A target the user may not write is refused and stays untouched. "May write" is the
//     permission test of the effective user; the superuser, who passes that test for any
//     file, is refused a file that has no write bit at all (a file marked read-only for
//     everyone). The same rule decides whether a folder may take new names.
//   - The usual save never touches the old file: the whole content goes into a new file in the
//     same folder, is flushed to disk, and is renamed over the target, so the target is always
//     either the old or the new file. The new file takes over the old one's owner, group and
//     mode. Where the file system can (Linux O_TMPFILE), the new file has no name until it is
//     complete; elsewhere it is written under a temporary name. Temporary names are
//     "." + target name + ".mwsave-" + 6 letters or digits (2 random, then 4 that check the
//     name); for target names too long for that, ".mwsave-" + 16 hex digits of a hash of the
//     name + "-" + the 6 letters or digits. A save locks its temporary file, and every
//     successful save removes the unlocked temporary files of the same target (left by a save
//     that was killed): only files whose names pass the check, never a user's own file that
//     merely looks alike.
//   - Saves into one folder take turns (a lock on the folder), and a save in place also locks
//     the file, so two saves of one target, under any of its names, never interleave.
//   - Written in place instead: a file with several hard links (so every name shows the new
//     content), a writable file in a folder that may not take new names, and a file whose
//     owner or group a new file could not take over (a group-writable file of another user).
//     The content is complete in memory before the file is opened. The old bytes are read
//     first and, where the folder takes new names, kept in a synced copy beside the file
//     (the temporary stem + "copy" + 4 check characters, see RecoveryCopyOf) until the new
//     bytes are synced; any save that succeeds removes such a copy.
//     The file then grows to its new length (writing the part past the old end first, so a
//     full disk fails before any old byte changes, also where room cannot be reserved), is
//     written from the start, cut to its length and flushed; a write that fails puts the old
//     bytes back. A crash part-way leaves a mix of old and new content, and the copy beside
//     it (in a folder that takes no new names, the copy is only in memory).
//   - On failure the target is unchanged and no temporary file is left.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace mw {

// The largest grade book file read, and the largest file a save overwrites in place. A class
// takes at least 76 bytes in the protected form and five lines in the plain one, and a real
// grade book holds a few hundred classes (some tens of KB); 256 MiB holds millions of classes,
// more than 20,000 times a whole study's grade book and 30 times the 100,000-class book of the
// benchmarks, while reading it stays within an ordinary machine's memory. Anything larger is
// no grade book and is refused before it is read.
inline constexpr uint64_t kMaxGradeBookBytes = uint64_t{256} << 20;

// Reads a whole regular file; false when it is something else, larger than maxBytes, or
// cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& bytes, uint64_t maxBytes = UINT64_MAX);
// A regular file's bytes mapped for reading, under ReadFileBytes's checks: no copy and no
// fresh memory, for a program that reads the file once and exits (markwell-cli). Should
// another program cut the file short while it is mapped, reading the bytes gone raises
// SIGBUS, so a program that lives on (the window) reads with ReadFileBytes.
class MappedFile {
 public:
  MappedFile() = default;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile() { Close(); }
  // False when ReadFileBytes would refuse the file, when it is empty, or cannot be mapped.
  bool Open(const std::string& path, uint64_t maxBytes);
  void Close();
  std::string_view Bytes() const { return {data_, size_}; }

 private:
  const char* data_ = nullptr;
  size_t size_ = 0;
};
// Saves a whole file as described above; false when nothing was written (the target then
// holds its old bytes).
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
// The copy of the old content that a save in place keeps beside path while it writes: its
// path when such a copy is there (a save did not finish), else empty text.
std::string RecoveryCopyOf(const std::string& path);

// What tells one state of a file from another: a save over a file that another program
// changed since it was read is asked about first.
struct FileStamp {
  bool exists = false;
  uint64_t device = 0, inode = 0;
  int64_t size = 0, modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

namespace storage_detail {

// The save with its write call replaceable, so a failing disk can be simulated, and the
// nameless new file switchable off, so the temporary-name way can be tried where O_TMPFILE
// works.
using WriteCall = std::function<ssize_t(int fd, const void* data, size_t size)>;
struct WriteOptions {
  bool namelessTemp = true;
};
bool WriteFileAtomicallyWith(const std::string& path, std::string_view bytes,
                             const WriteCall& write, WriteOptions options = {});
// What every temporary name of a target called `fileName` (no folder) starts with; 6 letters
// or digits follow.
std::string TempNameStem(const std::string& fileName);
// A temporary name a save would use: the stem, then 6 letters or digits that pass the check.
std::string NewTempName(const std::string& stem);
// Where a save in place keeps its copy of the old content of the file at path.
std::string RecoveryCopyPath(const std::string& path);

}  // namespace storage_detail
}  // namespace mw
