#pragma once
// The windows that need libraries the main window does not: the GPA overview (Qt Charts), the
// print/export dialog and the print dialog (Qt PrintSupport). The program opens them from a
// library of their own, markwell-views.so, the first time one of them is asked for, so that it
// starts without loading those libraries. Programs that link them in (the tests and the
// benchmarks) hand them over with LinkViews.
#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

namespace mw {

class BookDocument;
class GradeBook;
class Prompts;
class SettingsStore;

struct Views {
  // The layout this program expects, to refuse a library built from other sources.
  unsigned size = sizeof(Views);
  const char* version = MARKWELL_VERSION;

  // A new overview window of the document, owned by parent. selectSemester makes a semester
  // current in the main window.
  QWidget* (*NewOverview)(BookDocument& doc, SettingsStore& settings, Prompts& prompts,
                          std::function<void(const QString&)> selectSemester, QWidget* parent);
  // The print/export dialog for the book, until it closes; setMainStatus writes the main
  // window's status line.
  void (*RunExportDialog)(const GradeBook& book, Prompts& prompts,
                          std::function<void(const QString&)> setMainStatus, QWidget* parent);
  // The print dialog: true when the user chose a printer or a file.
  bool (*SetUpPrinter)(QPrinter& printer, const QString& title, QWidget* parent);
};

// The views linked in, or else those of the library beside the program or in its installed
// library folder, opened once. Null when there is none that opens; *error then says why.
const Views* FindViews(QString* error = nullptr);

// Hands over views linked into the program; null goes back to opening the library.
void LinkViews(const Views* views);

// Opens the first of the library files that exists. Null when none exists or the one found
// does not open or is not this program's; *error then says why.
const Views* OpenViewsLibrary(const QStringList& paths, QString* error);

}  // namespace mw

// The entry of markwell-views.so (and of the views linked in).
extern "C" const mw::Views* markwell_views();
