#pragma once
// Number <-> text conversions shared by the window, the files, the settings and the report.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

// Plain number text: the shortest decimal form that reads back as the same double, cut to at
// most 15 significant digits, with a full stop and no trailing zeros (3, 3.5, 0.25, -2).
// Numbers of magnitude 1e15 and above, or below 1e-4 (but not 0), are written in exponent
// form with the same digits: 1E+15, 2.5E-05. NaN and infinities write as "NaN", "Inf", "-Inf".
std::string PlainNumber(double value);

// What the window shows for a figure that is no finite number (a sum of credits or grade
// points beyond the range of a double, from a file written elsewhere): never "NaN" or "Inf".
inline constexpr std::string_view kNoFigure = "n/a";

// The "general number form" of counts and credits in captions and tooltips: plain number text,
// kNoFigure for a value that is no finite number.
inline std::string GeneralNumber(double value) {
  return std::isfinite(value) ? PlainNumber(value) : std::string(kNoFigure);
}

// The display formats "0.0#" (maxDecimals 2) and "0.0##" (maxDecimals 3): at least one digit
// before the decimal point, at least one and at most maxDecimals decimals, trailing zeros
// dropped. Rounding is on the exact binary value, with an exact half going away from zero:
// 2.0625 shows as 2.063 under "0.0##", while 2.675 (stored as 2.67499999...) shows as 2.67
// under "0.0#". A value that rounds to zero shows as 0.0, without a minus sign. A value that is
// no finite number shows as kNoFigure, and one of magnitude 1e15 or more as plain number text
// (1E+15), so no figure ever runs to more than 20 digits.
std::string FormatFixed(double value, int maxDecimals);
inline std::string Format2(double value) { return FormatFixed(value, 2); }  // "0.0#"
inline std::string Format3(double value) { return FormatFixed(value, 3); }  // "0.0##"

// Leading-number parse: blanks, tabs and line feeds anywhere are ignored; then an optional
// sign, digits with at most one full stop, and an optional exponent (E or D, optional sign,
// digits) are read up to the first character that cannot continue the number. "&H" and "&O"
// read a hexadecimal or octal whole number. No number gives 0. Never fails.
double LeadingNumber(std::string_view text);

// The numeric-text test of the credits, desired-GPA and classes-left boxes: apart from leading
// and trailing blanks, an optional sign, digits with at most one decimal point (at least one
// digit in all), and an optional exponent (E or D, an optional sign, digits). "3." is numeric,
// "3.x", "." and "" are not.
bool IsNumericText(std::string_view text);

// Conversion to a 16-bit signed integer: to the nearest whole number, a half going to the even
// neighbour. Empty when the result does not fit in 16 bits (or the value is not a number).
std::optional<int16_t> ToInt16(double value);

// Text read as a whole number or a double, as the file reader and the settings need: the text
// must be numeric (IsNumericText); otherwise empty. TextToInt16 rounds as ToInt16.
std::optional<double> TextToDouble(std::string_view text);
std::optional<int16_t> TextToInt16(std::string_view text);

// "True"/"False" (any letter case), or a number, true when not 0. Empty otherwise.
std::optional<bool> TextToBool(std::string_view text);

}  // namespace mw
