#include "report/report_date.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "model/codepage.h"

namespace mw {
namespace {

std::string FixedForm(const std::tm& t) {
  const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
  char buf[80];
  std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", t.tm_mon + 1, t.tm_mday,
                t.tm_year + 1900, hour12, t.tm_min, t.tm_sec, t.tm_hour < 12 ? "AM" : "PM");
  return buf;
}

// "%y" becomes "%Y" ("%%y" is a literal and stays).
std::string WithFullYear(std::string_view format) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      out += '%';
      out += format[i + 1] == 'y' ? 'Y' : format[i + 1];
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

// The format without "%Z" and "%z", blanks collapsed and trimmed.
std::string WithoutTimeZone(std::string_view format) {
  std::string kept;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] != 'Z' && format[i + 1] != 'z') kept.append(format.substr(i, 2));
      ++i;
    } else {
      kept += format[i];
    }
  }
  std::string out;
  for (char c : kept) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string TimeLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return {};
}

std::string ReportDateText(const std::tm& local, const std::string& localeName) {
  const std::string fixed = FixedForm(local);
  const std::string_view region =
      std::string_view(localeName).substr(0, localeName.find_first_of(".@"));
  if (region.empty() || region == "C" || region == "POSIX" || region == "en_US") return fixed;

  const locale_t loc = newlocale(LC_TIME_MASK, localeName.c_str(), locale_t(0));
  if (!loc) return fixed;
  const std::string format = WithFullYear(nl_langinfo_l(D_FMT, loc)) + ' ' +
                             WithoutTimeZone(nl_langinfo_l(T_FMT, loc));
  const std::string codeset = nl_langinfo_l(CODESET, loc);
  char buf[256];
  const size_t n = strftime_l(buf, sizeof buf, format.c_str(), &local, loc);
  freelocale(loc);
  const std::string text(buf, n);
  if (n == 0) return fixed;
  // Non-ASCII text is used only when it is UTF-8 and Windows-1252 holds every character.
  if (!IsAscii(text) && (codeset != "UTF-8" || !Utf8ToCp1252(text))) return fixed;
  return text;
}

std::string ReportDateTextNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return {};
  return ReportDateText(local, TimeLocaleName());
}

}  // namespace mw
