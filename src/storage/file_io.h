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
//     "." + target name + ".mwsave-" + 6 random letters or digits; for target names too long
//     for that, ".mwsave-" + 16 hex digits of a hash of the name + "-" + 6 letters or digits.
//     A save locks its temporary file, and every successful save removes the unlocked
//     temporary files of the same target (left by a save that was killed).
//   - Written in place instead: a file with several hard links (so every name shows the new
//     content), a writable file in a folder that may not take new names, and a file whose
//     owner or group a new file could not take over (a group-writable file of another user).
//     The content is complete in memory before the file is opened, room for it is reserved
//     first where the file system allows (so a full disk leaves the file as it was), and it is
//     then written from the start, cut to its length and flushed. Such a save is not atomic: a
//     crash in the middle leaves a mix of old and new content.
//   - On failure the target is unchanged (short of a failure part-way through an in-place
//     write) and no temporary file is left.
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace mw {

// Reads a whole regular file; false when it is something else or cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& bytes);
// Saves a whole file as described above; false when nothing or (in place) not all was written.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

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

}  // namespace storage_detail
}  // namespace mw
