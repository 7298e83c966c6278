// Every window on a high-density screen: run once with QT_SCALE_FACTOR=2 (a 2x screen) and
// once with QT_FONT_DPI=144 (a larger logical DPI, which the fixed geometry follows). Nothing
// may be clipped: each control lies inside its window and each caption fits its control.
// With MARKWELL_GRAB_DIR set, each window is also saved there as a picture for a look.
#include <QGroupBox>
#include <QRadioButton>
#include <QScreen>

#include "every_window.h"

namespace mw {
namespace {

// What is cut off in window, one line per fault.
QStringList Clipped(QWidget* window) {
  QStringList faults;
  for (QWidget* c : window->findChildren<QWidget*>()) {
    if (!c->isVisible() || c->objectName().isEmpty() || c->objectName().startsWith("qt_")) continue;
    const QString name = c->objectName();
    if (!window->rect().contains(QRect(c->mapTo(window, QPoint(0, 0)), c->size()))) faults << name + " leaves the window";
    if (auto* l = qobject_cast<QLabel*>(c); l && !l->text().isEmpty()) {
      if (l->wordWrap() ? l->heightForWidth(l->width()) > l->height()
                        : l->width() < l->sizeHint().width() || l->height() < l->fontMetrics().height())
        faults << name + " is narrower or lower than its text";
    } else if (qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c)) {
      if (c->width() < c->sizeHint().width()) faults << name + " cuts its caption";
    } else if (auto* b = qobject_cast<QPushButton*>(c)) {
      if (c->width() < c->fontMetrics().horizontalAdvance(b->text().remove('&')) + 8 ||
          c->height() < c->fontMetrics().height())
        faults << name + " cuts its caption";
    } else if (auto* g = qobject_cast<QGroupBox*>(c); g && !g->title().isEmpty()) {
      if (g->width() < g->fontMetrics().horizontalAdvance(g->title().remove('&')) + 8) faults << name + " cuts its title";
    }
  }
  return faults;
}

void Check(QWidget* window, const char* name) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
  const QStringList faults = Clipped(window);
  EXPECT_TRUE(faults.isEmpty()) << name << ": " << faults.join("; ").toStdString();
  if (const QString dir = qEnvironmentVariable("MARKWELL_GRAB_DIR"); !dir.isEmpty()) {
    QDir().mkpath(dir);
    window->grab().save(QDir(dir).filePath(QString::fromLatin1(name) + ".png"));
  }
}

TEST(HighDpi, MainWindowFollowsTheLogicalDpiAndNoWindowClipsAnything) {
  test::EveryWindow every;
  MainScreen* main = every.w.get();
  Check(main, "main_screen");
  // The client area is 8070 by 5325 twips: at 96 dots per inch 538 by 355 pixels, and in
  // proportion at any other logical DPI.
  const double dpi = main->screen()->logicalDotsPerInchX();
  EXPECT_NEAR(main->centralWidget()->width(), 8070 * dpi / 1440.0, 1.0) << "logical DPI " << dpi;
  EXPECT_NEAR(main->centralWidget()->height(), 5325 * dpi / 1440.0, 1.0) << "logical DPI " << dpi;
  for (auto& [name, dialog] : every.Dialogs()) {
    Check(dialog.get(), name);
    dialog->close();
  }
  Check(every.OpenOverview(), "overview_window");
}

}  // namespace
}  // namespace mw
