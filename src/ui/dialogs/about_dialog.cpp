#include "ui/dialogs/about_dialog.h"

#include <QFile>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include <algorithm>

#include "app/prompts.h"

namespace mw {

namespace {

const QString kAppTitle = QStringLiteral("Markwell");
const QString kIconPath = QStringLiteral(":/markwell/icon.svg");
const QString kAuthorLine = QStringLiteral("Copyright (C) 2026 The Markwell Developers");
const QString kWebSite = QStringLiteral("https://markwell.example.org/");
constexpr int kIconSize = 32;

// A borderless, read-only text field in the window's colour: its text can be selected and
// copied with the mouse, and the Tab key passes it by.
QLineEdit* MakeCopyableText(const QString& text, const QString& name, QWidget* parent) {
  auto* field = new QLineEdit(text, parent);
  field->setObjectName(name);
  field->setReadOnly(true);
  field->setFrame(false);
  field->setFocusPolicy(Qt::ClickFocus);
  QPalette pal = field->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  field->setPalette(pal);
  field->setMinimumWidth(field->fontMetrics().horizontalAdvance(text) + 12);
  field->setCursorPosition(0);
  return field;
}

// The program's icon at 32 by 32 pixels; a null pixmap when the picture is not built in.
QPixmap IconPixmap(qreal dpr) {
  if (!QFile::exists(kIconPath)) return {};
  QSvgRenderer svg(kIconPath);
  if (!svg.isValid()) return {};
  QPixmap pix(QSize(kIconSize, kIconSize) * dpr);
  pix.fill(Qt::transparent);
  QPainter painter(&pix);
  svg.render(&painter);
  painter.end();
  pix.setDevicePixelRatio(dpr);
  return pix;
}

}  // namespace

SysInfoLauncher SysInfoLauncher::System() {
  SysInfoLauncher l;
#if defined(Q_OS_WIN)
  l.candidates = {QStringLiteral("msinfo32")};
#else
  l.candidates = {QStringLiteral("hardinfo2"),         QStringLiteral("hardinfo"),
                  QStringLiteral("kinfocenter"),       QStringLiteral("gnome-system-monitor"),
                  QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager"),
                  QStringLiteral("lxtask")};
#endif
  l.findExecutable = [](const QString& name) { return QStandardPaths::findExecutable(name); };
  l.startDetached = [](const QString& path) { return QProcess::startDetached(path, {}); };
  return l;
}

QString VersionText() {
  return QStringLiteral("Version %1.%2.%3")
      .arg(MARKWELL_VERSION_MAJOR)
      .arg(MARKWELL_VERSION_MINOR)
      .arg(MARKWELL_VERSION_PATCH);
}

AboutDialog::AboutDialog(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), launcher_(SysInfoLauncher::System()) {
  setObjectName(QStringLiteral("AboutMe"));
  setWindowTitle(QStringLiteral("About ") + kAppTitle);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setModal(true);

  picIcon_ = new QLabel(this);
  picIcon_->setObjectName(QStringLiteral("picIcon"));
  picIcon_->setFixedSize(kIconSize, kIconSize);
  picIcon_->setPixmap(IconPixmap(devicePixelRatioF()));

  lblTitle_ = new QLabel(this);
  lblTitle_->setObjectName(QStringLiteral("lblTitle"));
  lblTitle_->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
  lblTitle_->setText(kAppTitle);

  lblVersion_ = new QLabel(VersionText(), this);
  lblVersion_->setObjectName(QStringLiteral("lblVersion"));
  lblDescription_ = new QLabel(QStringLiteral("Your Personal Grade Manager"), this);
  lblDescription_->setObjectName(QStringLiteral("lblDescription"));
  Text1_ = MakeCopyableText(kAuthorLine, QStringLiteral("Text1"), this);
  Text1_->setAccessibleName(QStringLiteral("Author"));

  Line1_ = new QFrame(this);
  Line1_->setObjectName(QStringLiteral("Line1"));
  Line1_->setFrameShape(QFrame::HLine);
  Line1_->setFrameShadow(QFrame::Sunken);

  Label1_ = new QLabel(QStringLiteral("Visit the Markwell website at "), this);
  Label1_->setObjectName(QStringLiteral("Label1"));
  Text2_ = MakeCopyableText(kWebSite, QStringLiteral("Text2"), this);
  Text2_->setAccessibleName(QStringLiteral("Markwell website"));

  cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);  // Enter; Esc closes the dialog as cancel
  cmdSysInfo_ = new QPushButton(QStringLiteral("&System Info..."), this);
  cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
  const int buttonWidth = std::max(cmdOK_->sizeHint().width(), cmdSysInfo_->sizeHint().width());
  cmdOK_->setFixedWidth(buttonWidth);
  cmdSysInfo_->setFixedWidth(buttonWidth);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  texts->addWidget(lblTitle_);
  texts->addWidget(lblVersion_);
  texts->addSpacing(6);
  texts->addWidget(lblDescription_);
  texts->addWidget(Text1_);

  auto* head = new QHBoxLayout;
  head->addWidget(picIcon_, 0, Qt::AlignTop);
  head->addSpacing(10);
  head->addLayout(texts, 1);

  auto* site = new QVBoxLayout;
  site->setSpacing(2);
  site->addWidget(Label1_);
  site->addWidget(Text2_);
  site->addStretch(1);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdOK_);
  buttons->addWidget(cmdSysInfo_);

  auto* foot = new QHBoxLayout;
  foot->addLayout(site, 1);
  foot->addSpacing(16);
  foot->addLayout(buttons);

  auto* top = new QVBoxLayout(this);
  top->addLayout(head);
  top->addWidget(Line1_);
  top->addLayout(foot);
  top->setSizeConstraint(QLayout::SetFixedSize);

  setTabOrder(cmdOK_, cmdSysInfo_);

  connect(cmdOK_, &QPushButton::clicked, this, &AboutDialog::cmdOK_Click);
  connect(cmdSysInfo_, &QPushButton::clicked, this, &AboutDialog::cmdSysInfo_Click);
  cmdOK_->setFocus();
}

void AboutDialog::cmdOK_Click() { accept(); }

void AboutDialog::StartSysInfo() {
  for (const QString& name : launcher_.candidates) {
    const QString path = launcher_.findExecutable ? launcher_.findExecutable(name) : QString();
    if (path.isEmpty()) continue;
    if (launcher_.startDetached && launcher_.startDetached(path)) return;
    break;  // the tool found did not start
  }
  prompts_.Message(QStringLiteral("System Information Is Unavailable At This Time"), kAppTitle,
                   Prompts::Icon::None);
}

}  // namespace mw
