#pragma once
// The password prompt "Password Needed": a question chosen by PromptMode, a masked one-line
// box, and OK and Cancel. OK answers the typed text whole, Cancel answers empty text, and
// closing the prompt by its window frame answers nothing. Neither button answers Enter or Esc.
// OK refuses a password that a grade book file cannot use (PasswordRefusal) with a message box
// saying why, and the prompt stays open for another.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "storage/password.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace mw {

class GetPasswordDialog : public QDialog {
  Q_OBJECT

 public:
  explicit GetPasswordDialog(QWidget* parent = nullptr);

  // Set by the caller before the prompt is shown: a password to save with, the password of the
  // file FileName being opened, or that again after a wrong password.
  mw::PromptMode PromptMode = mw::PromptMode::Save;
  QString FileName;

  // The question shown for a mode.
  static QString QuestionText(mw::PromptMode mode, const QString& fileName);

  // The answer of the last showing: the text on OK, empty text on Cancel, nothing when the
  // prompt was closed any other way.
  std::optional<QString> Answer() const { return answer_; }

  void setVisible(bool visible) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OK_Click();
  void Cancel_Click();
  // Places the controls at their design positions, scaled to the screen's logical dots per
  // inch, making room where the font needs more than the design gives.
  void Arrange();

  QLabel* Question;
  QLineEdit* Password;
  QPushButton* OK;
  QPushButton* Cancel;
  std::optional<QString> answer_;
};

}  // namespace mw
