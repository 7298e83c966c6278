// The main window as it opens: the fresh grade book, its shortcuts, the method selector and
// the dialogs it opens.
#include "gui_test.h"
#include "ui/dialogs/edit_method_dialog.h"

namespace mw {
namespace {

class MainWindowLayout : public test::MainWindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Start());
    QApplication::setActiveWindow(w.get());
  }
  // The object name of the modal dialog that `step` opens; `inside` runs on it, then it closes.
  QString DialogOpenedBy(const std::function<void()>& step, std::function<void(QWidget*)> inside = {}) {
    opened.clear();
    QTimer::singleShot(0, w.get(), [this, inside] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        opened = modal->objectName();
        if (inside) inside(modal);
        modal->close();
      }
    });
    step();
    QApplication::setActiveWindow(w.get());
    return opened;
  }

  QComboBox *methods = Main<QComboBox>("MethodList"), *grades = Main<QComboBox>("GradeListBox");
  QString opened;
};

TEST_F(MainWindowLayout, OpensFreshShortcutsNewAndQuit) {
  EXPECT_EQ(w->StatusText(), "Welcome to Markwell!");
  QWidget* credits = Main<QWidget>("CreditsBox");
  EXPECT_EQ(DialogOpenedBy([&] { QTest::keyClick(credits, Qt::Key_O, Qt::AltModifier); }),
            "MWOptions");
  EXPECT_EQ(DialogOpenedBy([&] { QTest::mouseClick(Main<QLabel>("Picture1"), Qt::LeftButton); }),
            "AboutMe");
  // Clicking the "Credits:" label moves the cursor into the box.
  Main("GroupList")->setFocus();
  QTest::mouseClick(Main<QLabel>("Label2"), Qt::LeftButton);
  EXPECT_TRUE(credits->hasFocus());

  // New on a book without changes asks whether to start afresh (with changes it asks only
  // about them: MainWindowUnsaved). The default grade is read when it is used.
  settings.WriteSetting("Options", "DefGrade", "4");
  prompts.yesNo = {true, false, true};
  w->New_Click();
  EXPECT_EQ(prompts.asked.back().text, "Are you sure you want to create a new Markwell file?");
  EXPECT_EQ(grades->currentText() + " " + Text("ClassGPABox"), "B 3.0");
  EXPECT_EQ(grades->count(), 13);  // filled afresh, not appended to

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
  Main("ClassList")->setCurrentRow(0);
  grades->setCurrentIndex(0);  // A+
  EXPECT_EQ(Text("ClassGPABox") + " " + Text("OverallGPABox"), "4.3 4.3");
  methods->setFocus();
  QTest::keyClick(methods, Qt::Key_End);  // Harvard, where A+ is worth 0
  EXPECT_EQ(Text("ClassGPABox") + " " + Text("OverallGPABox") + " " + Text("SemGPABox"), "0.0 0.0 0.0");

  // Closing the editor refills the selector and shows the method in use afterwards.
  methods->setCurrentIndex(2);
  DialogOpenedBy([&] { QTest::mouseClick(Main<QPushButton>("AddMethod"), Qt::LeftButton); }, [](QWidget* editor) {
    editor->findChild<QListWidget*>("MethodListBox")->setCurrentRow(2);
    static_cast<EditMethodDialog*>(editor)->MethodListBox_KeyDown(Qt::Key_Delete);
  });
  EXPECT_EQ(methods->currentIndex(), 0);
  EXPECT_EQ(w->Book().MethodPos, 0);
}

// A message wider than the status line ends in "…" and is whole in the tooltip and the
// accessible description; StatusText() has it whole.
TEST_F(MainWindowLayout, LongStatusMessagesAreElidedNeverCutUnseen) {
  auto* line = Main<QLabel>("StatusText");
  const QString longText = "Exported grades to file '/home/student/" + QString(40, 'x') + "/" +
                           QString(60, 'y') + "/report of every semester.txt'.";
  w->SetStatusText(longText);
  EXPECT_EQ(w->StatusText(), longText);
  EXPECT_TRUE(line->text().endsWith(QChar(0x2026)) && longText.startsWith(line->text().chopped(1))) << line->text().toStdString();
  EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
  EXPECT_EQ(line->toolTip() + "|" + line->accessibleDescription(), longText + "|" + longText);
  w->SetStatusText("Welcome to Markwell!");  // one that fits: shown whole, the bar's own tooltip
  EXPECT_TRUE(line->text() == "Welcome to Markwell!" && line->toolTip().isEmpty());
}

}  // namespace
}  // namespace mw
