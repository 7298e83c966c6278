#pragma once
// The overview on paper or in a PDF file.
#include <QString>

#include "model/figures.h"

class QPrinter;

namespace mw {

// Prints a heading (the grade book's name, the method in use, the date), the trend chart in
// light colours, and the semester table with its overall row; the table goes on over as many
// pages as it needs, its column heads repeated on each, and every page is numbered. False
// when the printer could not be started.
bool PrintOverview(QPrinter& printer, const BookFigures& f, const QString& bookName,
                   const QString& dateText);

}  // namespace mw
