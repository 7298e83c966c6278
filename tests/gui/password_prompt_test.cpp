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

template <typename T>
T* Child(QWidget& d, const char* name) {
  T* w = d.findChild<T*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

// Runs `act` on the modal dialog once the event loop shows it.
template <typename D>
void WhenModal(std::function<void(D&)> act) {
  QTimer::singleShot(0, [act] { act(*dynamic_cast<D*>(QApplication::activeModalWidget())); });
}

TEST(PasswordPrompt, AnswersTextOnOkEmptyOnCancelNothingOnCloseAndIgnoresEnterAndEsc) {
  GetPasswordDialog d;
  auto* box = Child<QLineEdit>(d, "Password");
  auto* ok = Child<QPushButton>(d, "OK");
  d.show();
  QApplication::setActiveWindow(&d);
  EXPECT_TRUE(box->hasFocus());
  EXPECT_EQ(box->nextInFocusChain(), ok);
  EXPECT_EQ(ok->nextInFocusChain(), Child<QPushButton>(d, "Cancel"));
  QTest::keyClicks(box, "longer than six");
  EXPECT_EQ(box->displayText(), QString(15, '*'));
  for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QTest::keyClick(box, key);
    QTest::keyClick(ok, key);
  }
  ASSERT_TRUE(d.isVisible());
  ok->click();
  EXPECT_EQ(d.Answer(), QString("longer than six"));

  d.show();  // each showing starts empty
  EXPECT_EQ(box->text(), "");
  QTest::keyClicks(box, "abc");
  Child<QPushButton>(d, "Cancel")->click();
  EXPECT_EQ(d.Answer(), QString(""));

  d.show();
  QTest::keyClicks(box, "abc");
  d.close();
  EXPECT_EQ(d.Answer(), std::nullopt);
}

TEST(PasswordPrompt, QuestionByModeIsShownWholeAndAsPlainText) {
  const QString longName = QString(90, 'x') + "<b>.mw";
  for (int mode : {1, 2, 3}) {
    QWidget parent;
    QtPrompts prompts(&parent);
    WhenModal<QDialog>([&](QDialog& d) {
      EXPECT_EQ(d.windowTitle(), "Password Needed");
      auto* question = Child<QLabel>(d, "Question");
      EXPECT_EQ(question->text(), GetPasswordDialog::QuestionText(mode, longName));
      EXPECT_EQ(question->textFormat(), Qt::PlainText);
      EXPECT_GE(question->height(), question->heightForWidth(question->width())) << mode;
      if (mode == 2) {  // a name without blanks cannot wrap: the question widens for it
        EXPECT_GE(question->width(), question->fontMetrics().horizontalAdvance(longName));
      } else if (d.logicalDpiX() == 96) {  // design twips, 15 to the pixel
        EXPECT_EQ(Child<QPushButton>(d, "OK")->geometry().topLeft(), QPoint(264, 32));
      }
      std::vector<QRect> used;
      for (QWidget* w : d.findChildren<QWidget*>()) {
        const std::string name = w->objectName().toStdString();
        EXPECT_TRUE(d.rect().contains(w->geometry())) << name;
        for (const QRect& r : used) EXPECT_FALSE(r.intersects(w->geometry())) << name;
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << name;
        used.push_back(w->geometry());
      }
      Child<QPushButton>(d, "OK")->click();
    });
    EXPECT_EQ(prompts.GetPassword(mode, longName), QString(""));
  }
  EXPECT_EQ(GetPasswordDialog::QuestionText(2, "g.mw"),
            "The file \"g.mw\" requires a password. Please enter it here. (only first 6 chars "
            "will be considered)");
}

TEST(QtPrompts, BoxesAndFileDialogsAreSetUpAsAskedAndAnswer) {
  QWidget parent;
  QtPrompts prompts(&parent);
  for (auto icon : {Prompts::Icon::Critical, Prompts::Icon::None}) {
    WhenModal<QMessageBox>([icon](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle(), "Error!");
      EXPECT_EQ(box.icon(),
                icon == Prompts::Icon::None ? QMessageBox::NoIcon : QMessageBox::Critical);
      EXPECT_EQ(box.textFormat(), Qt::PlainText);
      box.button(QMessageBox::Ok)->click();
    });
    prompts.Message("Could not <b>read</b>", "Error!", icon);
  }
  for (bool yes : {true, false}) {
    WhenModal<QMessageBox>([yes](QMessageBox& box) {
      EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
      box.button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    EXPECT_EQ(prompts.AskYesNo("Sure?", "Quit"), yes);
  }
  WhenModal<QInputDialog>([](QInputDialog& box) { box.reject(); });
  EXPECT_EQ(prompts.InputBox("Name?", "New Semester", "Fall"), "");

  QTemporaryDir dir;
  Prompts::FileDialog ask{"Save As", {"Markwell Files (*.mw)", "All Files (*)"}, "mw",
                          dir.filePath("grades.mw"), false};
  WhenModal<QFileDialog>([&](QFileDialog& box) {
    EXPECT_EQ(box.windowTitle(), "Save As");
    EXPECT_EQ(box.nameFilters(), ask.filters);
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
