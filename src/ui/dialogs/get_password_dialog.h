#pragma once
// The password prompt "Password Needed": a question chosen by PromptMode, a masked one-line
// box, and OK and Cancel. OK answers the typed text whole, Cancel answers empty text, and
// closing the prompt by its window frame answers nothing. Neither button answers Enter or Esc.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mw {

class GetPasswordDialog : public QDialog {
  Q_OBJECT

 public:
  explicit GetPasswordDialog(QWidget* parent = nullptr);

  // Set by the caller before the prompt is shown: 1 asks for a password to save with, 2 for
  // the password of the file FileName being opened, 3 again after a wrong password.
  int16_t PromptMode = 1;
  QString FileName;

  // The question shown for a mode ("" for a mode other than 1, 2 or 3).
  static QString QuestionText(int promptMode, const QString& fileName);

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
