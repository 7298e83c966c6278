#include "report/report_file.h"

#include "model/codepage.h"
#include "storage/file_io.h"

namespace mw {

namespace {

// Length of the UTF-8 sequence a lead byte announces; 1 for a byte that cannot lead one.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

}  // namespace

std::string ReportBytes(std::string_view utf8) {
  if (auto whole = Utf8ToCp1252(utf8)) return *whole;
  // Convert character by character, replacing what cannot be converted.
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    size_t len = SequenceLength(static_cast<unsigned char>(utf8[i]));
    if (i + len > utf8.size()) len = 1;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80) len = 1;
    auto one = Utf8ToCp1252(utf8.substr(i, len));
    out += (one && !one->empty()) ? *one : std::string("?");
    i += len;
  }
  return out;
}

bool WriteReportFile(const std::string& path, std::string_view utf8) {
  return WriteFileAtomically(path, ReportBytes(utf8));
}

}  // namespace mw
