#include "ui/dialogs/get_password_dialog.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

#include "ui/widgets/control_table.h"

namespace mw {

namespace {

// Design sizes in twips (1/1440 inch).
struct TwipRect {
  int left, top, width, height;
};
constexpr int kClientWidth = 4950;
constexpr int kClientHeight = 1515;
constexpr TwipRect kQuestion{120, 120, 3495, 855};
constexpr TwipRect kPassword{120, 1080, 3615, 285};
constexpr TwipRect kOK{3960, 480, 855, 375};
constexpr TwipRect kCancel{3960, 960, 855, 375};

}  // namespace

GetPasswordDialog::GetPasswordDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("GetPassword"));
  setWindowTitle(QStringLiteral("Password Needed"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setModal(true);

  // Placed by Arrange, each time the prompt is shown.
  static const Control<GetPasswordDialog> kControls[] = {
      {&GetPasswordDialog::Question, "Question"},
      {&GetPasswordDialog::Password, "Password", {}, "", "", "Password"},
      {&GetPasswordDialog::OK, "OK", {}, "OK", "", "OK"},
      {&GetPasswordDialog::Cancel, "Cancel", {}, "Cancel", "", "Cancel"},
  };
  MakeControls(*this, this, kControls, NoAutoDefault{});
  Question->setTextFormat(Qt::PlainText);  // a file name is shown as it is, never as markup
  Question->setWordWrap(true);
  Question->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Question->setBuddy(Password);
  Password->setEchoMode(QLineEdit::Password);
  Password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

  ChainTabOrder({Password, OK, Cancel});

  connect(OK, &QPushButton::clicked, this, &GetPasswordDialog::OK_Click);
  connect(Cancel, &QPushButton::clicked, this, &GetPasswordDialog::Cancel_Click);
}

QString GetPasswordDialog::QuestionText(mw::PromptMode mode, const QString& fileName) {
  switch (mode) {
    case PromptMode::Save:
      return QStringLiteral(
          "Please enter the password with which you'd like to save this file. If you would "
          "not like your file to be password-protected, change the appropriate setting in the "
          "Options menu.");
    case PromptMode::Open:
      return QStringLiteral("The file \"") + fileName +
             QStringLiteral(
                 "\" requires a password. Please enter it here. (only first 6 chars will be "
                 "considered)");
    case PromptMode::Retry:
      return QStringLiteral(
          "Sorry, that password was incorrect. Please enter the password again, or hit Cancel "
          "to abort loading.");
    case PromptMode::Confirm:
      return QStringLiteral("Please type the password again to confirm it.");
  }
  return QString();
}

void GetPasswordDialog::setVisible(bool visible) {
  if (visible && !isVisible()) {
    // Each showing asks afresh: the question of the mode, an empty box with the focus.
    answer_.reset();
    Question->setText(QuestionText(PromptMode, FileName));
    Question->setAccessibleName(Question->text());
    Password->clear();
    Arrange();
  }
  QDialog::setVisible(visible);
  if (visible) Password->setFocus(Qt::OtherFocusReason);
}

void GetPasswordDialog::Arrange() {
  const double dpiX = logicalDpiX();
  const double dpiY = logicalDpiY();
  auto px = [](int twips, double dpi) { return int(twips * dpi / 1440.0 + 0.5); };
  auto rect = [&](const TwipRect& r) {
    return QRect(px(r.left, dpiX), px(r.top, dpiY), px(r.width, dpiX), px(r.height, dpiY));
  };

  QRect question = rect(kQuestion);
  QRect password = rect(kPassword);
  QRect ok = rect(kOK);
  QRect cancel = rect(kCancel);
  int clientWidth = px(kClientWidth, dpiX);
  int clientHeight = px(kClientHeight, dpiY);
  const int marginX = px(kQuestion.left, dpiX);

  // Buttons as large as their captions need.
  for (QRect* r : {&ok, &cancel}) {
    const QSize hint = OK->sizeHint().expandedTo(Cancel->sizeHint());
    r->setWidth(std::max(r->width(), hint.width()));
    r->setHeight(std::max(r->height(), hint.height()));
  }

  // A word wider than the question (a long file name) widens the question and moves the
  // buttons right, so that nothing of it is cut off; but the prompt stays within the screen
  // (with room for its frame), so a word wider than that is cut short in its middle, and the
  // tooltip gives it whole.
  const QFontMetrics fm(Question->font());
  const QString full = Question->accessibleName();
  const int besides = std::max(clientWidth, ok.right() + 1 + marginX) - question.width();
  const int room = (screen() ? screen()->availableGeometry().width() : 1024) - besides -
                   2 * marginX - 2;
  QString shown;
  int widest = 0, from = 0;
  for (auto words = QRegularExpression(QStringLiteral("\\S+")).globalMatch(full); words.hasNext();) {
    const QRegularExpressionMatch word = words.next();
    QString text = word.captured();
    if (fm.horizontalAdvance(text) > room) text = fm.elidedText(text, Qt::ElideMiddle, room);
    widest = std::max(widest, fm.horizontalAdvance(text));
    shown += full.mid(from, word.capturedStart() - from) + text;
    from = word.capturedEnd();
  }
  Question->setText(shown + full.mid(from));
  Question->setToolTip(Question->text() == full ? QString() : full);
  const int wider = std::max(0, widest + 2 - question.width());
  question.setWidth(question.width() + wider);
  password.setWidth(password.width() + wider);
  ok.translate(wider, 0);
  cancel.translate(wider, 0);
  const int buttonGap = px(kCancel.top - kOK.top - kOK.height, dpiY);
  cancel.moveTop(std::max(cancel.top(), ok.bottom() + 1 + buttonGap));

  // The question as high as its wrapped lines need; the box moves down by as much.
  const int questionHeight =
      std::max(question.height(), Question->heightForWidth(question.width()));
  const int lower = questionHeight - question.height();
  question.setHeight(questionHeight);
  password.translate(0, lower);
  const int taller = std::max(0, Password->sizeHint().height() - password.height());
  password.setHeight(password.height() + taller);

  clientWidth = std::max({clientWidth + wider, ok.right() + 1 + marginX,
                          password.right() + 1 + marginX});
  clientHeight = std::max({clientHeight + lower + taller, password.bottom() + 1 + marginX,
                           cancel.bottom() + 1 + marginX});

  Question->setGeometry(question);
  Password->setGeometry(password);
  OK->setGeometry(ok);
  Cancel->setGeometry(cancel);
  setFixedSize(clientWidth, clientHeight);
}

void GetPasswordDialog::keyPressEvent(QKeyEvent* event) {
  // Neither button is the default, so Enter in the text box and Esc mean nothing here; Enter
  // on a focused button presses it, as Space does.
  switch (event->key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
      [[fallthrough]];
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void GetPasswordDialog::OK_Click() {
  const QString text = Password->text();
  if (const auto why = PasswordRefusal(PromptMode, text.toStdString())) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Markwell"), QString::fromStdString(*why),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    Password->selectAll();
    Password->setFocus(Qt::OtherFocusReason);
    return;
  }
  answer_ = text;
  accept();
}

void GetPasswordDialog::Cancel_Click() {
  answer_ = QString();
  accept();
}

}  // namespace mw
