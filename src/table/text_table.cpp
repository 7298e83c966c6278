// Delimited text: CSV, TSV and the clipboard, through libcsv.
#include <csv.h>

#include <array>

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

void AppendUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 text, as spreadsheets save "Unicode text"; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) -> unsigned {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

// Which of tab, comma and semicolon separates the fields, from the first lines (outside
// quotes): the one on the most lines, then the most often, then in that order. So a line of
// one cell, the decimal commas of a semicolon-separated file and the odd punctuation inside a
// name do not decide; with none of them, comma.
char FindDelimiter(std::string_view text) {
  constexpr std::array<char, 3> candidates = {'\t', ',', ';'};
  std::array<long, 3> lines = {0, 0, 0}, total = {0, 0, 0}, onLine = {0, 0, 0};
  bool quoted = false;
  int seen = 0;
  auto endLine = [&] {
    for (size_t k = 0; k < 3; ++k) {
      lines[k] += onLine[k] > 0;
      total[k] += onLine[k];
    }
    onLine = {0, 0, 0};
    ++seen;
  };
  for (size_t i = 0; i < text.size() && seen < 50; ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n') {
      endLine();
      continue;
    }
    for (size_t k = 0; k < 3; ++k)
      if (c == candidates[k]) ++onLine[k];
  }
  if (seen < 50) endLine();
  size_t best = 1;  // comma
  for (size_t k : {size_t{0}, size_t{2}})
    if (lines[k] > lines[best] || (lines[k] == lines[best] && total[k] > total[best])) best = k;
  if (lines[0] == lines[best] && total[0] == total[best] && total[0] > 0) best = 0;
  return candidates[best];
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
  if (bytes.starts_with("\xFF\xFE")) return Utf16ToUtf8(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return Utf16ToUtf8(bytes.substr(2), true);
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
