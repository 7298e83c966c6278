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
#include "ui/widgets/box_layout.h"
#include "ui/widgets/control_table.h"

namespace mw {

namespace {

const QString kAppTitle = QStringLiteral("Markwell");
const QString kIconPath = QStringLiteral(":/markwell/icon.svg");
const QString kAuthorLine = QStringLiteral("Copyright (C) 2026 The Markwell Developers");
const QString kWebSite = QStringLiteral("https://markwell.example.org/");
constexpr int kIconSize = 32;

// The field shows the text borderless and read-only in the window's colour: its text can be
// selected and copied with the mouse, and the Tab key passes it by.
void ShowCopyableText(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setReadOnly(true);
  field->setFrame(false);
  field->setFocusPolicy(Qt::ClickFocus);
  QPalette pal = field->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  field->setPalette(pal);
  field->setMinimumWidth(field->fontMetrics().horizontalAdvance(text) + 12);
  field->setCursorPosition(0);
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

  static const Control<AboutDialog> kControls[] = {
      {&AboutDialog::picIcon, "picIcon"},
      {&AboutDialog::lblTitle, "lblTitle"},
      {&AboutDialog::lblVersion, "lblVersion"},
      {&AboutDialog::lblDescription, "lblDescription", {}, "Your Personal Grade Manager"},
      {&AboutDialog::Text1, "Text1", {}, "", "", "Author"},
      {&AboutDialog::Line1, "Line1"},
      {&AboutDialog::Label1, "Label1", {}, "Visit the Markwell website at "},
      {&AboutDialog::Text2, "Text2", {}, "", "", "Markwell website"},
      {&AboutDialog::cmdOK, "cmdOK", {}, "OK"},
      {&AboutDialog::cmdSysInfo, "cmdSysInfo", {}, "&System Info..."},
  };
  MakeControls(*this, this, kControls);
  picIcon->setFixedSize(kIconSize, kIconSize);
  picIcon->setPixmap(IconPixmap(devicePixelRatioF()));
  lblTitle->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
  lblTitle->setText(kAppTitle);
  lblVersion->setText(VersionText());
  ShowCopyableText(Text1, kAuthorLine);
  ShowCopyableText(Text2, kWebSite);
  Line1->setFrameShape(QFrame::HLine);
  Line1->setFrameShadow(QFrame::Sunken);
  cmdOK->setDefault(true);  // Enter; Esc closes the dialog as cancel
  const int buttonWidth = std::max(cmdOK->sizeHint().width(), cmdSysInfo->sizeHint().width());
  cmdOK->setFixedWidth(buttonWidth);
  cmdSysInfo->setFixedWidth(buttonWidth);

  QBoxLayout* texts = Column({lblTitle, lblVersion, Space{6}, lblDescription, Text1});
  texts->setSpacing(2);
  QBoxLayout* site = Column({Label1, Text2, Stretch{}});
  site->setSpacing(2);
  QLayout* head = Row({Stretched{picIcon, 0, Qt::AlignTop}, Space{10}, Stretched{texts, 1}});
  QLayout* foot = Row({Stretched{site, 1}, Space{16}, Column({cmdOK, cmdSysInfo})});
  Column({head, Line1, foot}, this)->setSizeConstraint(QLayout::SetFixedSize);

  ChainTabOrder({cmdOK, cmdSysInfo});

  connect(cmdOK, &QPushButton::clicked, this, &AboutDialog::cmdOK_Click);
  connect(cmdSysInfo, &QPushButton::clicked, this, &AboutDialog::cmdSysInfo_Click);
  cmdOK->setFocus();
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
