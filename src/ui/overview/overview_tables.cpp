#include "ui/overview/overview_tables.h"

#include "qtext/text.h"
#include "model/method.h"
#include "model/numtext.h"

namespace mw {

namespace {

QString Number(double v) { return Q(GeneralNumber(v)); }

}  // namespace

QStringList SemesterHeaders() {
  return {QStringLiteral("Counted"), QStringLiteral("Semester"), QStringLiteral("Classes"),
          QStringLiteral("Credits"), QStringLiteral("GPA"), QStringLiteral("Cumulative GPA")};
}

QStringList SemesterHeaderTips() {
  return {QStringLiteral("Marked in the main window's semester list: its classes count"),
          QString(),
          QStringLiteral("Classes that count: in a group of the group mask"),
          QStringLiteral("Credits of the classes that count"),
          QStringLiteral("The semester's GPA, as the main window shows it with the semester selected"),
          QStringLiteral("GPA of the classes that count in this semester and those above it")};
}

FiguresRow SemesterRowAt(const BookFigures& f, size_t i) {
  FiguresRow row;
  if (i < f.Rows.size()) {
    const SemesterRow& r = f.Rows[i];
    row.checked = r.Marked ? 1 : 0;
    row.cells = {QString(), Q(r.Name), QString::number(r.Classes), Number(r.Credits),
                 Q(r.GpaText), Q(r.CumulativeText)};
    row.dimmed = !r.Marked;
    if (!r.Marked)
      row.toolTip = QStringLiteral("Not counted: the semester is not marked in the main window");
  } else if (i == f.Rows.size()) {
    row.cells = {QString(), QStringLiteral("Overall"), QString::number(f.Classes),
                 Number(f.Credits), Q(f.OverallText), QString()};
    row.bold = true;
    row.toolTip = Q(f.CountCaption) + QLatin1Char(' ') + Q(f.CountTooltip);
  }
  return row;
}

std::vector<FiguresRow> SemesterRows(const BookFigures& f) {
  std::vector<FiguresRow> rows;
  rows.reserve(f.Rows.size() + 1);
  for (size_t i = 0; i <= f.Rows.size(); ++i) rows.push_back(SemesterRowAt(f, i));
  return rows;
}

QStringList MethodHeaders(const std::vector<Method>& methods, int inUse) {
  QStringList h{QStringLiteral("Semester")};
  for (size_t j = 0; j < methods.size(); ++j) {
    QString name = Q(methods[j].Name);
    if (static_cast<int>(j) == inUse) name += QStringLiteral(" (in use)");
    h << name;
  }
  return h;
}

FiguresRow MethodRowAt(const BookFigures& f, size_t i) {
  FiguresRow row;
  if (i == 0) {
    row.cells << QStringLiteral("Overall");
    for (double gpa : f.MethodOverall) row.cells << Q(Format3(gpa));
    row.bold = true;
  } else if (i <= f.Rows.size()) {
    const SemesterRow& r = f.Rows[i - 1];
    row.cells << Q(r.Name);
    for (double gpa : r.MethodGpa) row.cells << Q(Format3(gpa));
    row.dimmed = !r.Marked;
  }
  return row;
}

QStringList ClassHeaders() {
  return {QStringLiteral("Class"), QStringLiteral("Grade"), QStringLiteral("Credits"),
          QStringLiteral("Grade Points"), QStringLiteral("Counts")};
}

std::vector<FiguresRow> ClassRows(const std::vector<ClassLine>& lines, bool semesterMarked) {
  std::vector<FiguresRow> rows;
  rows.reserve(lines.size());
  for (const ClassLine& c : lines) {
    FiguresRow row;
    row.cells = {Q(c.Name), Q(LetterGrade(c.Grade)),
                 Number(c.Credits), Q(Format2(c.GradePoints)),
                 c.Counts ? QStringLiteral("Yes") : QStringLiteral("No")};
    row.dimmed = !c.Counts;
    if (!semesterMarked)
      row.toolTip = QStringLiteral("Not counted: the semester is not marked in the main window");
    else if (!c.InMask)
      row.toolTip = QStringLiteral("Not counted: the class is in no group of the group mask");
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace mw
