// Every control in every window can be told apart by a screen reader and used without a
// mouse: each input, button, list and selector carries a non-empty accessible name, its own
// or that of the label that is its buddy, and takes the focus from the Tab key.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>

#include "every_window.h"
#include "ui/dialogs/help_viewer.h"

namespace mw {
namespace {

// Scroll bars belong to their view, and Qt names its own helpers ("qt_...").
bool IsControl(const QWidget* w) {
  if (qobject_cast<const QScrollBar*>(w) || w->objectName().startsWith(QLatin1String("qt_"))) return false;
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

// Its accessible name, else a button's caption, else its buddy label's text. (Qt would call a
// drop-down list by its current entry, "A" or "B+", which says nothing of what it is for.)
QString NameOf(const QWidget* w, const QWidget* window) {
  if (!w->accessibleName().trimmed().isEmpty()) return w->accessibleName();
  if (qobject_cast<const QAbstractButton*>(w)) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
    if (iface && !iface->text(QAccessible::Name).trimmed().isEmpty()) return iface->text(QAccessible::Name);
  }
  for (const QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy() == w && !label->text().remove(QLatin1Char('&')).trimmed().isEmpty()) return label->text();
  return {};
}

void Expect(QWidget* window, const char* name) {
  QStringList unnamed, noTabStop;
  int controls = 0;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!IsControl(w) || !w->isVisibleTo(window) || InsideAnotherControl(w, window)) continue;
    ++controls;
    const QString described = w->objectName() + " (" + w->metaObject()->className() + ")";
    if (NameOf(w, window).isEmpty()) unnamed << described;
    // A read-only text field only shows text (the About box's copyable lines skip Tab).
    const auto* line = qobject_cast<const QLineEdit*>(w);
    if (!(w->focusPolicy() & Qt::TabFocus) && !(line && line->isReadOnly())) noTabStop << described;
  }
  EXPECT_GT(controls, 0) << name;
  EXPECT_TRUE(unnamed.isEmpty()) << name << " unnamed: " << unnamed.join(", ").toStdString();
  EXPECT_TRUE(noTabStop.isEmpty()) << name << " out of the Tab order: " << noTabStop.join(", ").toStdString();
}

TEST(Accessibility, EveryWindowsControlsAreNamedAndReachedByTab) {
  test::EveryWindow every;
  Expect(every.main.get(), "main window");
  for (auto& [name, dialog] : every.Dialogs()) Expect(dialog.get(), name);

  QTemporaryDir dir;
  QFile help(QDir(dir.path()).filePath(kHelpFileName));
  ASSERT_TRUE(help.open(QIODevice::WriteOnly));
  help.write("<html><body><h1>Markwell</h1><p><a href=\"#x\">x</a></p></body></html>");
  help.close();
  QWidget* viewer = ShowHelp(every.main.get(), every.prompts, {dir.path()});
  ASSERT_NE(viewer, nullptr);
  Expect(viewer, "help viewer");
  viewer->close();
}

}  // namespace
}  // namespace mw
