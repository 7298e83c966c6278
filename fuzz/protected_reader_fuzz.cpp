// The protected reader on any bytes, with the password "fuzzpw" given once (then Cancel, so no
// input can keep the prompt asking): never a crash, and what it reads writes back to a file
// that reads the same again. A second reading with a longer password sharing those six
// characters must either be asked again or give exactly the first reading.
#include <cstdint>
#include <string>

#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

namespace {
const std::string kPassword = "fuzzpw";

mw::DecodeResult Decode(const std::string& bytes, const std::string& password = kPassword) {
  int asked = 0;
  return mw::DecodeGradeBook(bytes, "", [&asked, &password](mw::PromptMode) {
    return std::optional<std::string>(asked++ == 0 ? password : std::string());
  });
}

bool SameFile(const mw::GradeBook& a, const mw::GradeBook& b) {
  const mw::EncodeResult x = mw::EncodePlain(a), y = mw::EncodePlain(b);
  return x.ok == y.ok && x.bytes == y.bytes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  mw::DecodeResult first = Decode(bytes);
  if (first.status != mw::DecodeStatus::Ok || !first.isProtected) return 0;
  if (first.password != kPassword) __builtin_trap();

  // Decode what was just encoded. A book read from an unmultiplied file may be too large for
  // the multiplied form; whenever the layout holds it, the save's read-back check must pass.
  const auto fixedSalt = [] { return 100; };
  const mw::EncodeResult once = mw::EncodeProtected(first.book, kPassword, fixedSalt);
  if (once.error == mw::storage_detail::kReadBackError) __builtin_trap();
  if (!once.ok) return 0;
  mw::DecodeResult second = Decode(once.bytes);
  if (second.status != mw::DecodeStatus::Ok) __builtin_trap();
  const auto twice = mw::storage_detail::EncodeProtectedWord(second.book, kPassword, fixedSalt, 3);
  if (!twice.ok || twice.bytes != once.bytes) __builtin_trap();

  // A near miss on the file just saved never loads other values.
  const mw::DecodeResult near = Decode(once.bytes, kPassword + "X");
  if (near.status == mw::DecodeStatus::Ok &&
      (near.password != kPassword || !SameFile(second.book, near.book)))
    __builtin_trap();
  if (near.status == mw::DecodeStatus::Error) __builtin_trap();
  return 0;
}
