#include "model/numtext.h"

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace mw {
namespace {

// Digits and decimal exponent of a number in scientific text ("3.5e+00", "1.25e-05"): the
// number is 0.d1d2d3... x 10^(exp+1), i.e. d1 stands at 10^exp. Trailing zeros are dropped.
struct Digits {
  std::string digits;
  int exp = 0;
  friend bool operator==(const Digits&, const Digits&) = default;
};

// Reads the text in [text, end); *end is overwritten with a terminator, so the buffer needs
// room for one more character.
Digits ReadScientific(char* text, char* end) {
  *end = '\0';
  Digits d;
  const char* p = text;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  d.exp = (*p == 'e') ? std::atoi(p + 1) : 0;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Scientific text of a (finite, not 0) rounded to `precision` significant digits, as printf's
// "%.*e" writes it, or with the fewest digits that read back when precision is 0.
struct Scientific {
  char text[64];
  Digits d;
  Scientific(double a, int precision) {
    char* end = precision > 0 ? std::to_chars(text, text + sizeof text - 1, a,
                                              std::chars_format::scientific, precision - 1).ptr
                              : std::to_chars(text, text + sizeof text - 1, a,
                                              std::chars_format::scientific).ptr;
    d = ReadScientific(text, end);
  }
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional minus, digits, and optionally a full stop followed by digits; nothing else.
bool IsPlainDecimal(std::string_view s) {
  size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
  const size_t start = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  if (i == start) return false;
  if (i == s.size()) return true;
  if (s[i] != '.') return false;
  const size_t fraction = ++i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i == s.size() && i > fraction;
}

// A plain decimal of at most nine characters ("3", "-4.5"): the digits m and the power of ten p it is
// divided by are exact doubles, and a division rounds once, so m / p is the nearest double to
// the text, as from_chars reads it, at a fraction of the cost.
double ShortDecimal(std::string_view s) {
  const bool negative = s[0] == '-';
  uint32_t digits = 0, scale = 1;
  bool fraction = false;
  for (char c : s.substr(negative ? 1 : 0)) {
    if (c == '.') {
      fraction = true;
      continue;
    }
    digits = digits * 10 + static_cast<uint32_t>(c - '0');
    if (fraction) scale *= 10;
  }
  const double v = static_cast<double>(digits) / scale;
  return negative ? -v : v;
}

}  // namespace

std::string PlainNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  if (value == 0.0) return "0";

  // The shortest form that reads back exactly, or 15 digits when none up to 15 does. The
  // fewest digits that read back are that form when rounding to as many digits gives them
  // too; next to a power of two it may not, and the digits are then tried one by one.
  const double a = std::fabs(value);
  Digits d = Scientific(a, 0).d;
  const int fewest = static_cast<int>(d.digits.size());
  if (fewest > 15 || Scientific(a, fewest).d != d) {
    for (int precision = 1; precision <= 15; ++precision) {
      Scientific rounded(a, precision);
      d = std::move(rounded.d);
      if (std::strtod(rounded.text, nullptr) == a) break;
    }
  }

  std::string out = value < 0 ? "-" : "";
  const int n = static_cast<int>(d.digits.size());
  if (d.exp >= 15 || d.exp < -4) {
    out += d.digits[0];
    if (n > 1) out += "." + d.digits.substr(1);
    char expText[16];
    std::snprintf(expText, sizeof expText, "E%c%02d", d.exp < 0 ? '-' : '+', std::abs(d.exp));
    return out + expText;
  }
  if (d.exp < 0) {
    out += "0." + std::string(static_cast<size_t>(-d.exp - 1), '0') + d.digits;
  } else if (n <= d.exp + 1) {
    out += d.digits + std::string(static_cast<size_t>(d.exp + 1 - n), '0');
  } else {
    out += d.digits.substr(0, static_cast<size_t>(d.exp + 1)) + "." +
           d.digits.substr(static_cast<size_t>(d.exp + 1));
  }
  return out;
}

std::string FormatFixed(double value, int maxDecimals) {
  if (!std::isfinite(value)) return std::string(kNoFigure);
  // A figure this large (credits that nearly cancel out, say) would show some hundreds of
  // digits: it shows in plain number text's exponent form instead.
  if (std::fabs(value) >= 1e15) return PlainNumber(value);

  // The exact decimal expansion of the binary value, well past the digits shown (a double has
  // at most 309 whole digits).
  const int extra = 40;
  std::string text(320 + static_cast<size_t>(maxDecimals + extra), '\0');
  std::to_chars(text.data(), text.data() + text.size(), std::fabs(value),
                std::chars_format::fixed, maxDecimals + extra);
  const size_t point = text.find('.');
  const bool roundUp = text[point + 1 + static_cast<size_t>(maxDecimals)] >= '5';
  text.resize(point + 1 + static_cast<size_t>(maxDecimals));

  bool carry = roundUp;
  for (size_t i = text.size(); carry && i-- > 0;) {
    if (text[i] == '.') continue;
    carry = text[i] == '9';
    text[i] = carry ? '0' : static_cast<char>(text[i] + 1);
  }
  if (carry) text.insert(text.begin(), '1');
  const size_t dot = text.find('.');
  while (text.size() > dot + 2 && text.back() == '0') text.pop_back();

  const bool isZero = text.find_first_not_of("0.") == std::string::npos;
  if (value < 0 && !isZero) text.insert(text.begin(), '-');
  return text;
}

double LeadingNumber(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') s.push_back(c);

  if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    const bool hex = s[1] == 'H' || s[1] == 'h';
    double v = 0;
    for (size_t i = 2; i < s.size(); ++i) {
      const char c = s[i];
      int digit;
      if (c >= '0' && c <= '7') digit = c - '0';
      else if (hex && (c == '8' || c == '9')) digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      else break;
      v = v * (hex ? 16 : 8) + digit;
    }
    return v;
  }

  std::string number;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) number.push_back(s[i++]);
  bool anyDigit = false, point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      number.push_back(s[i]);
      anyDigit = true;
    } else if (s[i] == '.' && !point) {
      number.push_back('.');
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    size_t j = i + 1;
    std::string exponent = "E";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
    const size_t firstDigit = j;
    while (j < s.size() && IsDigit(s[j])) exponent.push_back(s[j++]);
    if (j > firstDigit) number += exponent;
  }
  errno = 0;
  const double v = std::strtod(number.c_str(), nullptr);
  if (std::isinf(v)) return 0.0;  // too large for a double: not a number we can hold
  return v;
}

