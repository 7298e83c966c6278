// Markwell: start-up. A fresh grade book, the file named on the command line or by the
// settings, then the main window.
#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

#include "settings/qt_settings_store.h"
#include "ui/main_window/main_screen.h"
#include "ui/widgets/lean_style.h"

int main(int argc, char** argv) {
  // "--help" or "--version" as the whole command line answers before any window (and without a
  // display); every other command line names a file.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::fputs("Markwell " MARKWELL_VERSION "\n", stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs("Usage: markwell [FILE]\n"
               "Markwell, your personal grade manager. Opens the grade book FILE, or without\n"
               "one the file the options name to open on start-up.\n"
               "\n"
               "  --help     show this help and exit\n"
               "  --version  show the version and exit\n"
               "\n"
               "markwell-cli works with grade book files from the command line.\n",
               stdout);
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Markwell"));
  QApplication::setApplicationName(QStringLiteral("Markwell"));
  QApplication::setApplicationVersion(QStringLiteral(MARKWELL_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("io.github.markwell.Markwell"));
  mw::UseLeanStyle();

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
