// Workbooks: OpenDocument spreadsheets and Excel workbooks are zip archives of XML, read with
// libzip and pugixml.
#include <dlfcn.h>
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <pugixml.hpp>

#include "model/numtext.h"
#include "table/table_detail.h"

namespace mw::table {

namespace {

// Limits that keep a hostile archive from taking all memory: a part of at most 256 MB, and at
// most 4 million cells (a 100,000-row sheet of five columns is half a million).
constexpr zip_uint64_t kMaxPartBytes = 256u << 20;
constexpr size_t kMaxCells = 4'000'000;
constexpr long kMaxColumns = 16384;    // the widest sheet either program writes
constexpr long kMaxRows = 1'048'576;   // the longest

const char* const kDamaged = "The workbook is damaged or not a workbook.";
const char* const kTooLarge = "The sheet is too large to import.";

// libzip is loaded when the first workbook is read, not when the program starts: with the
// libcrypto it brings it is the costliest library to load, and most starts read no workbook.
struct ZipFunctions {
  decltype(&zip_error_init) error_init;
  decltype(&zip_error_fini) error_fini;
  decltype(&zip_source_buffer_create) source_buffer_create;
  decltype(&zip_source_free) source_free;
  decltype(&zip_open_from_source) open_from_source;
  decltype(&zip_discard) discard;
  decltype(&zip_name_locate) name_locate;
  decltype(&zip_fopen_index) fopen_index;
  decltype(&zip_fread) fread;
  decltype(&zip_fclose) fclose;
};

// Null when libzip cannot be loaded; every workbook then reads as damaged.
const ZipFunctions* Zip() {
  static const ZipFunctions* const loaded = []() -> const ZipFunctions* {
    void* lib = dlopen(MARKWELL_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!lib) return nullptr;
    static ZipFunctions z;
    bool all = true;
    auto bind = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
      all = all && fn;
    };
    bind(z.error_init, "zip_error_init");
    bind(z.error_fini, "zip_error_fini");
    bind(z.source_buffer_create, "zip_source_buffer_create");
    bind(z.source_free, "zip_source_free");
    bind(z.open_from_source, "zip_open_from_source");
    bind(z.discard, "zip_discard");
    bind(z.name_locate, "zip_name_locate");
    bind(z.fopen_index, "zip_fopen_index");
    bind(z.fread, "zip_fread");
    bind(z.fclose, "zip_fclose");
    return all ? &z : nullptr;
  }();
  return loaded;
}

class Archive {
 public:
  explicit Archive(std::string_view bytes) : z_(Zip()) {
    if (!z_) return;
    zip_error_t error;
    z_->error_init(&error);
    zip_source_t* source = z_->source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source) {
      zip_ = z_->open_from_source(source, ZIP_RDONLY, &error);
      if (!zip_) z_->source_free(source);
    }
    z_->error_fini(&error);
  }
  ~Archive() {
    if (zip_) z_->discard(zip_);
  }
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  bool Open() const { return zip_ != nullptr; }
  bool Has(const char* name) const { return zip_ && z_->name_locate(zip_, name, 0) >= 0; }

  // The part's bytes; empty when it is missing, unreadable or too large.
  std::optional<std::string> Read(const std::string& name) const {
    if (!zip_) return std::nullopt;
    const zip_int64_t index = z_->name_locate(zip_, name.c_str(), 0);
    if (index < 0) return std::nullopt;
    zip_file_t* file = z_->fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
    if (!file) return std::nullopt;
    std::string out;
    char buffer[65536];
    bool ok = true;
    for (;;) {
      const zip_int64_t n = z_->fread(file, buffer, sizeof buffer);
      if (n < 0) ok = false;
      if (n <= 0) break;
      out.append(buffer, static_cast<size_t>(n));
      if (out.size() > kMaxPartBytes) {
        ok = false;
        break;
      }
    }
    z_->fclose(file);
    if (!ok) return std::nullopt;
    return out;
  }

 private:
  const ZipFunctions* z_;
  zip_t* zip_ = nullptr;
};

// The element name without its namespace prefix.
std::string_view Local(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// An attribute by its name without prefix.
pugi::xml_attribute Attr(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_attribute a : node.attributes()) {
    std::string_view name = a.name();
    const size_t colon = name.find(':');
    if ((colon == std::string_view::npos ? name : name.substr(colon + 1)) == local) return a;
  }
  return {};
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_node c : node.children())
    if (Local(c) == local) return c;
  return {};
}

bool Parse(pugi::xml_document& doc, const std::optional<std::string>& part) {
  return part && doc.load_buffer(part->data(), part->size(), pugi::parse_default | pugi::parse_ws_pcdata);
}

std::string ColumnName(long column) {  // 0 is A
  std::string name;
  for (long c = column + 1; c > 0; c = (c - 1) / 26)
    name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
  return name;
}

