// The plain reader on any bytes: never a crash, and what it reads writes back to a file that
// reads the same again. The book read is also saved protected: whenever the protected layout
// can hold it, the save's own read-back check must pass, and the file must read back.
#include <cstdint>
#include <string>

#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

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

  // Decode what was just encoded, in the protected form.
  const auto salt = [] { return 100; };
  const mw::EncodeResult sealed = mw::EncodeProtected(first.book, "fuzz", salt);
  if (sealed.error == mw::storage_detail::kReadBackError) __builtin_trap();  // must read back
  if (!sealed.ok) return 0;
  const mw::DecodeResult opened = mw::DecodeGradeBook(sealed.bytes, "fuzz", nullptr);
  if (opened.status != mw::DecodeStatus::Ok) __builtin_trap();
  // Names the protected form holds differently (cut, without trailing blanks) may now name an
  // earlier group; from here on every save of the book gives the same bytes.
  const mw::EncodeResult resealed = mw::EncodeProtected(opened.book, "fuzz", salt);
  if (!resealed.ok) __builtin_trap();
  const mw::DecodeResult reopened = mw::DecodeGradeBook(resealed.bytes, "fuzz", nullptr);
  if (reopened.status != mw::DecodeStatus::Ok) __builtin_trap();
  const auto again = mw::storage_detail::EncodeProtectedWord(reopened.book, "fuzz", salt, 3);
  if (!again.ok || again.bytes != resealed.bytes) __builtin_trap();
  return 0;
}
