// The protected reader on any bytes, with the password "fuzzpw" given once (then Cancel, so no
// input can keep the prompt asking): never a crash, and what it reads writes back to a file
// that reads the same again.
#include <cstdint>
#include <string>

#include "storage/gradebook_file.h"

namespace {
const std::string kPassword = "fuzzpw";

mw::DecodeResult Decode(const std::string& bytes) {
  int asked = 0;
  return mw::DecodeGradeBook(bytes, "", [&asked](int, std::string& password) {
    password = asked++ == 0 ? kPassword : std::string();
  });
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  mw::DecodeResult first = Decode(bytes);
  if (first.status != mw::DecodeStatus::Ok || !first.isProtected) return 0;
  if (first.password != kPassword) __builtin_trap();

  // A book read from an unmultiplied file may be too large for the multiplied form.
  const auto fixedSalt = [] { return 100; };
  const mw::EncodeResult once = mw::EncodeProtected(first.book, kPassword, fixedSalt);
  if (!once.ok) return 0;
  mw::DecodeResult second = Decode(once.bytes);
  if (second.status != mw::DecodeStatus::Ok) __builtin_trap();
  const mw::EncodeResult twice = mw::EncodeProtected(second.book, kPassword, fixedSalt);
  if (!twice.ok || twice.bytes != once.bytes) __builtin_trap();
  return 0;
}
