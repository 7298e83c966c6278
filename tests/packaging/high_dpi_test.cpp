// Every window on a high-density screen: run once with QT_SCALE_FACTOR=2 (a 2x screen) and
// once with QT_FONT_DPI=144 (a larger logical DPI, which the fixed geometry follows). Nothing
// may be clipped: each control lies inside its window and each caption fits its control.
// With MARKWELL_GRAB_DIR set, each window is also saved there as a picture for a look.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <memory>

#include "../gui/scripted_prompts.h"
#include "settings/settings_store.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/dialogs/export_file_dialog.h"
#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/main_window/main_screen.h"
#include "ui/overview/overview_window.h"

namespace mw {
namespace {

QString Caption(const QString& text) { return QString(text).remove(QLatin1Char('&')); }

// What is cut off in window, one line per fault.
QStringList Clipped(QWidget* window) {
  QStringList faults;
  for (QWidget* c : window->findChildren<QWidget*>()) {
    if (!c->isVisible() || c->objectName().isEmpty() || c->objectName().startsWith("qt_"))
      continue;
    const QString name = c->objectName();
    const QRect inWindow(c->mapTo(window, QPoint(0, 0)), c->size());
    if (!window->rect().contains(inWindow)) faults << name + QStringLiteral(" leaves the window");
    const int advance = [&] {
      if (auto* b = qobject_cast<QAbstractButton*>(c)) return c->fontMetrics().horizontalAdvance(Caption(b->text()));
      return 0;
    }();
    if (auto* l = qobject_cast<QLabel*>(c); l && !l->text().isEmpty()) {
      if (l->wordWrap()) {
        if (l->heightForWidth(l->width()) > l->height())
          faults << name + QStringLiteral(" wraps below its height");
      } else if (l->width() < l->sizeHint().width() || l->height() < l->fontMetrics().height()) {
        faults << name + QStringLiteral(" is narrower or lower than its text");
      }
    } else if (qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c)) {
      if (c->width() < c->sizeHint().width()) faults << name + QStringLiteral(" cuts its caption");
    } else if (qobject_cast<QPushButton*>(c)) {
      if (c->width() < advance + 8 || c->height() < c->fontMetrics().height())
        faults << name + QStringLiteral(" cuts its caption");
    } else if (auto* g = qobject_cast<QGroupBox*>(c); g && !g->title().isEmpty()) {
      if (g->width() < g->fontMetrics().horizontalAdvance(Caption(g->title())) + 8)
        faults << name + QStringLiteral(" cuts its title");
    }
  }
  return faults;
}

void Grab(QWidget* window, const QString& name) {
  const QString dir = qEnvironmentVariable("MARKWELL_GRAB_DIR");
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

class HighDpi : public ::testing::Test {
 protected:
  void SetUp() override {
    main = std::make_unique<MainScreen>(settings, &prompts);
    main->StartUp(QString());
    // A grade book in use: a semester with a class and a second group, so that the lists and
    // the class panel show text.
    prompts.inputs = {QStringLiteral("Fall 2026"), QStringLiteral("Introduction to Linear Algebra"),
                      QStringLiteral("Major")};
    for (const char* button : {"AddSemesterButton", "AddClassButton", "AddGroup"}) {
      auto* b = main->findChild<QAbstractButton*>(QLatin1String(button));
      ASSERT_NE(b, nullptr) << button;
      b->click();
    }
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
  }

  void Check(QWidget* window, const char* name) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
    const QStringList faults = Clipped(window);
    EXPECT_TRUE(faults.isEmpty()) << name << ": " << faults.join(QStringLiteral("; ")).toStdString();
    Grab(window, QString::fromLatin1(name));
    window->close();
  }

  MemorySettingsStore settings;
  test::ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> main;
};

TEST_F(HighDpi, MainWindowFollowsTheLogicalDpiAndClipsNothing) {
  // The client area is 8070 by 5325 twips: at 96 dots per inch 538 by 355 pixels, and in
  // proportion at any other logical DPI.
  const double dpi = main->screen()->logicalDotsPerInchX();
  QWidget* client = main->centralWidget();
  ASSERT_NE(client, nullptr);
  EXPECT_NEAR(client->width(), 8070 * dpi / 1440.0, 1.0) << "logical DPI " << dpi;
  EXPECT_NEAR(client->height(), 5325 * dpi / 1440.0, 1.0) << "logical DPI " << dpi;
  const QStringList faults = Clipped(main.get());
  EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("; ")).toStdString();
  Grab(main.get(), QStringLiteral("main_screen"));
}

TEST_F(HighDpi, DialogsClipNothing) {
  GradeBook& gb = main->Book();
  OptionsDialog options(gb, settings, prompts, main.get());
  Check(&options, "options_dialog");
  GetPasswordDialog password(main.get());
  password.PromptMode = mw::PromptMode::Open;
  password.FileName = QStringLiteral("/home/student/grades/Fall 2026.mw");
  Check(&password, "get_password_dialog");
  EditMethodDialog methods(gb.Methods, prompts, main.get());
  Check(&methods, "edit_method_dialog");
  ExportFileDialog report(gb, prompts, [](const QString&) {}, main.get());
  Check(&report, "export_file_dialog");
  AboutDialog about(prompts, main.get());
  Check(&about, "about_dialog");
  main->Overview_Click();
  Check(main->findChild<OverviewWindow*>(), "overview_window");
}

}  // namespace
}  // namespace mw

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("MarkwellTests"));
  QApplication::setOrganizationName(QStringLiteral("MarkwellTests"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
