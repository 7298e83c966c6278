#pragma once
// Grade book files, in memory: the plain form (text lines, Windows-1252, CRLF) and the
// protected form (binary, little-endian, values multiplied by numbers taken from the
// password). Reading never touches the open grade book: it decodes into a new one.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/gradebook.h"
#include "storage/password.h"

namespace mw {

// Draws the salt of a protected save: a whole number from 64 to 127.
using SaltSource = std::function<int()>;
SaltSource ClockSeededSalt();

struct EncodeResult {
  bool ok = false;
  std::string bytes;  // the whole file
  std::string error;  // why not, for diagnostics (the user sees the saving error box)
};

// The plain form of the grade book: the methods with the selected one, the groups with the
// mask, the semesters in display order with their classes.
EncodeResult EncodePlain(const GradeBook& gb);
// The protected form, keyed by password (not empty, at most six Windows-1252 characters). The
// salt is drawn again while some character of the password would give a multiplier of 0.
// A class's group that the group list lacks is added to the file's group list, outside the
// mask, so the class keeps it and no figure changes. Refused (nothing to write) when a stored
// value does not fit (16 bits for grades and group references, a finite double for credits
// times their multiplier and for grade points), and whenever the bytes do not decode with the
// password to this grade book as the protected form holds it (names cut to 64 characters
// without trailing blanks, credits to the last bit of their quotient).
EncodeResult EncodeProtected(const GradeBook& gb, const std::string& password,
                             const SaltSource& salt = ClockSeededSalt());

enum class DecodeStatus { Ok, Error, Cancelled };

// The two readings of a protected file opened with a password longer than six characters: with
// the whole text, and with its first six characters.
enum class Reading { Whole, FirstSix };
// Shown both readings (whole, first six) side by side, the user picks one; nothing: cancel.
using ReadingChooser =
    std::function<std::optional<Reading>(const GradeBook& whole, const GradeBook& firstSix)>;

// The reading error's detail for a value past the bound every figure keeps to.
std::string CreditsError(const std::string& cls, const std::string& semester);
std::string GradePointsError(const std::string& method);

struct DecodeResult {
  DecodeStatus status = DecodeStatus::Error;
  bool isProtected = false;  // which form the bytes were
  // On Ok: the file's content (Semesters, SemesterOrder with every entry marked, Methods,
  // MethodPos, GroupNames with the mask). File names, selection and flags are left default.
  GradeBook book;
  // The password after the prompts: on Ok the accepted one (empty for the plain form), on
  // Cancelled empty; on Error the caller keeps its own. When a longer password was read as
  // its first six characters, those six are the accepted password.
  std::string password;
  // On Error, when known: what in the file cannot be read, for the user ("The credits of class
  // ..."); empty otherwise.
  std::string error;
};

// Decodes a whole file. The first line decides the form: exactly "1" (ended by CRLF or LF) is
// the plain form; anything else goes to the protected reader. For a protected file, prompt is
// asked with PromptMode::Open, then Retry after each wrong password, starting from
// currentPassword. A password is wrong when the key refuses it, and also when a value stored
// with a multiplier does not divide back to a valid one. A password longer than six characters
// is tried whole and cut to six. If both readings hold and differ, the one whose credits all
// lie on a plain grid (whole, halves, quarters, tenths) is taken when the other's do not;
// otherwise choose decides (cancelling it cancels the load), and without choose the password
// counts as wrong. Typing the same text again never decides.
// Credits or grade points past the bound of model/amount.h make the file unreadable, with
// error naming the class or method.
DecodeResult DecodeGradeBook(std::string_view bytes, const std::string& currentPassword,
                             const PasswordPrompt& prompt, const ReadingChooser& choose = {});

// The password key at the start of a protected file (see storage_detail.h for the
// computations, in 16-bit signed arithmetic).
struct PasswordKey {
  int16_t values[7] = {};
};

}  // namespace mw
