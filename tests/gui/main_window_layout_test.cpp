// The main window as it opens: the fresh grade book, its fixed frame, tab order, menus,
// shortcuts, the method selector and the dialogs it opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
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
  void SetUp() override {
    w->StartUp(QString());
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QApplication::setActiveWindow(w.get());
  }
  template <typename T>
  T* Get(const char* name) { return w->findChild<T*>(QLatin1String(name)); }
  QString Text(const char* label) { return Get<QLabel>(label)->text(); }
  // The object name of the modal dialog that `step` opens; `inside` runs on it, then it closes.
  QString DialogOpenedBy(const std::function<void()>& step,
                         const std::function<void(QWidget*)>& inside = {}) {
    QString opened;
    QTimer timer;  // gone with this call, should no dialog open
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        opened = modal->objectName();
        if (inside) inside(modal);
        modal->close();
      }
    });
    timer.start(0);
    step();
    QApplication::setActiveWindow(w.get());
    return opened;
  }

  MemorySettingsStore settings;
  test::ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> w = std::make_unique<MainScreen>(settings, &prompts);
  QComboBox* methods = Get<QComboBox>("MethodList");
  QComboBox* grades = Get<QComboBox>("GradeListBox");
};

TEST_F(MainWindowLayout, OpensWithAFreshGradeBookAndNewStartsAnother) {
  EXPECT_EQ(w->StatusText(), "Welcome to Markwell!");
  EXPECT_EQ(methods->currentText(), "4.0 (A- = 3.7, B+ = 3.3)");
  EXPECT_EQ(Get<QListWidget>("GroupList")->selectedItems().size(), 1);  // "Everything"
  EXPECT_TRUE(Get<QListWidget>("MemberGroup")->selectedItems().isEmpty());
  EXPECT_EQ(grades->currentText(), "A");
  EXPECT_EQ(Text("OverallGPABox") + " " + Text("NumGroupMask"), "0.0 (0 classes)");

  // New asks first; the default grade is read when it is used.
  prompts.inputs = {"Fall"};
  w->AddSemesterButton_Click();
  settings.WriteSetting("Options", "DefGrade", "4");
  prompts.yesNo = {false, true};
  w->New_Click();
  EXPECT_EQ(Get<QListWidget>("SemesterList")->count(), 1);
  w->New_Click();
  EXPECT_EQ(prompts.asked.back().text, "Are you sure you want to create a new Markwell file?");
  EXPECT_EQ(Get<QListWidget>("SemesterList")->count(), 0);
  EXPECT_EQ(grades->currentText(), "B");
  EXPECT_EQ(grades->count(), 13);  // filled afresh, not appended to
  EXPECT_EQ(Text("ClassGPABox"), "3.0");
}

TEST_F(MainWindowLayout, FixedFrameAndTabOrder) {
  EXPECT_EQ(w->minimumSize(), w->maximumSize());  // a fixed size

  const QStringList order = QString(
      "SemesterList AddSemesterButton ClassList AddClassButton GradeListBox CreditsBox "
      "MemberGroup AddGroup GroupList MethodList AddMethod DesiredGPABox ClassesLeftBox "
      "PredictGo SaveButton LoadButton OptionsButton SemSelAll SemSelNone").split(' ');
  Get<QListWidget>("SemesterList")->setFocus();
  for (int i = 1; i < order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), order[i]);
  }
}

TEST_F(MainWindowLayout, ShortcutsAndClicksOpenWhatTheyName) {
  auto* credits = Get<QLineEdit>("CreditsBox");
  prompts.files = {QString(), QString()};
  QTest::keyClick(credits, Qt::Key_S, Qt::ControlModifier);  // a new grade book: Save As
  QTest::keyClick(credits, Qt::Key_L, Qt::ControlModifier);
  ASSERT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(prompts.asked[0].kind + " " + prompts.asked[1].kind, "save open");
  EXPECT_EQ(DialogOpenedBy([&] {
              QTest::keyClick(Get<QListWidget>("GroupList"), Qt::Key_O, Qt::AltModifier);
            }),
            "MWOptions");
  EXPECT_EQ(DialogOpenedBy([&] { QTest::keyClick(credits, Qt::Key_P, Qt::ControlModifier); }),
            "ExportFile");
  EXPECT_EQ(DialogOpenedBy([&] { QTest::mouseClick(Get<QLabel>("Picture1"), Qt::LeftButton); }),
            "AboutMe");

  // Clicking the "Credits:" label moves the cursor into the box.
  Get<QListWidget>("GroupList")->setFocus();
  QTest::mouseClick(Get<QLabel>("Label2"), Qt::LeftButton);
  EXPECT_TRUE(credits->hasFocus());

  prompts.yesNo = {false, true};
  QTest::keyClick(methods, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(prompts.asked.back().text, "Are you sure you want to quit Markwell?");
  EXPECT_TRUE(w->isVisible());
  QTest::keyClick(credits, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowLayout, MethodChangesReachEveryFigure) {
  prompts.inputs = {"Fall", "Poetry"};
  w->AddSemesterButton_Click();
  w->AddClassButton_Click();
  Get<QListWidget>("ClassList")->setCurrentRow(0);
  grades->setCurrentIndex(0);  // A+
  EXPECT_EQ(Text("ClassGPABox") + " " + Text("OverallGPABox"), "4.3 4.3");
  methods->setFocus();
  QTest::keyClick(methods, Qt::Key_End);  // Harvard, where A+ is worth 0
  EXPECT_EQ(w->StatusText(), "Changed grading method to \"Harvard (15 pt)\".");
  EXPECT_EQ(Text("ClassGPABox") + " " + Text("OverallGPABox") + " " + Text("SemGPABox"),
            "0.0 0.0 0.0");

  // Closing the editor refills the selector and keeps its entry, or the first when the
  // current one is gone.
  methods->setCurrentIndex(1);
  w->SetStatusText("x");
  DialogOpenedBy([&] { QTest::mouseClick(Get<QPushButton>("AddMethod"), Qt::LeftButton); });
  EXPECT_EQ(methods->count(), 3);
  EXPECT_EQ(methods->currentIndex(), 1);
  EXPECT_EQ(w->StatusText(), "Changed grading method to \"4.0 (A- = 3.66, B+ = 3.33)\".");
  methods->setCurrentIndex(2);
  DialogOpenedBy([&] { w->AddMethod_Click(); }, [](QWidget* m) {
    auto* editor = qobject_cast<EditMethodDialog*>(m);
    ASSERT_NE(editor, nullptr);
    editor->findChild<QListWidget*>("MethodListBox")->setCurrentRow(2);
    editor->MethodListBox_KeyDown(Qt::Key_Delete);
  });
  EXPECT_EQ(methods->count(), 2);
  EXPECT_EQ(methods->currentIndex(), 0);
  EXPECT_EQ(w->Book().MethodPos, 0);
  EXPECT_EQ(w->StatusText(), "Changed grading method to \"4.0 (A- = 3.7, B+ = 3.3)\".");
}

}  // namespace
}  // namespace mw
