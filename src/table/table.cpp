#include "table/table.h"

#include "table/table_detail.h"

#include <new>

#include "storage/file_io.h"

namespace mw::table {

namespace {

bool EndsWith(std::string_view name, std::string_view ext) {
  if (name.size() < ext.size()) return false;
  name = name.substr(name.size() - ext.size());
  for (size_t i = 0; i < ext.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ext[i]) return false;
  }
  return true;
}

}  // namespace

TableKind DetectKind(std::string_view fileName, std::string_view bytes) {
  if (bytes.starts_with("PK\x03\x04")) {
    // An OpenDocument file starts with its uncompressed "mimetype" part.
    if (bytes.size() > 30 && bytes.substr(30, 60).find("opendocument.spreadsheet") != std::string_view::npos)
      return TableKind::Ods;
    if (bytes.find("xl/workbook.xml") != std::string_view::npos) return TableKind::Xlsx;
    if (EndsWith(fileName, ".ods")) return TableKind::Ods;
    if (EndsWith(fileName, ".xlsx")) return TableKind::Xlsx;
    return TableKind::Unknown;
  }
  if (EndsWith(fileName, ".tsv") || EndsWith(fileName, ".tab")) return TableKind::Tsv;
  return TableKind::Csv;
}

ReadResult ReadTable(std::string_view bytes, TableKind kind, const std::string& sheet) {
  switch (kind) {
    case TableKind::Ods:
      return detail::ReadOds(bytes, sheet);
    case TableKind::Xlsx:
      return detail::ReadXlsx(bytes, sheet);
    case TableKind::Csv:
    case TableKind::Tsv: {
      ReadResult result;
      result.table = detail::ReadDelimited(detail::TextToUtf8(bytes),
                                           kind == TableKind::Tsv ? '\t' : 0);
      return result;
    }
    case TableKind::Unknown:
      break;
  }
  ReadResult result;
  result.error = "The file is neither a CSV or TSV table nor an OpenDocument or Excel workbook.";
  return result;
}

ReadResult ReadTableFile(const std::string& path, const std::string& sheet) {
  ReadResult result;
  try {
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kMaxTableBytes)) {
      result.error = "The file cannot be read: it is missing, no regular file, or larger than "
                     "256 MiB.";
      return result;
    }
    return ReadTable(bytes, DetectKind(path, bytes), sheet);
  } catch (const std::bad_alloc&) {
    result = ReadResult{};
    result.error = "The file cannot be read: there is not enough memory.";
    return result;
  }
}

}  // namespace mw::table
