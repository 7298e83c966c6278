// Markwell: start-up. A fresh grade book, the file named on the command line or by the
// settings, then the main window.
#include <QApplication>
#include <QStringList>

#include "settings/qt_settings_store.h"
#include "ui/main_window/main_screen.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Markwell"));
  QApplication::setApplicationName(QStringLiteral("Markwell"));
  QApplication::setApplicationVersion(QStringLiteral(MARKWELL_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("io.github.markwell.Markwell"));

  // The whole argument text after the program's name, joined by single blanks: a path with
  // blanks arrives whole, quoted or not.
  QStringList arguments = QApplication::arguments();
  if (!arguments.isEmpty()) arguments.removeFirst();

  mw::QtSettingsStore settings;
  mw::MainScreen window(settings);
  window.StartUp(arguments.join(QLatin1Char(' ')));
  window.show();
  return QApplication::exec();
}
