// Delimited text: CSV, TSV and the clipboard, through libcsv.
#include <csv.h>

#include <array>
#include <climits>

#include "model/codepage.h"
#include "table/table_detail.h"

namespace mw::table {

namespace {

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    int extra = 0;
    unsigned min = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (i + static_cast<size_t>(extra) >= s.size()) return false;
    unsigned cp = c & (0x3Fu >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

// Which of tab, comma and semicolon separates the fields: the one found most often on every
// line (outside quotes) of the first lines, so that decimal commas of a semicolon-separated
// file and the odd punctuation inside a name do not decide.
char FindDelimiter(std::string_view text) {
  constexpr std::array<char, 3> candidates = {'\t', ',', ';'};  // ties go to the first
  std::array<long, 3> least = {LONG_MAX, LONG_MAX, LONG_MAX};
  std::array<long, 3> onLine = {0, 0, 0};
  bool quoted = false, blank = true;
  int lines = 0;
  auto endLine = [&] {
    if (!blank)
      for (size_t k = 0; k < 3; ++k) least[k] = std::min(least[k], onLine[k]);
    onLine = {0, 0, 0};
    blank = true;
    ++lines;
  };
  for (size_t i = 0; i < text.size() && lines < 50; ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n') {
      endLine();
      continue;
    }
    if (c != '\r' && c != ' ') blank = false;
    for (size_t k = 0; k < 3; ++k)
      if (c == candidates[k]) ++onLine[k];
  }
  if (lines < 50) endLine();
  size_t best = 0;
  for (size_t k = 1; k < 3; ++k)
    if (least[k] != LONG_MAX && (least[best] == LONG_MAX || least[k] > least[best])) best = k;
  return least[best] == LONG_MAX || least[best] == 0 ? ',' : candidates[best];
}

struct Collector {
  Table* table;
  Row row;
  int line = 0;       // the line being fed
  bool pending = true;  // the next non-blank line starts a row
};

void OnField(void* data, size_t size, void* user) {
  auto* c = static_cast<Collector*>(user);
  c->row.cells.emplace_back(static_cast<const char*>(data), size);
}

void OnRowEnd(int, void* user) {
  auto* c = static_cast<Collector*>(user);
  detail::AddRow(*c->table, std::move(c->row), "line ");
  c->row = Row{};
  c->pending = true;
}

}  // namespace

namespace detail {

void AddRow(Table& table, Row row, const char* positionWord) {
  while (!row.cells.empty() && row.cells.back().empty()) row.cells.pop_back();
  if (row.cells.empty()) return;
  row.position = positionWord + std::to_string(row.line);
  table.rows.push_back(std::move(row));
}

std::string TextToUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp1252ToUtf8(bytes);
}

Table ReadDelimited(std::string_view utf8, char delimiter) {
  Table table;
  table.delimiter = delimiter ? delimiter : FindDelimiter(utf8);
  csv_parser parser;
  csv_init(&parser, 0);
  csv_set_delim(&parser, static_cast<unsigned char>(table.delimiter));
  Collector collector{&table, {}, 0, true};
  // Fed a line at a time, so that each row knows the line it starts on.
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    end = end == std::string_view::npos ? utf8.size() : end + 1;
    const std::string_view line = utf8.substr(start, end - start);
    ++collector.line;
    if (collector.pending && line.find_first_not_of("\r\n") != std::string_view::npos) {
      collector.row.line = collector.line;
      collector.pending = false;
    }
    csv_parse(&parser, line.data(), line.size(), OnField, OnRowEnd, &collector);
    start = end;
  }
  csv_fini(&parser, OnField, OnRowEnd, &collector);
  csv_free(&parser);
  return table;
}

}  // namespace detail

Table ParsePastedText(std::string_view utf8) {
  return detail::ReadDelimited(detail::TextToUtf8(utf8), 0);
}

}  // namespace mw::table
