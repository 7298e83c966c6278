// The password prompt, and the Qt prompts that show it and the other questions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/qt_prompts.h"

namespace mw {
namespace {

// Runs `act` on the modal dialog once the event loop shows it.
template <typename D>
void WhenModal(std::function<void(D&)> act) {
  QTimer::singleShot(0, [act] { act(*dynamic_cast<D*>(QApplication::activeModalWidget())); });
}

TEST(PasswordPrompt, AnswersTextOnOkEmptyOnCancelNothingOnCloseAndIgnoresEnterAndEsc) {
  GetPasswordDialog d;
  auto* box = d.findChild<QLineEdit*>("Password");
  auto* ok = d.findChild<QPushButton*>("OK");
  auto* cancel = d.findChild<QPushButton*>("Cancel");
  ASSERT_TRUE(box && ok && cancel);
  const auto answerAfter = [&](const std::function<void()>& act) {
    d.show();
    QApplication::setActiveWindow(&d);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->text(), "") << "each showing starts empty";
    QTest::keyClicks(box, "longer than six");
    EXPECT_EQ(box->displayText(), QString(15, '*'));
    for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(box, key);
      QTest::keyClick(ok, key);
    }
    EXPECT_TRUE(d.isVisible());
    act();
    return d.Answer();
  };
  EXPECT_EQ(answerAfter([&] { ok->click(); }), QString("longer than six"));
  EXPECT_EQ(answerAfter([&] { cancel->click(); }), QString(""));
  EXPECT_EQ(answerAfter([&] { d.close(); }), std::nullopt);
}

TEST(PasswordPrompt, QuestionByModeIsShownWholeAndAsPlainText) {
  GetPasswordDialog d;
  d.FileName = QString(90, 'x') + "<b>.mw";
  auto* question = d.findChild<QLabel*>("Question");
  for (int mode : {1, 2, 3}) {
    d.PromptMode = int16_t(mode);
    d.show();
    EXPECT_EQ(question->textFormat(), Qt::PlainText);
    EXPECT_GE(question->height(), question->heightForWidth(question->width())) << mode;
    if (mode == 2) {  // a name without blanks cannot wrap: the question widens for it
      EXPECT_GE(question->width(), question->fontMetrics().horizontalAdvance(d.FileName));
    }
    // The buttons stand right of the question, the box below it.
    EXPECT_LT(question->geometry().right(), d.findChild<QPushButton*>("OK")->x()) << mode;
    EXPECT_LT(question->geometry().bottom(), d.findChild<QLineEdit*>("Password")->y()) << mode;
    d.close();
  }
}

TEST(QtPrompts, BoxesAndFileDialogsAreSetUpAsAskedAndAnswer) {
  QWidget parent;
  QtPrompts prompts(&parent);
  WhenModal<QMessageBox>([](QMessageBox& box) {
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    box.button(QMessageBox::Ok)->click();
  });
  prompts.Message("Could not <b>read</b>", "Error!", Prompts::Icon::Critical);
  for (bool yes : {true, false}) {
    WhenModal<QMessageBox>([yes](QMessageBox& box) {
      EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
      box.button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    EXPECT_EQ(prompts.AskYesNo("Sure?", "Quit"), yes);
  }
  WhenModal<GetPasswordDialog>([](GetPasswordDialog& d) {
    EXPECT_EQ(d.findChild<QLabel*>("Question")->text(),
              "The file \"g.mw\" requires a password. Please enter it here. (only first 6 "
              "chars will be considered)");
    QTest::keyClicks(d.findChild<QLineEdit*>("Password"), "pw");
    d.findChild<QPushButton*>("OK")->click();
  });
  EXPECT_EQ(prompts.GetPassword(2, "g.mw"), QString("pw"));
  WhenModal<QInputDialog>([](QInputDialog& box) { box.reject(); });
  EXPECT_EQ(prompts.InputBox("Name?", "New Semester", "Fall"), "");

  QTemporaryDir dir;
  Prompts::FileDialog ask{"Save As", {"Markwell Files (*.mw)", "All Files (*)"}, "mw",
                          dir.filePath("grades.mw"), false};
  WhenModal<QFileDialog>([&](QFileDialog& box) {
    EXPECT_TRUE(box.testOption(QFileDialog::DontConfirmOverwrite));
    box.selectFile(dir.filePath("report"));
    static_cast<QDialog&>(box).accept();
  });
  EXPECT_EQ(prompts.SaveFileName(ask), dir.filePath("report.mw")) << "default suffix added";
  WhenModal<QFileDialog>([&](QFileDialog& box) { box.reject(); });
  EXPECT_EQ(prompts.OpenFileName(ask), "");
}

}  // namespace
}  // namespace mw
