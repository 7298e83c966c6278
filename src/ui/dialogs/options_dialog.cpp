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
#include <algorithm>
#include <string>

#include "qtext/text.h"
#include "model/method.h"
#include "model/numtext.h"
#include "model/scales.h"
#include "settings/new_book_method.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/widgets/box_layout.h"
#include "ui/widgets/control_table.h"
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

  static const Control<OptionsDialog> kControls[] = {
      {&OptionsDialog::Label1, "Label1", {}, "Default grade for new classes: "},
      {&OptionsDialog::GradeListBox, "GradeListBox", {}, "", "", "Default grade for new classes"},
      {&OptionsDialog::Label2, "Label2", {}, "Default number of credits for new classes:"},
      {&OptionsDialog::CreditBox, "CreditBox", {}, "", "",
       "Default number of credits for new classes"},
      {&OptionsDialog::NewBookLabel, "NewBookLabel", {}, "&Grading method for new grade books:"},
      {&OptionsDialog::NewBookMethodBox, "NewBookMethodBox", {}, "", "",
       "Grading method for new grade books"},
      {&OptionsDialog::Passprotect, "Passprotect", {}, "Password-protect current file", "",
       "Password-protect current file"},
      {&OptionsDialog::FileNameCheck, "FileNameCheck", {},
       "Open this file automatically on Markwell startup:", "",
       "Open this file automatically on Markwell startup:"},
      {&OptionsDialog::FileNameBox, "FileNameBox", {}, "", "", "File to open on Markwell startup"},
      {&OptionsDialog::CurrFileButton, "CurrFileButton", {}, "Set to current file", "",
       "Set to current file"},
      {&OptionsDialog::cmdOK, "cmdOK", {}, "OK", "", "OK"},
      {&OptionsDialog::cmdCancel, "cmdCancel", {}, "Cancel", "", "Cancel"},
      {&OptionsDialog::cmdApply, "cmdApply", {}, "Apply", "", "Apply"},
  };
  MakeControls(*this, this, kControls);
  GradeListBox->setEditable(false);
  GuardWheel(GradeListBox);
  Label1->setBuddy(GradeListBox);
  Label2->setBuddy(CreditBox);
  NewBookLabel->setBuddy(NewBookMethodBox);
  NewBookMethodBox->addItem(Q(BuiltInMethods().front().Name), QString());
  for (const GradingScale& scale : GradingScales()) {
    const QString name = QString::fromUtf8(scale.Name.data(), qsizetype(scale.Name.size()));
    NewBookMethodBox->addItem(name, name);
    NewBookMethodBox->setItemData(NewBookMethodBox->count() - 1,
                                  QString::fromUtf8(scale.Source.data(), qsizetype(scale.Source.size())),
                                  Qt::ToolTipRole);
  }
  NewBookMethodBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);

  for (QPushButton* b : {CurrFileButton, cmdCancel, cmdApply}) b->setAutoDefault(false);
  cmdOK->setDefault(true);

  // Left: the preferences, top to bottom. Right: the three buttons in a column beside the
  // first rows.
  auto* fields = new QGridLayout;
  fields->addWidget(Label1, 0, 0);
  fields->addWidget(GradeListBox, 0, 1, Qt::AlignLeft);
  fields->addWidget(Label2, 1, 0);
  fields->addWidget(CreditBox, 1, 1);
  fields->addWidget(NewBookLabel, 2, 0);
  fields->addWidget(NewBookMethodBox, 2, 1, Qt::AlignLeft);
  fields->addWidget(Passprotect, 3, 0, 1, 2);

  QLayout* buttons = Column({cmdOK, cmdCancel, cmdApply, Stretch{}});
  Column({Row({Stretched{fields, 1}, Space{12}, buttons}), Space{6}, FileNameCheck, FileNameBox,
          Row({CurrFileButton, Stretch{}})},
         this)
      ->setSizeConstraint(QLayout::SetFixedSize);  // not resizable

  // The letter grades in their order; the box is as wide as its widest letter needs.
  for (std::string_view letter : kLetterGrades)
    GradeListBox->addItem(Q(letter));
  GradeListBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  // Room for a number of ten digits and for a path of fifty.
  const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  CreditBox->setMinimumWidth(digit * 10);
  FileNameBox->setMinimumWidth(digit * 50);

  ChainTabOrder({cmdOK, cmdCancel, cmdApply, GradeListBox, CreditBox, NewBookMethodBox,
                 FileNameCheck, FileNameBox, CurrFileButton, Passprotect});

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
  NewBookMethodBox->setCurrentIndex(
      std::max(0, NewBookMethodBox->findData(Q(ReadNewBookScale(settings_)))));
}

void OptionsDialog::Apply() {
  settings_.WriteSetting("Options", "DefGrade", std::to_string(GradeListBox->currentIndex()));
  CreditBox->setText(Q(NormalCredits(CreditBox->text())));
  settings_.WriteSetting("Options", "DefCredits", NormalCredits(CreditBox->text()));
  settings_.WriteSetting("Options", "OpenFileName", FileNameBox->text().toStdString());
  settings_.WriteSetting("Options", "AutoOpen", FileNameCheck->isChecked() ? "1" : "0");
  settings_.WriteSetting("Options", kNewBookMethodKey,
                         NewBookMethodBox->currentData().toString().toStdString());
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
