// The password prompt, and the Qt prompts that show it and the other questions.
#include "gui_test.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/qt_prompts.h"

namespace mw {
namespace {

// Runs `act` on the modal dialog once the event loop shows it.
template <typename D>
void WhenModal(std::function<void(D&)> act) {
  QTimer::singleShot(0, [act] { act(*dynamic_cast<D*>(QApplication::activeModalWidget())); });
}

TEST(PasswordPrompt, AnswersTextOnOkEmptyOnCancelNothingOnCloseAndEnterActsOnlyOnAButton) {
  GetPasswordDialog d;
  d.PromptMode = PromptMode::Open;
  auto* box = d.findChild<QLineEdit*>("Password");
  // No button: the frame's close box. byEnter: Enter on the focused button instead of a click.
  const auto answerAfter = [&](const char* button, bool byEnter = false) {
    d.show();
    QApplication::setActiveWindow(&d);
    EXPECT_TRUE(box->hasFocus() && box->text().isEmpty()) << "each showing starts empty";
    QTest::keyClicks(box, "longer than six");
    for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(box, key);
    EXPECT_TRUE(d.isVisible() && box->displayText() == QString(15, '*'));
    auto* pressed = button ? d.findChild<QPushButton*>(button) : nullptr;
    if (pressed && byEnter) {
      pressed->setFocus(Qt::TabFocusReason);
      QTest::keyClick(pressed, Qt::Key_Return);
    } else {
      pressed ? pressed->click() : void(d.close());
    }
    return d.Answer();
  };
  EXPECT_EQ(answerAfter("OK"), QString("longer than six"));
  EXPECT_EQ(answerAfter("Cancel"), QString(""));
  EXPECT_EQ(answerAfter("OK", true), QString("longer than six"));
  EXPECT_EQ(answerAfter("Cancel", true), QString(""));
  EXPECT_EQ(answerAfter(nullptr), std::nullopt);
}

// What is refused is the file layer's rule; here the prompt says why and stays open.
TEST(PasswordPrompt, RefusesWhatAFileCannotUseAndStaysOpen) {
  GetPasswordDialog d;
  d.PromptMode = PromptMode::Save;
  d.show();
  auto* box = d.findChild<QLineEdit*>("Password");
  box->insert("abcdefg");
  QString shown;
  WhenModal<QMessageBox>([&shown](QMessageBox& box) {
    shown = box.text();
    box.button(QMessageBox::Ok)->click();
  });
  d.findChild<QPushButton*>("OK")->click();
  EXPECT_TRUE(shown.contains("at most 6 characters") && d.isVisible() && !d.Answer()) << shown.toStdString();
  EXPECT_EQ(box->selectedText(), "abcdefg");
  QTest::keyClicks(box, "pw");  // typed over the selection
  d.findChild<QPushButton*>("OK")->click();
  EXPECT_EQ(d.Answer(), QString("pw"));
}

TEST(QtPrompts, BoxesAndFileDialogsAreSetUpAsAskedAndAnswer) {
  QtPrompts prompts(nullptr);
  WhenModal<QMessageBox>([](QMessageBox& box) {
    EXPECT_TRUE(box.icon() == QMessageBox::Critical && box.textFormat() == Qt::PlainText);
    box.button(QMessageBox::Ok)->click();
  });
  prompts.Message("Could not <b>read</b>", "Error!", Prompts::Icon::Critical);
  for (bool defaultYes : {true, false}) {  // Enter answers with the default button
    WhenModal<QMessageBox>([](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); });
    EXPECT_EQ(prompts.AskYesNo("Sure?", "Quit", defaultYes), defaultYes);
  }
  // A long name without blanks cannot wrap: the question widens to show it whole, as plain text.
  const QString name = QString(60, 'x') + "<b>.mw";
  WhenModal<GetPasswordDialog>([&](GetPasswordDialog& d) {
    auto* question = d.findChild<QLabel*>("Question");
    EXPECT_EQ(question->text(), "The file \"" + name + "\" requires a password. Please enter it "
                                "here. (only first 6 chars will be considered)");
    EXPECT_TRUE(question->textFormat() == Qt::PlainText &&
                question->width() >= question->fontMetrics().horizontalAdvance(name));
    QTest::keyClicks(d.findChild<QLineEdit*>("Password"), "pw");
    d.findChild<QPushButton*>("OK")->click();
  });
  EXPECT_EQ(prompts.GetPassword(PromptMode::Open, name), QString("pw"));
  WhenModal<QInputDialog>([](QInputDialog& box) { box.reject(); });
  EXPECT_EQ(prompts.InputBox("Name?", "New Semester", "Fall"), "");

  const Prompts::FileDialog ask{"Save As", {"Markwell Files (*.mw)"}, "mw", {}, false};
  WhenModal<QFileDialog>([&](QFileDialog& box) {
    box.selectFile(QDir::tempPath() + "/report");
    static_cast<QDialog&>(box).accept();
  });
  EXPECT_EQ(prompts.SaveFileName(ask), QDir::tempPath() + "/report.mw") << "default suffix added";
  WhenModal<QFileDialog>([&](QFileDialog& box) { box.reject(); });
  EXPECT_EQ(prompts.OpenFileName(ask), "");
}

}  // namespace
}  // namespace mw
