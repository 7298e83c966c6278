#include "ui/dialogs/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <string>

#include "app/text.h"
#include "model/method.h"
#include "model/numtext.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/widgets/input_guards.h"

namespace mw {

namespace {


// The credits box's text as it is stored: the plain number text of its leading number.
std::string NormalCredits(const QString& text) {
  return PlainNumber(LeadingNumber(text.toStdString()));
}

}  // namespace

OptionsDialog::OptionsDialog(const GradeBook& gb, SettingsStore& settings, Prompts& prompts,
                             QWidget* parent)
    : QDialog(parent), gb_(gb), settings_(settings), prompts_(prompts) {
  setObjectName(QStringLiteral("MWOptions"));
  setWindowTitle(QStringLiteral("Markwell Options"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setModal(true);
  // F1 opens the help, which stays usable while this dialog is open.
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
          [this] { ShowHelp(this, prompts_); });

  Label1 = new QLabel(QStringLiteral("Default grade for new classes: "), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  GradeListBox = new QComboBox(this);
  GradeListBox->setObjectName(QStringLiteral("GradeListBox"));
  GradeListBox->setEditable(false);
  GradeListBox->setAccessibleName(QStringLiteral("Default grade for new classes"));
  GuardWheel(GradeListBox);
  Label1->setBuddy(GradeListBox);

  Label2 = new QLabel(QStringLiteral("Default number of credits for new classes:"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  CreditBox = new QLineEdit(this);
  CreditBox->setObjectName(QStringLiteral("CreditBox"));
  CreditBox->setAccessibleName(QStringLiteral("Default number of credits for new classes"));
  Label2->setBuddy(CreditBox);

  Passprotect = new QCheckBox(QStringLiteral("Password-protect current file"), this);
  Passprotect->setObjectName(QStringLiteral("Passprotect"));
  Passprotect->setAccessibleName(Passprotect->text());

  FileNameCheck =
      new QCheckBox(QStringLiteral("Open this file automatically on Markwell startup:"), this);
  FileNameCheck->setObjectName(QStringLiteral("FileNameCheck"));
  FileNameCheck->setAccessibleName(FileNameCheck->text());

  FileNameBox = new QLineEdit(this);
  FileNameBox->setObjectName(QStringLiteral("FileNameBox"));
  FileNameBox->setAccessibleName(QStringLiteral("File to open on Markwell startup"));

  CurrFileButton = new QPushButton(QStringLiteral("Set to current file"), this);
  CurrFileButton->setObjectName(QStringLiteral("CurrFileButton"));
  CurrFileButton->setAutoDefault(false);

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setAutoDefault(false);
  cmdApply = new QPushButton(QStringLiteral("Apply"), this);
  cmdApply->setObjectName(QStringLiteral("cmdApply"));
  cmdApply->setAutoDefault(false);
  for (QPushButton* b : {CurrFileButton, cmdOK, cmdCancel, cmdApply})
    b->setAccessibleName(b->text());

  // Left: the preferences, top to bottom. Right: the three buttons in a column beside the
  // first rows.
  auto* fields = new QGridLayout;
  fields->addWidget(Label1, 0, 0);
  fields->addWidget(GradeListBox, 0, 1, Qt::AlignLeft);
  fields->addWidget(Label2, 1, 0);
  fields->addWidget(CreditBox, 1, 1);
  fields->addWidget(Passprotect, 2, 0, 1, 2);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdApply);
  buttons->addStretch(1);

  auto* top = new QHBoxLayout;
  top->addLayout(fields, 1);
  top->addSpacing(12);
  top->addLayout(buttons);

  auto* fileButtonRow = new QHBoxLayout;
  fileButtonRow->addWidget(CurrFileButton);
  fileButtonRow->addStretch(1);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(top);
  outer->addSpacing(6);
  outer->addWidget(FileNameCheck);
  outer->addWidget(FileNameBox);
  outer->addLayout(fileButtonRow);
  outer->setSizeConstraint(QLayout::SetFixedSize);  // not resizable

  // The letter grades in their order; the box is as wide as its widest letter needs.
  for (std::string_view letter : kLetterGrades)
    GradeListBox->addItem(QString::fromUtf8(letter.data(), qsizetype(letter.size())));
  GradeListBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  // Room for a number of ten digits and for a path of fifty.
  const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  CreditBox->setMinimumWidth(digit * 10);
  FileNameBox->setMinimumWidth(digit * 50);

  setTabOrder(cmdOK, cmdCancel);
  setTabOrder(cmdCancel, cmdApply);
  setTabOrder(cmdApply, GradeListBox);
  setTabOrder(GradeListBox, CreditBox);
  setTabOrder(CreditBox, FileNameCheck);
  setTabOrder(FileNameCheck, FileNameBox);
  setTabOrder(FileNameBox, CurrFileButton);
  setTabOrder(CurrFileButton, Passprotect);

  connect(cmdOK, &QPushButton::clicked, this, &OptionsDialog::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdApply, &QPushButton::clicked, this, &OptionsDialog::cmdApply_Click);
  connect(CurrFileButton, &QPushButton::clicked, this, &OptionsDialog::CurrFileButton_Click);
}

void OptionsDialog::setVisible(bool visible) {
  if (visible && !isVisible()) {
    Form_Load();
    CenterOnScreen();
  }
  QDialog::setVisible(visible);
  if (visible) cmdOK->setFocus(Qt::OtherFocusReason);
}

void OptionsDialog::CenterOnScreen() {
  adjustSize();
  QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize size = frameGeometry().size().expandedTo(this->size());
  move(area.left() + (area.width() - size.width()) / 2,
       area.top() + (area.height() - size.height()) / 2);
}

void OptionsDialog::Form_Load() {
  GradeListBox->setCurrentIndex(ReadDefGrade(settings_));
  CreditBox->setText(Q(settings_.ReadSetting("Options", "DefCredits", "1")));
  FileNameBox->setText(Q(ReadOpenFileName(settings_, gb_.FullFileName)));
  FileNameCheck->setChecked(ReadAutoOpenCheck(settings_) == 1);
  Passprotect->setChecked(gb_.IsPassProtected);
}

void OptionsDialog::Apply() {
  settings_.WriteSetting("Options", "DefGrade", std::to_string(GradeListBox->currentIndex()));
  CreditBox->setText(Q(NormalCredits(CreditBox->text())));
  settings_.WriteSetting("Options", "DefCredits", NormalCredits(CreditBox->text()));
  settings_.WriteSetting("Options", "OpenFileName", FileNameBox->text().toStdString());
  settings_.WriteSetting("Options", "AutoOpen", FileNameCheck->isChecked() ? "1" : "0");
  if (Passprotect->isChecked() != gb_.IsPassProtected && SetProtection)
    SetProtection(Passprotect->isChecked());
}

void OptionsDialog::cmdOK_Click() {
  Apply();
  accept();
}

void OptionsDialog::cmdApply_Click() { Apply(); }

void OptionsDialog::CurrFileButton_Click() {
  if (!gb_.FullFileName.empty()) {
    // Absolute, so that the file opens on start-up whatever the folder Markwell starts in.
    FileNameBox->setText(QFileInfo(Q(gb_.FullFileName)).absoluteFilePath());
  } else {
    prompts_.Message(QStringLiteral("Current file has not been saved yet!"),
                     QStringLiteral("No Current File"), Prompts::Icon::None);
  }
}

}  // namespace mw
