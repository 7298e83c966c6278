// The main window as it opens: controls, menus, shortcuts, the fresh grade book, the method
// selector and the dialogs it opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "scripted_prompts.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/main_window/main_screen.h"

// Texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace mw {
namespace {

class MainWindowLayout : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }
  void Open() {
    w = std::make_unique<MainScreen>(settings, &prompts);
    w->StartUp(QString());
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QApplication::setActiveWindow(w.get());
  }
  template <typename T>
  T* Get(const char* name) {
    T* found = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QString Text(const char* label) { return Get<QLabel>(label)->text(); }
  // Runs `inside` on the modal dialog that the next step opens, then closes it.
  void WhenModalOpens(std::function<void(QWidget*)> inside) {
    QTimer::singleShot(0, [inside] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      inside(modal);
      modal->close();
    });
  }

  MemorySettingsStore settings;
  test::ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> w;
};

TEST_F(MainWindowLayout, OpensWithAFreshGradeBook) {
  EXPECT_EQ(w->windowTitle(), "Markwell");
  EXPECT_EQ(w->StatusText(), "Welcome to Markwell!");
  auto* methods = Get<QComboBox>("MethodList");
  ASSERT_EQ(methods->count(), 3);
  EXPECT_EQ(methods->currentText(), "4.0 (A- = 3.7, B+ = 3.3)");
  auto* groups = Get<QListWidget>("GroupList");
  ASSERT_EQ(groups->count(), 1);
  EXPECT_TRUE(groups->item(0)->isSelected());
  EXPECT_EQ(Get<QListWidget>("MemberGroup")->selectedItems().size(), 0);
  EXPECT_EQ(Get<QListWidget>("SemesterList")->count(), 0);
  auto* grades = Get<QComboBox>("GradeListBox");
  EXPECT_EQ(grades->count(), 13);
  EXPECT_EQ(grades->currentText(), "A");
  EXPECT_EQ(Text("ClassListTitle"), "");
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  EXPECT_EQ(Text("NumGroupMask"), "(0 classes)");
  EXPECT_EQ(Get<QLabel>("NumGroupMask")->toolTip(), "(0/0 credits)");
  EXPECT_EQ(Text("ClassGPABox"), "4.0");

  // The default grade is read when it is used: a new grade book after a change of setting.
  settings.WriteSetting("Options", "DefGrade", "4");
  prompts.yesNo = {false, true};
  w->New_Click();
  EXPECT_EQ(grades->currentText(), "A");  // answered No: nothing changed
  w->New_Click();
  EXPECT_EQ(prompts.asked.back().text, "Are you sure you want to create a new Markwell file?");
  EXPECT_EQ(prompts.asked.back().title, "New Markwell File");
  EXPECT_EQ(grades->currentText(), "B");
  EXPECT_EQ(grades->count(), 13);
  EXPECT_EQ(Text("ClassGPABox"), "3.0");
}

TEST_F(MainWindowLayout, ControlsStandWhereTheyBelongAndDoNotClipTheirCaptions) {
  const double px = QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 96.0 / 15.0;
  auto* list = Get<QListWidget>("SemesterList");
  EXPECT_EQ(list->geometry(), QRect(qRound(240 * px), qRound(480 * px), qRound(2295 * px),
                                    qRound(1860 * px)));
  auto* save = Get<QPushButton>("SaveButton");
  EXPECT_EQ(save->parentWidget(), Get<QGroupBox>("Frame1"));
  EXPECT_EQ(save->pos(), QPoint(qRound(240 * px), qRound(240 * px)));

  // Fixed size, minimise box, no maximise box.
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);

  // Every caption fits its control at the chosen font.
  for (QWidget* c : w->centralWidget()->findChildren<QWidget*>()) {
    QString caption;
    int padding = 0;
    if (auto* l = qobject_cast<QLabel*>(c)) caption = l->text();
    if (auto* b = qobject_cast<QPushButton*>(c)) caption = b->text(), padding = 6;
    caption.remove(QLatin1Char('&'));
    if (caption.isEmpty()) continue;
    const QFontMetrics fm(c->font());
    EXPECT_LE(fm.horizontalAdvance(caption) + padding, c->width()) << c->objectName().toStdString();
    EXPECT_LE(fm.height(), c->height()) << c->objectName().toStdString();
  }

  // Tab order follows the controls' tab indexes.
  const QStringList order = {"SemesterList", "AddSemesterButton", "ClassList", "AddClassButton",
                             "GradeListBox", "CreditsBox", "MemberGroup", "AddGroup",
                             "GroupList", "MethodList", "AddMethod", "DesiredGPABox",
                             "ClassesLeftBox", "PredictGo", "SaveButton", "LoadButton",
                             "OptionsButton", "SemSelAll", "SemSelNone"};
  Get<QListWidget>("SemesterList")->setFocus();
  for (int i = 1; i < order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), order[i]);
  }
}

