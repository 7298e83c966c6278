// Every control in every window can be told apart by a screen reader and used without a
// mouse: each carries the name a screen reader reads (a drop-down list, which is read by its
// current entry, a "labelled by" relation instead), and the Tab key reaches it. The figures
// read well in light and dark palettes, and no window outgrows the screen, however long a name.
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QGraphicsView>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolTip>

#include "every_window.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/widgets/access.h"

namespace mw {
namespace {

// Scroll bars belong to their view, and Qt names its own helpers ("qt_...").
bool IsControl(const QWidget* w) {
  if (qobject_cast<const QScrollBar*>(w) || w->objectName().startsWith(QLatin1String("qt_"))) return false;
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QGraphicsView*>(w);
}

// True when w is a piece of another control (a combo box's edit field, a view's editor).
bool InsideAnotherControl(const QWidget* w, const QWidget* window) {
  for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
    if (IsControl(p)) return true;
  return false;
}

// What a screen reader is told the control is: its name, or for a drop-down list (whose name
// is its current entry, "A" or "B+") the label it is labelled by.
QString NameOf(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  if (!iface) return {};
  if (!qobject_cast<QComboBox*>(w)) return iface->text(QAccessible::Name).trimmed();
  for (const auto& [label, relation] : iface->relations(QAccessible::Label))
    if (!label->text(QAccessible::Name).trimmed().isEmpty()) return label->text(QAccessible::Name);
  return {};
}

// Also checks that the window, frame included, fits the screen.
void Expect(QWidget* window, const char* name) {
  window->show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.size().boundedTo(window->frameGeometry().size()) == window->frameGeometry().size())
      << name << " is larger than the screen: " << window->frameGeometry().width() << "x" << window->frameGeometry().height();
  QStringList unnamed, unreached;
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>())
    if (IsControl(w) && w->isVisibleTo(window) && !InsideAnotherControl(w, window)) controls << w;
  EXPECT_FALSE(controls.isEmpty()) << name;
  // Tab from the first control round the window, twice over to be sure of the loop.
  QSet<QWidget*> reached;
  (window->focusWidget() ? window->focusWidget() : controls.front())->setFocus(Qt::TabFocusReason);
  for (int i = 0; i < 2 * controls.size() + 4 && window->focusWidget(); ++i) {
    for (QWidget* w = window->focusWidget(); w && w != window; w = w->parentWidget()) reached.insert(w);
    // A sheet whose Tab moves from cell to cell is left with Ctrl+Tab, as a text box is.
    const auto* view = qobject_cast<const QAbstractItemView*>(window->focusWidget());
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab,
                    view && view->tabKeyNavigation() ? Qt::ControlModifier : Qt::NoModifier);
  }
  for (QWidget* w : controls) {
    const QString described = w->objectName() + " (" + w->metaObject()->className() + ")";
    if (NameOf(w).isEmpty()) unnamed << described;
    // A read-only text field only shows text (the About box's copyable lines skip Tab).
    const auto* line = qobject_cast<const QLineEdit*>(w);
    if (w->isEnabled() && !reached.contains(w) && !(line && line->isReadOnly())) unreached << described;
  }
  EXPECT_TRUE(unnamed.isEmpty()) << name << " unnamed: " << unnamed.join(", ").toStdString();
  EXPECT_TRUE(unreached.isEmpty()) << name << " not reached by Tab: " << unreached.join(", ").toStdString();
  window->hide();
}

// With a semester name of 5,000 characters, which is current.
TEST(Accessibility, EveryWindowIsNamedReachedByTabAndWithinTheScreen) {
  test::EveryWindow every;
  const QString longName(5000, QLatin1Char('W'));
  every.prompts.inputs = {longName};
  every.w->findChild<QAbstractButton*>("AddSemesterButton")->click();
  Expect(every.w.get(), "main window");
  auto dialogs = every.Dialogs();
  auto* password = static_cast<GetPasswordDialog*>(dialogs[1].second.get());
  password->FileName = QLatin1Char('/') + longName;  // one word wider than the screen
  for (auto& [name, dialog] : dialogs) Expect(dialog.get(), name);
  EXPECT_TRUE(password->findChild<QLabel*>("Question")->toolTip().contains(longName));
  every.w->findChild<QAction*>("Overview")->trigger();
  every.w->Document().Select(longName.toStdString());  // the sheet's rows made others current
  auto* overview = every.w->findChild<OverviewWindow*>();
  Expect(overview, "overview");
  // The classes' title and the semester's entry, cut short, give the whole name as tooltip.
  auto* list = every.w->findChild<QListWidget*>("SemesterList");
  const QPoint entry = list->visualItemRect(list->item(1)).center();
  QWidget* title = overview->findChild<QLabel*>("ClassesTitle");
  for (auto [widget, at] : {std::pair{title, QPoint(2, 2)}, {list->viewport(), entry}}) {
    QHelpEvent tip(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &tip);
    EXPECT_TRUE(QToolTip::text().contains(longName)) << widget->objectName().toStdString();
    QToolTip::hideText();
  }

  QTemporaryDir dir;
  QByteArray links;
  for (int i = 0; i < 30; ++i) links += "<a href=\"#x\">x</a> ";  // more links than Tab presses
  test::WriteFile(QDir(dir.path()).filePath(kHelpFileName), "<html><body><h1>Markwell</h1><p>" + links + "</p></body></html>");
  QWidget* viewer = ShowHelp(every.w.get(), every.prompts, {dir.path()});
  ASSERT_NE(viewer, nullptr);
  Expect(viewer, "help viewer");
  viewer->close();
}

// Also when the palette changes while the window is open.
TEST(Accessibility, FiguresKeepTheHighlightsHueAndReadWellInLightAndDarkPalettes) {
  const QPalette saved = QApplication::palette();
  test::EveryWindow every;
  // A light theme's 3.2:1 and a dark one's 2.2:1.
  for (const auto& [window, highlight] : {std::pair{0xefefef, 0x308cc6}, {0x2d2d2d, 0x1e50a0}}) {
    QPalette palette = saved;
    palette.setColor(QPalette::Window, QColor::fromRgb(window));
    palette.setColor(QPalette::Highlight, QColor::fromRgb(highlight));
    QApplication::setPalette(palette);
    QCoreApplication::processEvents();
    for (const char* figure : {"OverallGPABox", "SemGPABox", "ClassGPABox"}) {
      const QColor text = every.w->findChild<QLabel*>(figure)->palette().color(QPalette::WindowText);
      EXPECT_GE(ContrastRatio(text, QColor::fromRgb(window)), 4.5) << figure;
      EXPECT_NEAR(text.hslHue(), QColor::fromRgb(highlight).hslHue(), 2) << figure;
    }
  }
  QApplication::setPalette(saved);
}

}  // namespace
}  // namespace mw
