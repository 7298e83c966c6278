// The password prompt, alone and through QtPrompts::GetPassword.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/qt_prompts.h"

namespace mw {
namespace {

struct Parts {
  QLabel* question;
  QLineEdit* password;
  QPushButton* ok;
  QPushButton* cancel;
};

Parts Find(QDialog& d) {
  Parts p{d.findChild<QLabel*>("Question"), d.findChild<QLineEdit*>("Password"),
          d.findChild<QPushButton*>("OK"), d.findChild<QPushButton*>("Cancel")};
  EXPECT_TRUE(p.question && p.password && p.ok && p.cancel);
  return p;
}

// Runs `act` on the modal dialog once the event loop shows it.
void WhenModal(std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(*d);
  });
}

TEST(PasswordPrompt, QuestionFollowsTheModeAndShowsTheFileNameAsPlainText) {
  GetPasswordDialog d;
  EXPECT_EQ(d.windowTitle(), "Password Needed");
  const Parts p = Find(d);

  d.PromptMode = 2;
  d.FileName = "<b>grades</b>.mw";
  d.show();
  EXPECT_EQ(p.question->text(),
            "The file \"<b>grades</b>.mw\" requires a password. Please enter it here. (only "
            "first 6 chars will be considered)");
  EXPECT_EQ(p.question->textFormat(), Qt::PlainText);
  d.hide();

  d.PromptMode = 1;
  d.show();
  EXPECT_TRUE(p.question->text().startsWith("Please enter the password with which you'd like"));
  EXPECT_TRUE(p.question->text().endsWith("change the appropriate setting in the Options menu."));
  d.hide();
  d.PromptMode = 3;
  d.show();
  EXPECT_EQ(p.question->text(),
            "Sorry, that password was incorrect. Please enter the password again, or hit Cancel "
            "to abort loading.");
}

TEST(PasswordPrompt, AnswersTextOnOkEmptyOnCancelAndNothingOnClose) {
  GetPasswordDialog d;
  const Parts p = Find(d);

  d.show();
  QTest::keyClicks(p.password, "longer than six");
  EXPECT_EQ(p.password->displayText(), QString(15, '*'));
  p.ok->click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.Answer(), QString("longer than six"));

  // Each showing starts empty; Cancel gives empty text even after typing.
  d.show();
  EXPECT_EQ(p.password->text(), "");
  EXPECT_FALSE(d.Answer().has_value());
  QTest::keyClicks(p.password, "abc");
  p.cancel->click();
  ASSERT_TRUE(d.Answer().has_value());
  EXPECT_TRUE(d.Answer()->isEmpty());

  // Enter and Esc answer nothing; the frame's close button gives no answer at all.
  d.show();
  QTest::keyClicks(p.password, "abc");
  QTest::keyClick(p.password, Qt::Key_Return);
  QTest::keyClick(p.password, Qt::Key_Enter);
  QTest::keyClick(p.password, Qt::Key_Escape);
  EXPECT_TRUE(d.isVisible());
  p.ok->setFocus();
  QTest::keyClick(p.ok, Qt::Key_Return);
  QTest::keyClick(p.ok, Qt::Key_Escape);
  EXPECT_TRUE(d.isVisible());
  d.close();
  EXPECT_FALSE(d.isVisible());
  EXPECT_FALSE(d.Answer().has_value());
}

TEST(PasswordPrompt, FocusAndTabOrder) {
  GetPasswordDialog d;
  const Parts p = Find(d);
  d.show();
  QApplication::setActiveWindow(&d);
  EXPECT_TRUE(p.password->hasFocus());
  EXPECT_EQ(p.password->nextInFocusChain(), p.ok);
  EXPECT_EQ(p.ok->nextInFocusChain(), p.cancel);
  EXPECT_FALSE(p.ok->isDefault() || p.ok->autoDefault() || p.cancel->isDefault() ||
               p.cancel->autoDefault());
}

TEST(PasswordPrompt, NothingIsCutOffWhateverTheQuestion) {
  const QString longName(90, 'x');
  for (int mode : {1, 2, 3}) {
    GetPasswordDialog d;
    const Parts p = Find(d);
    d.PromptMode = int16_t(mode);
    d.FileName = mode == 2 ? longName + ".mw" : QString("a.mw");
    d.show();
    const QRect client = d.rect();
    for (QWidget* w : std::initializer_list<QWidget*>{p.question, p.password, p.ok, p.cancel})
      EXPECT_TRUE(client.contains(w->geometry())) << mode << " " << w->objectName().toStdString();
    EXPECT_GE(p.question->height(), p.question->heightForWidth(p.question->width())) << mode;
    if (mode == 2)
      EXPECT_GE(p.question->width(),
                p.question->fontMetrics().horizontalAdvance("\"" + longName + ".mw\""))
          << "the long file name fits on one line";
    EXPECT_GE(p.ok->width(), p.ok->sizeHint().width());
    EXPECT_GE(p.cancel->height(), p.cancel->sizeHint().height());
    EXPECT_FALSE(p.ok->geometry().intersects(p.cancel->geometry()));
    EXPECT_FALSE(p.question->geometry().intersects(p.password->geometry()));
    EXPECT_FALSE(p.question->geometry().intersects(p.ok->geometry()));
    EXPECT_EQ(d.minimumSize(), d.maximumSize()) << "fixed size";
  }
}

