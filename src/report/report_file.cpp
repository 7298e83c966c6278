#include "report/report_file.h"

#include "model/codepage.h"
#include "storage/file_io.h"

namespace mw {

std::string ReportBytes(std::string_view utf8) { return Utf8ToCp1252Lossy(utf8); }

bool WriteReportFile(const std::string& path, std::string_view utf8) {
  return WriteFileAtomically(path, ReportBytes(utf8));
}

}  // namespace mw
