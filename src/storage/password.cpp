// The password key, its check and the multipliers, in 16-bit signed arithmetic on the
// Windows-1252 codes of the password's characters.
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>

#include "model/codepage.h"
#include "storage/gradebook_file.h"
#include "storage/password.h"
#include "storage/storage_detail.h"

namespace mw {
namespace storage_detail {

namespace {
bool FitsInt16(long v) { return v >= INT16_MIN && v <= INT16_MAX; }
int CodeAt(std::string_view codes, size_t i) { return static_cast<unsigned char>(codes[i]); }
}  // namespace

PasswordKey KeyFromCodes(std::string_view codes, int salt) {
  PasswordKey key;
  key.values[0] = static_cast<int16_t>(salt);
  int cur = salt;
  const size_t n = codes.size();
  for (size_t i = 1; i <= 6; ++i) {
    int v;
    if (i <= n) {
      v = (cur - 1) * CodeAt(codes, i - 1);
      cur = v % 127;
      if (cur < 2) cur = 2;
    } else {
      v = ((key.values[i - 1] - 1) % 127) * (salt - 1);
    }
    key.values[i] = static_cast<int16_t>(v);
  }
  return key;
}

bool CheckCodes(std::string_view codes, const PasswordKey& key) {
  // A key read from a file may hold anything: a value the 16-bit arithmetic cannot reach
  // simply does not match.
  const long salt = key.values[0];
  long cur = salt;
  const size_t n = codes.size();
  for (size_t i = 1; i <= 6; ++i) {
    long expected;
    if (i > n) {
      expected = ((static_cast<long>(key.values[i - 1]) - 1) % 127) * (salt - 1);
    } else {
      expected = (cur - 1) * CodeAt(codes, i - 1);
    }
    if (!FitsInt16(expected) || expected != key.values[i]) return false;
    if (i <= n) {
      cur = key.values[i] % 127;
      if (cur < 2) cur = 2;
    }
  }
  return true;
}

std::optional<int16_t> CompFromCodes(bool c, int j, int po, std::string_view codes) {
  if (!c || codes.empty()) return int16_t{1};
  const long product = (static_cast<long>(j) + 1) * 127;
  if (!FitsInt16(product)) return std::nullopt;
  const long p = product % static_cast<long>(codes.size()) + 1;
  if (p < 1) return std::nullopt;  // only a negative position gets here
  const long a = CodeAt(codes, static_cast<size_t>(p - 1));
  const long value = (((static_cast<long>(po) % 63) * a) - 7) % 255;
  if (!FitsInt16(value)) return std::nullopt;
  return static_cast<int16_t>(value);
}

bool SaltGivesZero(std::string_view codes, int salt) {
  for (size_t i = 0; i < codes.size(); ++i) {
    if ((((salt % 63) * CodeAt(codes, i)) - 7) % 255 == 0) return true;
  }
  return false;
}

PasswordKey MakePasswordKey(const std::string& password, int salt) {
  // A character without a Windows-1252 code counts as "?"; such a password cannot save.
  const std::string codes = Utf8ToCp1252Lossy(password);
  return KeyFromCodes(codes, salt);
}

bool CheckPassword(const std::string& password, const PasswordKey& key) {
  auto codes = Utf8ToCp1252(password);
  return codes && CheckCodes(*codes, key);
}

std::optional<int16_t> GetComp(bool c, int j, int po, const std::string& password) {
  if (!c || password.empty()) return int16_t{1};
  auto codes = Utf8ToCp1252(password);
  if (!codes) return std::nullopt;
  return CompFromCodes(c, j, po, *codes);
}

}  // namespace storage_detail

std::optional<std::string> PasswordRefusal(PromptMode mode, std::string_view utf8) {
  if (utf8.empty()) return std::nullopt;
  if (!Utf8ToCp1252(utf8)) {
    return "That password cannot be used in a Markwell file. Please use only Western European "
           "letters, digits and punctuation.";
  }
  if ((mode == PromptMode::Save || mode == PromptMode::Confirm) &&
      CharCount(utf8) > kSavePasswordMaxChars) {
    return "A password to save with can have at most 6 characters: only the first 6 are "
           "checked when the file is opened. Please enter a shorter one.";
  }
  return std::nullopt;
}

SaltSource ClockSeededSalt() {
  auto engine = std::make_shared<std::mt19937>(static_cast<std::mt19937::result_type>(
      std::chrono::system_clock::now().time_since_epoch().count()));
  return [engine]() {
    const double r = std::generate_canonical<double, 32>(*engine);
    int salt = static_cast<int>(r * 64 + 64);
    return salt > 127 ? 127 : salt;  // generate_canonical may round up to 1.0
  };
}

}  // namespace mw
