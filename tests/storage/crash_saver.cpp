// Saves two files' contents over a target in turn until it is killed; the crash test's victim.
// Usage: crash_saver TARGET FIRST SECOND nameless|named. Writes one byte to standard output
// once the contents are read and the saving starts.
#include <cstdio>
#include <string>
#include <unistd.h>

#include "storage/file_io.h"

int main(int argc, char** argv) {
  std::string first, second;
  if (argc != 5 || !mw::ReadFileBytes(argv[2], first) || !mw::ReadFileBytes(argv[3], second))
    return 2;
  const mw::storage_detail::WriteOptions options{std::string(argv[4]) == "nameless"};
  const auto write = [](int fd, const void* data, size_t size) { return ::write(fd, data, size); };
  if (::write(1, "+", 1) != 1) return 2;
  for (bool odd = false;; odd = !odd)
    if (!mw::storage_detail::WriteFileAtomicallyWith(argv[1], odd ? first : second, write, options))
      return 1;
}
