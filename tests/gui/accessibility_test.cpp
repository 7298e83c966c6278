// Every control in every window can be told apart by a screen reader and used without a
// mouse: each input, button, list and selector carries a non-empty accessible name, its own
// or that of the label that is its buddy, and takes the focus from the Tab key.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <memory>

#include "scripted_prompts.h"
#include "settings/settings_store.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/dialogs/export_file_dialog.h"
#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/main_window/main_screen.h"

namespace mw {
namespace {

bool IsControl(const QWidget* w) {
  if (qobject_cast<const QScrollBar*>(w)) return false;  // part of the view it scrolls
  // Qt's own helpers (the menu bar's overflow button and the like) are named by Qt.
  if (w->objectName().startsWith(QLatin1String("qt_"))) return false;
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// True when w is a piece of another control (a combo box's edit field, a view's editor).
bool InsideAnotherControl(const QWidget* w, const QWidget* window) {
  for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
    if (IsControl(p)) return true;
  return false;
}

QString BuddyText(const QWidget* w, const QWidget* window) {
  for (const QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy() == w && !label->text().remove(QLatin1Char('&')).trimmed().isEmpty())
      return label->text();
  return {};
}

// What a screen reader calls w: its accessible name, else for a button its caption, else the
// text of its buddy label. (Qt would call a drop-down list by its current entry, "A" or "B+",
// which says nothing of what the list is for, so that does not count.)
QString NameOf(const QWidget* w, const QWidget* window) {
  if (!w->accessibleName().trimmed().isEmpty()) return w->accessibleName();
  if (qobject_cast<const QAbstractButton*>(w)) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
    if (iface && !iface->text(QAccessible::Name).trimmed().isEmpty())
      return iface->text(QAccessible::Name);
  }
  return BuddyText(w, window);
}

QString Describe(const QWidget* w) {
  return w->objectName() + QStringLiteral(" (") + w->metaObject()->className() +
         QStringLiteral(")");
}

// The controls of window that a screen reader could not name, and those the Tab key never
// reaches, each as "objectName (class)".
struct Findings {
  QStringList unnamed;
  QStringList noTabStop;
};
Findings Inspect(QWidget* window) {
  Findings f;
  int controls = 0;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!IsControl(w) || !w->isVisibleTo(window) || InsideAnotherControl(w, window)) continue;
    ++controls;
    if (NameOf(w, window).isEmpty()) f.unnamed << Describe(w);
    // A read-only text field only shows text (the About box's copyable lines skip Tab).
    const auto* line = qobject_cast<const QLineEdit*>(w);
    if (!(w->focusPolicy() & Qt::TabFocus) && !(line && line->isReadOnly()))
      f.noTabStop << Describe(w);
  }
  if (controls == 0) f.unnamed << QStringLiteral("<no controls found at all>");
  return f;
}

class Accessibility : public ::testing::Test {
 protected:
  void SetUp() override {
    main = std::make_unique<MainScreen>(settings, &prompts);
    main->StartUp(QString());
    // A semester with a class, so that the class panel is filled as in use.
    prompts.inputs = {QStringLiteral("Fall 2026"), QStringLiteral("Calculus")};
    Press("AddSemesterButton");
    Press("AddClassButton");
    prompts.asked.clear();
  }

  void Press(const char* name) {
    auto* b = main->findChild<QAbstractButton*>(QLatin1String(name));
    ASSERT_NE(b, nullptr) << name;
    b->click();
  }

  static void Expect(QWidget* window, const char* name) {
    const Findings f = Inspect(window);
    EXPECT_TRUE(f.unnamed.isEmpty())
        << name << " unnamed: " << f.unnamed.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(f.noTabStop.isEmpty())
        << name << " out of the Tab order: " << f.noTabStop.join(QStringLiteral(", ")).toStdString();
  }

  MemorySettingsStore settings;
  test::ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> main;
};

TEST_F(Accessibility, MainWindowControlsAreNamedAndReachedByTab) {
  Expect(main.get(), "MainScreen");
}

TEST_F(Accessibility, DialogControlsAreNamedAndReachedByTab) {
  GradeBook& gb = main->Book();
  struct Window {
    const char* name;
    std::unique_ptr<QWidget> widget;
  };
  std::vector<Window> windows;
  windows.push_back({"OptionsDialog",
                     std::make_unique<OptionsDialog>(gb, settings, prompts, main.get())});
  windows.push_back({"GetPasswordDialog", std::make_unique<GetPasswordDialog>(main.get())});
  windows.push_back({"EditMethodDialog",
                     std::make_unique<EditMethodDialog>(gb.Methods, prompts, main.get())});
  windows.push_back({"ExportFileDialog",
                     std::make_unique<ExportFileDialog>(
                         gb, prompts, [](const QString&) {}, main.get())});
  windows.push_back({"AboutDialog", std::make_unique<AboutDialog>(prompts, main.get())});
  for (Window& w : windows) {
    Expect(w.widget.get(), w.name);
  }
}

TEST_F(Accessibility, HelpViewerControlsAreNamedAndReachedByTab) {
  QTemporaryDir dir;
  QFile help(QDir(dir.path()).filePath(kHelpFileName));
  ASSERT_TRUE(help.open(QIODevice::WriteOnly));
  help.write("<html><body><h1>Markwell</h1><p><a href=\"#x\">x</a></p></body></html>");
  help.close();
  QWidget* viewer = ShowHelp(main.get(), prompts, {dir.path()});
  ASSERT_NE(viewer, nullptr);
  Expect(viewer, "HelpViewer");
  viewer->close();
}

}  // namespace
}  // namespace mw
