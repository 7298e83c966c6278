#pragma once
// The program holds text as UTF-8 std::string; Qt holds it as QString. These convert. Header
// only, below every folder that uses Qt (settings, app, ui), so none of them includes another
// for it.
#include <QString>
#include <string>
#include <string_view>

namespace mw {

inline QString Q(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string S(const QString& text) { return text.toStdString(); }

}  // namespace mw
