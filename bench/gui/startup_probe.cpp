// Start-up as the program does it, ending at the first shown frame: the application and its
// style, the settings, the main window with its fresh grade book. startup_bench times it as a
// whole process against bare_window_probe.
#include <QApplication>

#include "settings/qt_settings_store.h"
#include "ui/main_window/main_screen.h"
#include "ui/widgets/lean_style.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("MarkwellBench"));
  QApplication::setApplicationName(QStringLiteral("MarkwellBench"));
  mw::UseLeanStyle();
  mw::QtSettingsStore settings;
  mw::MainScreen window(settings);
  window.StartUp(QString());
  window.show();
  QApplication::processEvents();
  return 0;
}
