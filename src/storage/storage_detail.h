#pragma once
// Pieces of the grade book files that the tests, the benchmark and the fuzz targets reach
// directly; the program itself uses gradebook_file.h only.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "storage/gradebook_file.h"

namespace mw::storage_detail {

// Size of a name field in the protected form.
inline constexpr size_t kName64 = 64;
// Salts tried before falling back to 126, which never gives a multiplier of 0.
inline constexpr int kSaltDraws = 256;
// EncodeProtected's error when the bytes it encoded do not read back as the grade book.
inline constexpr std::string_view kReadBackError = "the encoded file does not read back";

// The computations on Windows-1252 codes.
// The password computations on a UTF-8 password, as the format defines them.
PasswordKey MakePasswordKey(const std::string& password, int salt);
bool CheckPassword(const std::string& password, const PasswordKey& key);
// The multiplier for stored position j; 1 when c is false or the password empty. Empty when
// the arithmetic overflows 16 bits (j above 257) or the password has a character that
// Windows-1252 lacks. MakePasswordKey counts such a character as "?"; CheckPassword refuses it.
std::optional<int16_t> GetComp(bool c, int j, int po, const std::string& password);

// The same on Windows-1252 codes of the password's characters.
PasswordKey KeyFromCodes(std::string_view codes, int salt);
bool CheckCodes(std::string_view codes, const PasswordKey& key);
std::optional<int16_t> CompFromCodes(bool c, int j, int po, std::string_view codes);
// True when some character of the password gives a multiplier of 0 under this salt.
bool SaltGivesZero(std::string_view codes, int salt);

// The protected layout with a chosen format word: 3 multiplies the class values, 2 stores them
// as they are (what older files hold). The program writes 3 only.
EncodeResult EncodeProtectedWord(const GradeBook& gb, const std::string& password,
                                 const SaltSource& salt, int16_t formatWord);

}  // namespace mw::storage_detail
