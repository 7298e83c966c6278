// The plain reader on any bytes: never a crash, and what it reads writes back to a file that
// reads the same again.
#include <cstdint>
#include <string>

#include "storage/gradebook_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  mw::DecodeResult first = mw::DecodeGradeBook(bytes, "", nullptr);
  if (first.status != mw::DecodeStatus::Ok || first.isProtected) return 0;

  const mw::EncodeResult once = mw::EncodePlain(first.book);
  if (!once.ok) __builtin_trap();  // whatever reads must write
  mw::DecodeResult second = mw::DecodeGradeBook(once.bytes, "", nullptr);
  if (second.status != mw::DecodeStatus::Ok) __builtin_trap();
  const mw::EncodeResult twice = mw::EncodePlain(second.book);
  if (!twice.ok || twice.bytes != once.bytes) __builtin_trap();
  return 0;
}