TEST_F(MainWindowLayout, MenusCarryTheirItemsShortcutsAndSeparators) {
  QStringList fileItems;
  for (QAction* a : Get<QMenu>("File")->actions())
    fileItems << (a->isSeparator() ? "-" : a->text() + " " + a->shortcut().toString());
  EXPECT_EQ(fileItems, QStringList({"&Save Ctrl+S", "Save &As ", "&Load Ctrl+L", "&New ", "-",
                                    "&Print/Export Grades Ctrl+P", "-", "&Quit Ctrl+Q"}));
  QStringList helpItems;
  for (QAction* a : Get<QMenu>("HelpBar")->actions())
    helpItems << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(helpItems, QStringList({"&Help", "-", "&About Markwell"}));
  QStringList bar;
  for (QAction* a : w->menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, QStringList({"&File", "&Options", "&Help"}));
}

TEST_F(MainWindowLayout, ShortcutsWorkFromAnywhere) {
  auto* credits = Get<QLineEdit>("CreditsBox");
  credits->setFocus();
  prompts.files = {QString(), QString()};
  QTest::keyClick(credits, Qt::Key_S, Qt::ControlModifier);  // new grade book: Save As
  ASSERT_FALSE(prompts.asked.empty());
  EXPECT_EQ(prompts.asked.back().kind, "save");
  QTest::keyClick(credits, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(prompts.asked.back().kind, "open");

  QString opened;
  WhenModalOpens([&](QWidget* m) { opened = m->objectName(); });
  QTest::keyClick(Get<QListWidget>("GroupList"), Qt::Key_O, Qt::AltModifier);
  EXPECT_EQ(opened, "MWOptions");
  QApplication::setActiveWindow(w.get());  // back from the dialog
  WhenModalOpens([&](QWidget* m) { opened = m->objectName(); });
  QTest::keyClick(credits, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(opened, "ExportFile");
  QApplication::setActiveWindow(w.get());  // back from the dialog

  prompts.yesNo = {false, true};
  QTest::keyClick(Get<QComboBox>("MethodList"), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(prompts.asked.back().text, "Are you sure you want to quit Markwell?");
  EXPECT_TRUE(w->isVisible());
  QTest::keyClick(credits, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowLayout, LabelAndPictureClicks) {
  auto* credits = Get<QLineEdit>("CreditsBox");
  Get<QListWidget>("GroupList")->setFocus();
  const QString before = w->StatusText();
  QTest::mouseClick(Get<QLabel>("Label2"), Qt::LeftButton);
  EXPECT_TRUE(credits->hasFocus());
  EXPECT_EQ(w->StatusText(), before);

  QString opened;
  WhenModalOpens([&](QWidget* m) { opened = m->objectName(); });
  QTest::mouseClick(Get<QLabel>("Picture1"), Qt::LeftButton);
  EXPECT_EQ(opened, "AboutMe");
}

TEST_F(MainWindowLayout, MethodSelectorChangesEveryFigure) {
  prompts.inputs = {"Fall", "Poetry"};
  w->AddSemesterButton_Click();
  w->AddClassButton_Click();
  auto* classes = Get<QListWidget>("ClassList");
  classes->setCurrentRow(0);
  auto* grades = Get<QComboBox>("GradeListBox");
  grades->setCurrentIndex(0);  // A+
  EXPECT_EQ(Text("ClassGPABox"), "4.3");
  EXPECT_EQ(Text("OverallGPABox"), "4.3");

  auto* methods = Get<QComboBox>("MethodList");
  methods->setFocus();
  QTest::keyClick(methods, Qt::Key_End);  // Harvard, where A+ is worth 0
  EXPECT_EQ(w->StatusText(), "Changed grading method to \"Harvard (15 pt)\".");
  EXPECT_EQ(Text("ClassGPABox"), "0.0");
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  EXPECT_EQ(Text("SemGPABox"), "0.0");
}

TEST_F(MainWindowLayout, MethodEditorClosingRefillsTheSelector) {
  auto* methods = Get<QComboBox>("MethodList");
  methods->setCurrentIndex(1);
  w->SetStatusText("x");
  WhenModalOpens([](QWidget*) {});
  QTest::mouseClick(Get<QPushButton>("AddMethod"), Qt::LeftButton);
  EXPECT_EQ(methods->count(), 3);
  EXPECT_EQ(methods->currentIndex(), 1);
  EXPECT_EQ(w->StatusText(), "Changed grading method to \"4.0 (A- = 3.66, B+ = 3.33)\".");

  // The editor deletes the last method while the last one is current: the first takes over.
  methods->setCurrentIndex(2);
  WhenModalOpens([](QWidget* m) {
    auto* editor = qobject_cast<EditMethodDialog*>(m);
    ASSERT_NE(editor, nullptr);
    auto* list = editor->findChild<QListWidget*>("MethodListBox");
    list->setCurrentRow(2);
    editor->MethodListBox_KeyDown(Qt::Key_Delete);
  });
  w->AddMethod_Click();
  EXPECT_EQ(methods->count(), 2);
  EXPECT_EQ(methods->currentIndex(), 0);
  EXPECT_EQ(w->Book().MethodPos, 0);
  EXPECT_EQ(w->StatusText(), "Changed grading method to \"4.0 (A- = 3.7, B+ = 3.3)\".");
}

}  // namespace
}  // namespace mw
