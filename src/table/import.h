#pragma once
// From a table to classes: which column holds what, and the preview of what an import or a
// paste would add, row by row, with the reason for each refused row.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "model/gradebook.h"
#include "table/table.h"

namespace mw::table {

enum Field { kSemesterField, kClassField, kCreditsField, kGradeField, kGroupsField, kFieldCount };

// The column names shown for the fields: "Semester", "Class", "Credits", "Grade", "Groups".
extern const std::array<const char*, kFieldCount> kFieldNames;

// Which column (from 0) holds each field, -1 for none; and whether the first row is a header
// (skipped). The user may change it before the import.
struct ColumnMapping {
  std::array<int, kFieldCount> column{-1, -1, -1, -1, -1};
  bool header = false;
  friend bool operator==(const ColumnMapping&, const ColumnMapping&) = default;
};

// The mapping a table suggests. A first row naming columns (any letter case: Semester, Term,
// Session, Year; Class, Course, Title, Subject, Name; Credits, Credit Hours, Hours, Units, CR;
// Grade, Letter, Letter Grade, Mark; Groups, Group, Category) is a header and maps them;
// other columns are ignored. Without a header, rows whose second column holds credits and
// third a grade are Class, Credits, Grade[, Groups]; all others are Semester, Class, Credits,
// Grade, Groups.
ColumnMapping GuessMapping(const Table& table);

// One source row of the preview: the class it adds, or why it cannot.
struct PlannedRow {
  std::string position;                  // the row's Row::position
  std::optional<edit::NewClass> planned;  // set when accepted
  std::string reason;                    // why not, when refused
};

struct ImportPlan {
  std::vector<PlannedRow> rows;           // every source row but the header, in order
  std::vector<std::string> newSemesters;  // semesters the import adds, in order
  std::vector<std::string> newGroups;     // groups it adds, in order
  int classCount = 0;                     // accepted rows
  int refusedCount = 0;
  // The accepted classes, in order: what edit::AddClasses takes (moved out of a plan that is
  // no longer needed: std::move(plan).Accepted()).
  std::vector<edit::NewClass> Accepted() const&;
  std::vector<edit::NewClass> Accepted() &&;
};

// The preview of adding the table's rows to the book. A row without a semester column, or
// with an empty semester cell, goes into the semester of the row above, or else into
// currentSemester. Each row meets the checks of the editing commands: names the file can
// hold, no class name twice in a semester (the book's or an earlier row's), credits read as
// the credits box reads them (a decimal comma too: "3,5"; empty is 0) and within its bound,
// and a grade letter in any case ("F" is "E"). Groups are names separated by ";".
ImportPlan PlanImport(const GradeBook& book, const Table& table, const ColumnMapping& mapping,
                      const std::string& currentSemester);

// The classes of the book as UTF-8 CSV with the columns Semester, Class, Credits, Grade and
// Groups, a header row first: semesters in the semester list's order, classes in the book's
// order, credits as the file writes them, groups separated by ";". Fields holding a comma,
// quote or line break are quoted, a quote doubled; lines end in CR LF.
std::string ClassesCsv(const GradeBook& book);

}  // namespace mw::table
