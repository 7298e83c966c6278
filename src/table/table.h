#pragma once
// Tables as students keep them: CSV and tab-separated text, OpenDocument spreadsheets (.ods)
// and Excel workbooks (.xlsx), read from bytes in memory into rows of UTF-8 cell text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw::table {

enum class TableKind {
  Csv,      // delimited text; the delimiter (comma, semicolon or tab) is found from the text
  Tsv,      // tab-separated text
  Ods,      // OpenDocument spreadsheet
  Xlsx,     // Excel workbook
  Unknown,  // a zip archive that is neither workbook
};

// One row of a table with at least one non-empty cell. Blank rows are left out, and so are
// empty cells after a row's last non-empty one.
struct Row {
  int line = 0;             // where the row starts: its line in a text, its row in a sheet (from 1)
  std::string position;     // the same for people: "line 4", or "cell A4" in a workbook
  std::vector<std::string> cells;  // UTF-8, as typed (quotes of delimited text removed)
};

struct Table {
  std::vector<Row> rows;
  char delimiter = 0;  // the delimiter of delimited text; 0 for a workbook
};

struct ReadResult {
  Table table;
  std::string error;                // empty when the table was read
  std::vector<std::string> sheets;  // a workbook's sheet names, in order; empty for text
  std::string sheet;                // the sheet that was read
  bool ok() const { return error.empty(); }
};

// The kind of a file from its bytes (a zip archive's content) and then its name's extension
// (".tsv" and ".tab" are tab-separated; any other text is Csv).
TableKind DetectKind(std::string_view fileName, std::string_view bytes);

// Reads a table. Text is UTF-8 (a byte-order mark is dropped), UTF-16 with its byte-order mark
// (a spreadsheet's "Unicode text"), or else Windows-1252; lines end
// in CR LF or LF; fields may be quoted ("a, ""b""" with line breaks inside). A workbook's
// sheet is chosen by name; an empty name reads the first sheet. Numbers of a workbook come as
// plain number text (3.5), whatever the sheet's display format.
ReadResult ReadTable(std::string_view bytes, TableKind kind, const std::string& sheet = {});

// A table file larger than this is refused before it is read: a whole study's classes take a
// few KB, and the 100,000-class table of the benchmarks about 6 MB.
inline constexpr std::uint64_t kMaxTableBytes = std::uint64_t{256} << 20;

// Reads the table file at path (a regular file of at most kMaxTableBytes, its kind by its
// name and bytes); the error says why it was not read. Never throws.
ReadResult ReadTableFile(const std::string& path, const std::string& sheet = {});

// Text from the clipboard (UTF-8): rows copied from a spreadsheet or a web page arrive
// tab-separated; comma- and semicolon-separated text is taken too.
Table ParsePastedText(std::string_view utf8);

}  // namespace mw::table