bool IsNumericText(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  const std::string_view s = text.substr(b, e - b);
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  bool anyDigit = false, point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) anyDigit = true;
    else if (s[i] == '.' && !point) point = true;
    else break;
  }
  if (!anyDigit) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const size_t firstDigit = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == firstDigit) return false;
  }
  if (i != s.size()) return false;
  // A number too large for a double does not convert.
  std::string normal(s);
  for (char& c : normal)
    if (c == 'D' || c == 'd') c = 'E';
  return std::isfinite(std::strtod(normal.c_str(), nullptr));
}

std::optional<int16_t> ToInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value >= -32768.0 && value <= 32767.0) {
    const auto whole = static_cast<int16_t>(value);
    if (whole == value) return whole;  // nothing to round, so no rounding mode to set
  }
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(value);
  std::fesetround(saved);
  if (r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<int16_t>(r);
}

std::optional<double> TextToDouble(std::string_view text) {
  // Most texts are plain decimals ("-12", "3.5"); from_chars reads those exactly as strtod does.
  if (IsPlainDecimal(text)) {
    if (text.size() <= 9) return ShortDecimal(text);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec == std::errc() && end == text.data() + text.size()) return v;
  }
  if (!IsNumericText(text)) return std::nullopt;
  return LeadingNumber(text);
}

std::optional<int16_t> TextToInt16(std::string_view text) {
  // Counts and grades are short runs of digits.
  if (!text.empty() && text.size() <= 6 && std::all_of(text.begin(), text.end(), IsDigit)) {
    int v = 0;
    for (char c : text) v = v * 10 + (c - '0');
    if (v > INT16_MAX) return std::nullopt;
    return static_cast<int16_t>(v);
  }
  const auto d = TextToDouble(text);
  if (!d) return std::nullopt;
  return ToInt16(*d);
}

std::optional<bool> TextToBool(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::string lower;
  for (char c : text.substr(b, e - b))
    lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
  if (lower == "true") return true;
  if (lower == "false") return false;
  const auto d = TextToDouble(text);
  if (!d) return std::nullopt;
  return *d != 0.0;
}

}  // namespace mw
