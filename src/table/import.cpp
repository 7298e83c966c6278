#include "table/import.h"

#include <algorithm>
#include <unordered_map>

#include "model/amount.h"
#include "model/method.h"
#include "model/numtext.h"

namespace mw::table {

const std::array<const char*, kFieldCount> kFieldNames = {"Semester", "Class", "Credits", "Grade",
                                                          "Groups"};

namespace {

std::string Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(first, last - first + 1));
}

std::string Lower(std::string_view s) {
  std::string out = Trimmed(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The field a header cell names, or -1.
int HeaderField(std::string_view cell) {
  static const std::unordered_map<std::string, int> names = {
      {"semester", kSemesterField}, {"term", kSemesterField},       {"session", kSemesterField},
      {"year", kSemesterField},     {"class", kClassField},         {"course", kClassField},
      {"title", kClassField},       {"subject", kClassField},       {"name", kClassField},
      {"credits", kCreditsField},   {"credit hours", kCreditsField}, {"hours", kCreditsField},
      {"units", kCreditsField},     {"cr", kCreditsField},          {"grade", kGradeField},
      {"letter", kGradeField},      {"letter grade", kGradeField},  {"mark", kGradeField},
      {"groups", kGroupsField},     {"group", kGroupsField},        {"category", kGroupsField}};
  const auto found = names.find(Lower(cell));
  return found == names.end() ? -1 : found->second;
}

// Credits as the credits box reads them, with a decimal comma taken as a point ("3,5" from a
// semicolon-separated file); empty text is 0. Empty when the text is no number.
std::optional<double> CreditsValue(std::string_view cell) {
  std::string text = Trimmed(cell);
  if (text.empty()) return 0.0;
  if (text.find('.') == std::string::npos && std::count(text.begin(), text.end(), ',') == 1)
    std::replace(text.begin(), text.end(), ',', '.');
  if (!IsNumericText(text)) return std::nullopt;
  return LeadingNumber(text);
}

std::vector<std::string> SplitGroups(std::string_view cell) {
  std::vector<std::string> groups;
  size_t start = 0;
  while (start <= cell.size()) {
    size_t end = cell.find(';', start);
    if (end == std::string_view::npos) end = cell.size();
    std::string name = Trimmed(cell.substr(start, end - start));
    if (!name.empty() && std::find(groups.begin(), groups.end(), name) == groups.end())
      groups.push_back(std::move(name));
    start = end + 1;
  }
  return groups;
}

const std::string& Cell(const Row& row, int column) {
  static const std::string empty;
  return column >= 0 && static_cast<size_t>(column) < row.cells.size()
             ? row.cells[static_cast<size_t>(column)]
             : empty;
}

}  // namespace

ColumnMapping GuessMapping(const Table& table) {
  ColumnMapping mapping;
  if (table.rows.empty()) return mapping;
  const Row& first = table.rows.front();
  bool named = false, numeric = false;
  for (size_t i = 0; i < first.cells.size(); ++i) {
    const int field = HeaderField(first.cells[i]);
    if (field >= 0 && mapping.column[static_cast<size_t>(field)] < 0) {
      mapping.column[static_cast<size_t>(field)] = static_cast<int>(i);
      named = true;
    }
    if (!Trimmed(first.cells[i]).empty() && IsNumericText(first.cells[i])) numeric = true;
  }
  if (named && !numeric) {
    mapping.header = true;
    return mapping;
  }
  // No header: Class, Credits, Grade[, Groups] when most rows read so; else the full order.
  size_t shortForm = 0;
  for (const Row& row : table.rows)
    if (row.cells.size() >= 3 && row.cells.size() <= 4 && CreditsValue(row.cells[1]) &&
        ParseGradeLetter(row.cells[2]))
      ++shortForm;
  mapping = ColumnMapping{};
  if (shortForm * 2 > table.rows.size())
    mapping.column = {-1, 0, 1, 2, 3};
  else
    mapping.column = {0, 1, 2, 3, 4};
  return mapping;
}

std::vector<edit::NewClass> ImportPlan::Accepted() const& {
  std::vector<edit::NewClass> classes;
  classes.reserve(static_cast<size_t>(classCount));
  for (const auto& row : rows)
    if (row.planned) classes.push_back(*row.planned);
  return classes;
}

std::vector<edit::NewClass> ImportPlan::Accepted() && {
  std::vector<edit::NewClass> classes;
  classes.reserve(static_cast<size_t>(classCount));
  for (auto& row : rows)
    if (row.planned) classes.push_back(std::move(*row.planned));
  return classes;
}

ImportPlan PlanImport(const GradeBook& book, const Table& table, const ColumnMapping& mapping,
                      const std::string& currentSemester) {
  ImportPlan plan;
  const auto col = [&](Field f) { return mapping.column[static_cast<size_t>(f)]; };
  edit::NewClassCheck check(book);  // against the book and the rows accepted so far
  std::string semester = currentSemester;
  plan.rows.reserve(table.rows.size());
  for (size_t r = mapping.header ? 1 : 0; r < table.rows.size(); ++r) {
    const Row& row = table.rows[r];
    PlannedRow out;
    out.position = row.position;
    edit::NewClass c;
    const std::string semesterCell = Trimmed(Cell(row, col(kSemesterField)));
    if (!semesterCell.empty()) semester = semesterCell;
    c.semester = semester;
    c.name = Trimmed(Cell(row, col(kClassField)));
    const auto credits = CreditsValue(Cell(row, col(kCreditsField)));
    const auto grade = ParseGradeLetter(Cell(row, col(kGradeField)));
    c.credits = credits.value_or(0);
    c.grade = grade.value_or(0);
    c.groups = SplitGroups(Cell(row, col(kGroupsField)));
    std::optional<std::string> why;
    if (!credits)
      why = "Please enter a numeric value for the number of credits.";
    else if (!grade && Trimmed(Cell(row, col(kGradeField))).empty())
      why = "No grade.";
    else if (!grade)
      why = "\"" + Trimmed(Cell(row, col(kGradeField))) +
            "\" is not a letter grade (A+ to E, or F).";
    else
      why = check.Take(c);
    if (why) {
      out.reason = std::move(*why);
      ++plan.refusedCount;
    } else {
      out.planned = std::move(c);
      ++plan.classCount;
    }
    plan.rows.push_back(std::move(out));
  }
  plan.newSemesters = check.NewSemesters();
  plan.newGroups = check.NewGroups();
  return plan;
}

namespace {

void CsvField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (char ch : field) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

}  // namespace

std::string ClassesCsv(const GradeBook& book) {
  std::string out = "Semester,Class,Credits,Grade,Groups\r\n";
  for (const auto& entry : book.SemesterOrder) {
    const Semester* s = book.FindSemester(entry.Name);
    if (!s) continue;
    for (const Class& c : s->Classes) {
      CsvField(out, s->Name);
      out += ',';
      CsvField(out, c.Name);
      out += ',';
      out += PlainNumber(c.Credits);
      out += ',';
      out += LetterGrade(c.Grade);
      out += ',';
      std::string groups;
      for (GroupId g : c.Groups) {
        if (!groups.empty()) groups += ';';
        groups += book.GroupName(g);
      }
      CsvField(out, groups);
      out += "\r\n";
    }
  }
  return out;
}

}  // namespace mw::table