// Collects rows of a sheet, counting the cells against the limit.
class SheetRows {
 public:
  explicit SheetRows(ReadResult& result) : result_(result) {}

  // Sets cell column of the current row.
  bool Set(long column, std::string text) {
    if (column < 0 || column >= kMaxColumns) return true;  // beyond any sheet: ignored
    if (text.empty()) return true;
    auto& cells = row_.cells;
    if (cells.size() <= static_cast<size_t>(column)) {
      if (cells_ + static_cast<size_t>(column) + 1 - cells.size() > kMaxCells) return false;
      cells_ += static_cast<size_t>(column) + 1 - cells.size();
      cells.resize(static_cast<size_t>(column) + 1);
    }
    cells[static_cast<size_t>(column)] = std::move(text);
    return true;
  }

  // Ends the current row, sheet row number line (from 1), repeated count times.
  bool End(long line, long count) {
    Row row = std::move(row_);
    row_ = Row{};
    while (!row.cells.empty() && row.cells.back().empty()) row.cells.pop_back();
    if (row.cells.empty()) return true;
    long first = 0;
    while (row.cells[static_cast<size_t>(first)].empty()) ++first;
    for (long k = 0; k < count && line + k <= kMaxRows; ++k) {
      if (k > 0) {
        if (cells_ + row.cells.size() > kMaxCells) return false;
        cells_ += row.cells.size();
      }
      Row copy = row;
      copy.line = static_cast<int>(line + k);
      copy.position = "cell " + ColumnName(first) + std::to_string(line + k);
      result_.table.rows.push_back(std::move(copy));
    }
    return true;
  }

 private:
  ReadResult& result_;
  Row row_;
  size_t cells_ = 0;
};

// ---- OpenDocument ----

void OdsText(const pugi::xml_node& node, std::string& out) {
  for (pugi::xml_node c : node.children()) {
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
      out += c.value();
      continue;
    }
    const std::string_view name = Local(c);
    if (name == "s") {
      const int n = std::clamp(Attr(c, "c").as_int(1), 1, 1000);
      out.append(static_cast<size_t>(n), ' ');
    } else if (name == "tab") {
      out += '\t';
    } else if (name == "line-break") {
      out += '\n';
    } else if (name != "annotation") {
      OdsText(c, out);
    }
  }
}

std::string OdsCell(const pugi::xml_node& cell) {
  const std::string_view type = Attr(cell, "value-type").value();
  if (type == "float" || type == "percentage" || type == "currency") {
    const pugi::xml_attribute value = Attr(cell, "value");
    if (value) return detail::NumberText(value.value());
  }
  std::string text;
  for (pugi::xml_node p : cell.children()) {
    if (Local(p) != "p") continue;
    if (!text.empty()) text += '\n';
    OdsText(p, text);
  }
  return text;
}

bool OdsRows(const pugi::xml_node& parent, SheetRows& rows, long& line) {
  for (pugi::xml_node node : parent.children()) {
    const std::string_view name = Local(node);
    if (name == "table-header-rows" || name == "table-row-group" || name == "table-rows") {
      if (!OdsRows(node, rows, line)) return false;
      continue;
    }
    if (name != "table-row") continue;
    const long repeat = std::max(1L, static_cast<long>(Attr(node, "number-rows-repeated").as_llong(1)));
    long column = 0;
    for (pugi::xml_node cell : node.children()) {
      const std::string_view kind = Local(cell);
      if (kind != "table-cell" && kind != "covered-table-cell") continue;
      const long span =
          std::max(1L, static_cast<long>(Attr(cell, "number-columns-repeated").as_llong(1)));
      std::string text = OdsCell(cell);
      if (!text.empty())
        for (long k = 0; k < span && column + k < kMaxColumns; ++k)
          if (!rows.Set(column + k, text)) return false;
      column = std::min(column + span, kMaxColumns);
    }
    if (!rows.End(line, repeat)) return false;
    line = std::min(line + repeat, kMaxRows + 1);
  }
  return true;
}

// ---- Excel ----

std::string XlsxText(const pugi::xml_node& node) {  // an <si> or <is>: its <t>, or its runs
  std::string text;
  for (pugi::xml_node c : node.children()) {
    if (Local(c) == "t")
      text += c.text().get();
    else if (Local(c) == "r")
      text += Child(c, "t").text().get();
  }
  return text;
}

// "B7" as column 1; -1 when the reference has no letters.
long XlsxColumn(std::string_view ref) {
  long column = 0;
  size_t i = 0;
  for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && column <= kMaxColumns; ++i)
    column = column * 26 + (ref[i] - 'A' + 1);
  return i == 0 ? -1 : column - 1;
}

}  // namespace

