// Draws the overview's trend chart on generated books of 10, 60 and 1,000 semesters, in the
// light and a dark palette, at 1x and 2x, as PNG files in the folder given: for looking at
// what a change to the chart's drawing does to the picture.
//   trend_chart_grabs <folder>
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <cstdio>

#include "gui/no_prompts.h"
#include "sample_book.h"
#include "settings/settings_store.h"
#include "ui/main_window/main_screen.h"
#include "ui/overview/overview_window.h"
#include "ui/views/views.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  mw::LinkViews(markwell_views());
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(45, 45, 48));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  const QPalette light = QApplication::palette();
  for (const bool isDark : {false, true}) {
    QApplication::setPalette(isDark ? dark : light);
    for (const int semesters : {10, 60, 1000}) {
      mw::MemorySettingsStore settings;
      mw::bench::NoPrompts prompts;
      mw::MainScreen window(settings, &prompts);
      window.StartUp(QString());
      window.Document().Reset(mw::bench::MakeSampleBook(semesters, 100, 20, 10));
      window.Overview_Click();
      auto* overview = window.findChild<mw::OverviewWindow*>();
      overview->resize(1000, 620);
      overview->show();
      QApplication::processEvents();
      auto* view = overview->findChild<QChartView*>(QStringLiteral("TrendChartView"));
      for (const int ratio : {1, 2}) {
        QImage image(view->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(view->palette().color(QPalette::Window));
        QPainter painter(&image);
        static_cast<QWidget*>(view)->render(&painter);
        painter.end();
        const QString name = QStringLiteral("trend-%1-%2-%3x.png")
                                 .arg(semesters)
                                 .arg(isDark ? QStringLiteral("dark") : QStringLiteral("light"))
                                 .arg(ratio);
        if (!image.save(dir.filePath(name))) return 1;
      }
      overview->close();
      QApplication::processEvents();
    }
  }
  return 0;
}
