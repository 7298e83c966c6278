#pragma once
// Classes from a table and back: pasting rows, importing a CSV, TSV, .ods or .xlsx file, and
// exporting the classes as CSV. Each asks through the prompts and adds through the document,
// one step for all the classes. Each returns the message for the status line.
#include <QString>
#include <string>

#include "app/book_document.h"
#include "app/prompts.h"

namespace mw {

// Pastes clipboard text; rows without a semester go into currentSemester.
QString PasteClasses(BookDocument& doc, Prompts& prompts, const QString& text,
                     const std::string& currentSemester);
QString ImportClasses(BookDocument& doc, Prompts& prompts);
QString ExportClassesCsv(const GradeBook& book, Prompts& prompts);

}  // namespace mw
