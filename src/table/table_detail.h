#pragma once
// What the table readers share inside the table folder.
#include <string>
#include <string_view>

#include "table/table.h"

namespace mw::table::detail {

// Appends the row unless it is blank, without its trailing empty cells; its position is
// positionWord followed by its line ("line 4").
void AddRow(Table& table, Row row, const char* positionWord);

// Text bytes as UTF-8: UTF-16 with a byte-order mark is converted, a UTF-8 one dropped; text
// that is not UTF-8 is read as Windows-1252.
std::string TextToUtf8(std::string_view bytes);

// Delimited text; delimiter 0 finds it.
Table ReadDelimited(std::string_view utf8, char delimiter);

// A workbook's sheet.
ReadResult ReadOds(std::string_view bytes, const std::string& sheet);
ReadResult ReadXlsx(std::string_view bytes, const std::string& sheet);

// A number of a workbook cell as plain number text (3.5, not 3.4999999999999996).
std::string NumberText(const char* raw);

}  // namespace mw::table::detail
