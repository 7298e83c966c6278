#include "model/numtext.h"

#include <cerrno>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace mw {
namespace {

// Digits and decimal exponent of value (not 0, finite) rounded to `precision` significant
// digits: value = 0.d1d2d3... x 10^(exp+1), i.e. d1 stands at 10^exp.
struct Digits {
  std::string digits;
  int exp = 0;
};

Digits ScientificDigits(double value, int precision) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(value));
  Digits d;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  d.exp = (*p == 'e') ? std::atoi(p + 1) : 0;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string PlainNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  if (value == 0.0) return "0";

  // The shortest form that reads back exactly, or 15 digits when none up to 15 does.
  Digits d;
  for (int precision = 1; precision <= 15; ++precision) {
    d = ScientificDigits(value, precision);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(value));
    if (std::strtod(buf, nullptr) == std::fabs(value)) break;
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

  // The exact decimal expansion of the binary value, well past the digits shown.
  const int extra = 40;
  const int needed = std::snprintf(nullptr, 0, "%.*f", maxDecimals + extra, std::fabs(value));
  std::string text(static_cast<size_t>(needed > 0 ? needed : 0) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", maxDecimals + extra, std::fabs(value));
  text.pop_back();

  const size_t point = text.find('.');
  std::string whole = text.substr(0, point);
  std::string frac = text.substr(point + 1, static_cast<size_t>(maxDecimals));
  const bool roundUp = text[point + 1 + static_cast<size_t>(maxDecimals)] >= '5';

  if (roundUp) {
    std::string all = whole + frac;
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0; --i) {
      if (all[static_cast<size_t>(i)] == '9') {
        all[static_cast<size_t>(i)] = '0';
      } else {
        ++all[static_cast<size_t>(i)];
        break;
      }
    }
    if (i < 0) all.insert(all.begin(), '1');
    whole = all.substr(0, all.size() - frac.size());
    frac = all.substr(all.size() - frac.size());
  }
  while (frac.size() > 1 && frac.back() == '0') frac.pop_back();

  const bool isZero = whole.find_first_not_of('0') == std::string::npos &&
                      frac.find_first_not_of('0') == std::string::npos;
  return (value < 0 && !isZero ? "-" : "") + whole + "." + frac;
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
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(value);
  std::fesetround(saved);
  if (r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<int16_t>(r);
}

std::optional<double> TextToDouble(std::string_view text) {
  if (!IsNumericText(text)) return std::nullopt;
  return LeadingNumber(text);
}

std::optional<int16_t> TextToInt16(std::string_view text) {
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