namespace detail {

std::string NumberText(const char* raw) {
  char* end = nullptr;
  const double value = std::strtod(raw, &end);
  if (end == raw || *end != '\0' || !std::isfinite(value)) return raw;
  return PlainNumber(value);
}

ReadResult ReadOds(std::string_view bytes, const std::string& sheet) {
  ReadResult result;
  Archive zip(bytes);
  pugi::xml_document doc;
  if (!zip.Open() || !Parse(doc, zip.Read("content.xml"))) {
    result.error = kDamaged;
    return result;
  }
  pugi::xml_node book = Child(Child(Child(doc, "document-content"), "body"), "spreadsheet");
  pugi::xml_node chosen;
  for (pugi::xml_node t : book.children()) {
    if (Local(t) != "table") continue;
    std::string name = Attr(t, "name").value();
    if (!chosen && (sheet.empty() || name == sheet)) {
      chosen = t;
      result.sheet = name;
    }
    result.sheets.push_back(std::move(name));
  }
  if (!chosen) {
    result.error = result.sheets.empty() ? kDamaged : "The workbook has no sheet named " + sheet + ".";
    return result;
  }
  SheetRows rows(result);
  long line = 1;
  if (!OdsRows(chosen, rows, line)) {
    result.table.rows.clear();
    result.error = kTooLarge;
  }
  return result;
}

ReadResult ReadXlsx(std::string_view bytes, const std::string& sheet) {
  ReadResult result;
  Archive zip(bytes);
  pugi::xml_document workbook, rels;
  if (!zip.Open() || !Parse(workbook, zip.Read("xl/workbook.xml")) ||
      !Parse(rels, zip.Read("xl/_rels/workbook.xml.rels"))) {
    result.error = kDamaged;
    return result;
  }
  std::map<std::string, std::string> targets;  // relationship id: part
  for (pugi::xml_node r : Child(rels, "Relationships").children()) {
    std::string target = Attr(r, "Target").value();
    target = target.starts_with('/') ? target.substr(1) : "xl/" + target;
    targets[Attr(r, "Id").value()] = std::move(target);
  }
  std::string part;
  for (pugi::xml_node s : Child(Child(workbook, "workbook"), "sheets").children()) {
    if (Local(s) != "sheet") continue;
    std::string name = Attr(s, "name").value();
    if (part.empty() && (sheet.empty() || name == sheet)) {
      const auto found = targets.find(Attr(s, "id").value());
      if (found != targets.end()) {
        part = found->second;
        result.sheet = name;
      }
    }
    result.sheets.push_back(std::move(name));
  }
  if (part.empty()) {
    result.error = result.sheets.empty() || sheet.empty()
                       ? kDamaged
                       : "The workbook has no sheet named " + sheet + ".";
    return result;
  }
  std::vector<std::string> shared;
  pugi::xml_document strings;
  if (zip.Has("xl/sharedStrings.xml")) {
    if (!Parse(strings, zip.Read("xl/sharedStrings.xml"))) {
      result.error = kDamaged;
      return result;
    }
    for (pugi::xml_node si : Child(strings, "sst").children())
      if (Local(si) == "si") shared.push_back(XlsxText(si));
  }
  pugi::xml_document doc;
  if (!Parse(doc, zip.Read(part))) {
    result.error = kDamaged;
    return result;
  }
  SheetRows rows(result);
  long line = 0;
  for (pugi::xml_node row : Child(Child(doc, "worksheet"), "sheetData").children()) {
    if (Local(row) != "row") continue;
    const long number = Attr(row, "r").as_llong(line + 1);
    line = number > line && number <= kMaxRows ? number : line + 1;
    if (line > kMaxRows) break;
    long column = -1;
    for (pugi::xml_node c : row.children()) {
      if (Local(c) != "c") continue;
      const long at = XlsxColumn(Attr(c, "r").value());
      column = at >= 0 ? at : column + 1;
      const std::string_view type = Attr(c, "t").value();
      const char* value = Child(c, "v").text().get();
      std::string text;
      if (type == "s") {
        char* end = nullptr;
        const unsigned long index = std::strtoul(value, &end, 10);
        if (end != value && index < shared.size()) text = shared[index];
      } else if (type == "inlineStr") {
        text = XlsxText(Child(c, "is"));
      } else if (type == "b") {
        text = std::strcmp(value, "1") == 0 ? "TRUE" : "FALSE";
      } else if (type.empty() || type == "n") {
        text = *value ? NumberText(value) : std::string();
      } else {
        text = value;
      }
      if (!rows.Set(column, std::move(text))) {
        result.table.rows.clear();
        result.error = kTooLarge;
        return result;
      }
    }
    if (!rows.End(line, 1)) {
      result.table.rows.clear();
      result.error = kTooLarge;
      return result;
    }
  }
  return result;
}

}  // namespace detail

}  // namespace mw::table
