#pragma once
// The rows of the overview's tables, shared by the window and its printout.
#include <QStringList>
#include <vector>

#include "model/figures.h"
#include "ui/overview/figures_table.h"

namespace mw {

// Counted, Semester, Classes, Credits, GPA, Cumulative GPA: one row per semester in display
// order, then the overall row (the main window's figures, its count caption and tooltip).
QStringList SemesterHeaders();
QStringList SemesterHeaderTips();
std::vector<FiguresRow> SemesterRows(const BookFigures& f);
// Row i of those (i == f.Rows.size() is the overall row); an empty row past the end.
FiguresRow SemesterRowAt(const BookFigures& f, size_t i);
inline constexpr int kSemesterNumbersFrom = 2;

// One column per method (the one in use marked), one row for the overall GPA and one per
// semester.
QStringList MethodHeaders(const std::vector<Method>& methods, int inUse);
// Row i of the rows of f, worked out under every method (0 is the overall row); an empty row
// past the end.
FiguresRow MethodRowAt(const BookFigures& f, size_t i);

// Class, Grade, Credits, Grade Points, Counts.
QStringList ClassHeaders();
std::vector<FiguresRow> ClassRows(const std::vector<ClassLine>& lines, bool semesterMarked);

}  // namespace mw