TEST(QtPromptsPassword, RunsThePromptModallyForEachMode) {
  QWidget parent;
  QtPrompts prompts(&parent);

  WhenModal([](QDialog& d) {
    const Parts p = Find(d);
    EXPECT_TRUE(p.question->text().contains("\"grades.mw\""));
    QTest::keyClicks(p.password, "s3cret!!");
    p.ok->click();
  });
  EXPECT_EQ(prompts.GetPassword(2, "grades.mw"), QString("s3cret!!"));

  WhenModal([](QDialog& d) { Find(d).cancel->click(); });
  EXPECT_EQ(prompts.GetPassword(3, "grades.mw"), QString());

  WhenModal([](QDialog& d) { d.close(); });
  EXPECT_EQ(prompts.GetPassword(1, ""), std::nullopt);
}


TEST(QtPromptsBoxes, MessageAndQuestionBoxesCarryTheirTitleIconAndButtons) {
  QWidget parent;
  QtPrompts prompts(&parent);

  WhenModal([](QDialog& d) {
    auto& box = dynamic_cast<QMessageBox&>(d);
    EXPECT_EQ(box.windowTitle(), "Error!");
    EXPECT_EQ(box.text(), "Could not <b>read</b>");
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    box.button(QMessageBox::Ok)->click();
  });
  prompts.Message("Could not <b>read</b>", "Error!", Prompts::Icon::Critical);

  WhenModal([](QDialog& d) {
    auto& box = dynamic_cast<QMessageBox&>(d);
    EXPECT_EQ(box.windowTitle(), "Markwell");
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    box.button(QMessageBox::Ok)->click();
  });
  prompts.Message("Done");

  for (bool yes : {true, false}) {
    WhenModal([yes](QDialog& d) {
      auto& box = dynamic_cast<QMessageBox&>(d);
      EXPECT_EQ(box.windowTitle(), "Quit");
      EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
      EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
      box.button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    EXPECT_EQ(prompts.AskYesNo("Sure?", "Quit"), yes);
  }
  // Esc on a Yes/No box is No.
  WhenModal([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
  EXPECT_FALSE(prompts.AskYesNo("Sure?", "Quit"));
}

TEST(QtPromptsBoxes, InputBoxAnswersTheTextOrEmptyOnCancel) {
  QWidget parent;
  QtPrompts prompts(&parent);
  WhenModal([](QDialog& d) {
    auto& box = dynamic_cast<QInputDialog&>(d);
    EXPECT_EQ(box.windowTitle(), "New Semester");
    EXPECT_EQ(box.labelText(), "Name?");
    EXPECT_EQ(box.textValue(), "Fall");
    box.setTextValue("Fall 2024");
    box.accept();
  });
  EXPECT_EQ(prompts.InputBox("Name?", "New Semester", "Fall"), "Fall 2024");
  WhenModal([](QDialog& d) { d.reject(); });
  EXPECT_EQ(prompts.InputBox("Name?", "New Semester", "Fall"), "");
}

TEST(QtPromptsFiles, FileDialogsAreSetUpAsAskedAndCancelGivesEmptyText) {
  QTemporaryDir dir;
  QWidget parent;
  QtPrompts prompts(&parent);
  Prompts::FileDialog ask{"Save Markwell File As", {"Markwell Files (*.mw)", "All Files (*)"},
                          "mw", dir.filePath("grades.mw"), true};

  WhenModal([&](QDialog& d) {
    auto& box = dynamic_cast<QFileDialog&>(d);
    EXPECT_EQ(box.windowTitle(), "Save Markwell File As");
    EXPECT_EQ(box.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(box.nameFilters(), ask.filters);
    EXPECT_EQ(box.selectedNameFilter(), "Markwell Files (*.mw)");
    EXPECT_EQ(box.defaultSuffix(), "mw");
    EXPECT_FALSE(box.testOption(QFileDialog::DontConfirmOverwrite));
    box.reject();
  });
  EXPECT_EQ(prompts.SaveFileName(ask), "");

  // A name typed without an extension gets the default one.
  ask.confirmOverwrite = false;
  WhenModal([&](QDialog& d) {
    auto& box = dynamic_cast<QFileDialog&>(d);
    EXPECT_TRUE(box.testOption(QFileDialog::DontConfirmOverwrite));
    box.selectFile(dir.filePath("report"));
    d.accept();  // QFileDialog checks the chosen name as the user's OK would
  });
  EXPECT_EQ(prompts.SaveFileName(ask), dir.filePath("report.mw"));

  QFile existing(dir.filePath("old.mw"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  ask.title = "Open Markwell File";
  ask.initialPath = dir.filePath("old.mw");
  WhenModal([&](QDialog& d) {
    auto& box = dynamic_cast<QFileDialog&>(d);
    EXPECT_EQ(box.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(box.fileMode(), QFileDialog::ExistingFile);
    d.accept();  // QFileDialog checks the chosen name as the user's OK would
  });
  EXPECT_EQ(prompts.OpenFileName(ask), dir.filePath("old.mw"));
}

}  // namespace
}  // namespace mw
