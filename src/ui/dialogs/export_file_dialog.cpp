#include "ui/dialogs/export_file_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/text.h"
#include "app/prompts.h"
#include "report/report_date.h"
#include "report/report_file.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/report_printer.h"

namespace mw {

namespace {


}  // namespace

ExportFileDialog::ExportFileDialog(const GradeBook& gb, Prompts& prompts,
                                   std::function<void(const QString&)> setMainStatus,
                                   QWidget* parent)
    : QDialog(parent), gb_(gb), prompts_(prompts), setMainStatus_(std::move(setMainStatus)) {
  setObjectName(QStringLiteral("ExportFile"));
  setWindowTitle(QStringLiteral("Print/Export Grades"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setModal(true);
  // F1 opens the help, which stays usable while this dialog is open.
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
          [this] { ShowHelp(this, prompts_); });
  DateText = [] { return QString::fromStdString(ReportDateTextNow()); };

  auto label = [this](const char* name, const char* text) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setObjectName(QString::fromUtf8(name));
    return l;
  };
  auto button = [this](const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
  };

  Label1_ = label("Label1", "Select the semesters that you'd like to export:");
  SemesterList_ = new QListWidget(this);
  SemesterList_->setObjectName(QStringLiteral("SemesterList"));
  SemesterList_->setSelectionMode(QAbstractItemView::SingleSelection);
  Label2_ = label("Label2", "Select: ");
  SemAll_ = button("SemAll", "All");
  SemNone_ = button("SemNone", "None");

  Label3_ = label("Label3", "Select the groups that you'd like to export:");
  GroupList_ = new QListWidget(this);
  GroupList_->setObjectName(QStringLiteral("GroupList"));
  GroupList_->setSelectionMode(QAbstractItemView::MultiSelection);  // each click toggles
  Label4_ = label("Label4", "Select: ");
  GroupAll_ = button("GroupAll", "All");
  GroupNone_ = button("GroupNone", "None");

  Label5_ = label("Label5", "Classes Selected: ");
  NumGroupMask_ = label("NumGroupMask", "0");
  Label9_ = label("Label9", "GPA:");
  OverallGPABox_ = label("OverallGPABox", "0.0");

  Label10_ = label("Label10", "Grading Method:");
  MethodList_ = new QComboBox(this);
  MethodList_->setObjectName(QStringLiteral("MethodList"));
  MethodList_->setEditable(false);
  // However long the method names, the selector stays the width of a list: a long name is
  // cut short with an ellipsis, and its full name is the entry's tooltip (Fill).
  MethodList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  MethodList_->setMinimumContentsLength(16);
  MethodList_->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 34);
  MethodList_->setToolTip(
      QStringLiteral("Change the method to change the numerical equivalents of letter grades"));
  // Each list and selector is named, for a screen reader, by the label above it.
  Label1_->setBuddy(SemesterList_);
  Label3_->setBuddy(GroupList_);
  Label10_->setBuddy(MethodList_);

  Label6_ = label("Label6", "Organize output by");
  OrgSem_ = new QRadioButton(QStringLiteral("Semester"), this);
  OrgSem_->setObjectName(QStringLiteral("OrgSem"));
  OrgGroup_ = new QRadioButton(QStringLiteral("Group"), this);
  OrgGroup_->setObjectName(QStringLiteral("OrgGroup"));
  auto* organisation = new QButtonGroup(this);
  organisation->addButton(OrgSem_);
  organisation->addButton(OrgGroup_);

  Cancel_ = button("Cancel", "Cancel");
  Print_ = button("Print", "&Print Grades");
  Export_ = button("Export", "&Export Grades");
  Export_->setAutoDefault(true);

  const int listWidth = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 34;
  for (auto* list : {SemesterList_, GroupList_}) {
    list->setMinimumWidth(listWidth);
    list->setFixedHeight(fontMetrics().height() * 9);
  }
  // The four selection buttons are small ones.
  for (auto* b : {SemAll_, SemNone_, GroupAll_, GroupNone_})
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("None")) + 24);

  // Two columns: semesters, totals and organisation on the left; groups, method and the
  // Cancel button on the right; Print and Export along the bottom.
  auto* left = new QVBoxLayout;
  left->addWidget(Label1_);
  left->addWidget(SemesterList_);
  auto* semButtons = new QHBoxLayout;
  semButtons->addWidget(Label2_);
  semButtons->addWidget(SemAll_);
  semButtons->addWidget(SemNone_);
  semButtons->addStretch(1);
  left->addLayout(semButtons);
  auto* figures = new QGridLayout;
  figures->addWidget(Label5_, 0, 0);
  figures->addWidget(NumGroupMask_, 0, 1);
  figures->addWidget(Label9_, 1, 0);
  figures->addWidget(OverallGPABox_, 1, 1);
  figures->setColumnStretch(2, 1);
  left->addLayout(figures);
  left->addWidget(Label6_);
  auto* orgButtons = new QHBoxLayout;
  orgButtons->addWidget(OrgSem_);
  orgButtons->addWidget(OrgGroup_);
  orgButtons->addStretch(1);
  left->addLayout(orgButtons);
  left->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(Label3_);
  right->addWidget(GroupList_);
  auto* groupButtons = new QHBoxLayout;
  groupButtons->addWidget(Label4_);
  groupButtons->addWidget(GroupAll_);
  groupButtons->addWidget(GroupNone_);
  groupButtons->addStretch(1);
  right->addLayout(groupButtons);
  right->addWidget(Label10_);
  right->addWidget(MethodList_);
  right->addStretch(1);
  auto* cancelRow = new QHBoxLayout;
  cancelRow->addStretch(1);
  cancelRow->addWidget(Cancel_);
  right->addLayout(cancelRow);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addSpacing(12);
  columns->addLayout(right);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Print_);
  bottom->addStretch(1);
  bottom->addWidget(Export_);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(columns);
  outer->addSpacing(6);
  outer->addLayout(bottom);
  outer->setSizeConstraint(QLayout::SetFixedSize);

  setTabOrder(SemesterList_, SemAll_);
  setTabOrder(SemAll_, SemNone_);
  setTabOrder(SemNone_, GroupList_);
  setTabOrder(GroupList_, MethodList_);
  setTabOrder(MethodList_, OrgSem_);
  setTabOrder(OrgSem_, OrgGroup_);
  setTabOrder(OrgGroup_, Print_);
  setTabOrder(Print_, Export_);
  setTabOrder(Export_, Cancel_);

  Fill();

  connect(SemesterList_, &QListWidget::itemChanged, this, [this] {
    if (!filling_) UpdateTotals();
  });
  connect(GroupList_, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) UpdateTotals();
  });
  connect(MethodList_, &QComboBox::currentIndexChanged, this, [this] {
    ShowMethodTip();
    if (!filling_) UpdateTotals();
  });
  connect(SemAll_, &QPushButton::clicked, this, [this] { SemAll_Click(); });
  connect(SemNone_, &QPushButton::clicked, this, [this] { SemNone_Click(); });
  connect(GroupAll_, &QPushButton::clicked, this, [this] { GroupAll_Click(); });
  connect(GroupNone_, &QPushButton::clicked, this, [this] { GroupNone_Click(); });
  connect(Cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(Export_, &QPushButton::clicked, this, [this] {
    if (Export_Click()) accept();
  });
  connect(Print_, &QPushButton::clicked, this, [this] {
    if (Print_Click()) accept();
  });
  SemesterList_->setFocus();
}

void ExportFileDialog::Fill() {
  FillLists();
  UpdateTotals();
}

void ExportFileDialog::FillLists() {
  const QScopedValueRollback filling(filling_, true);
  OrgSem_->setChecked(true);

  // Room for the text in the closed selector: its width less the arrow and the frame.
  const int room = MethodList_->maximumWidth() - 4 * fontMetrics().horizontalAdvance(QLatin1Char('x'));
  for (const auto& m : gb_.Methods) {
    const QString name = Q(m.Name);
    MethodList_->addItem(fontMetrics().elidedText(name, Qt::ElideRight, room), name);
    MethodList_->setItemData(MethodList_->count() - 1, name, Qt::ToolTipRole);
  }
  const bool methodShown = gb_.MethodPos >= 0 && gb_.MethodPos < MethodList_->count();
  MethodList_->setCurrentIndex(methodShown ? gb_.MethodPos : -1);
  ShowMethodTip();

  for (const auto& entry : gb_.SemesterOrder) {
    auto* item = new QListWidgetItem(Q(entry.Name), SemesterList_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.Marked ? Qt::Checked : Qt::Unchecked);
  }
  if (SemesterList_->count() > 0) SemesterList_->setCurrentRow(0, QItemSelectionModel::NoUpdate);

  for (const auto& group : gb_.GroupNames) {
    auto* item = new QListWidgetItem(Q(group.Name), GroupList_);
    item->setSelected(group.InMask);
  }
}

ReportChoices ExportFileDialog::Choices() const {
  ReportChoices c;
  c.Organisation =
      OrgGroup_->isChecked() ? ReportOrganisation::ByGroup : ReportOrganisation::BySemester;
  for (int i = 0; i < SemesterList_->count(); ++i) {
    const auto* item = SemesterList_->item(i);
    if (item->checkState() == Qt::Checked) c.CheckedSemesters.push_back(item->text().toStdString());
  }
  for (int i = 0; i < GroupList_->count(); ++i) {
    const auto* item = GroupList_->item(i);
    if (item->isSelected()) c.SelectedGroups.push_back(item->text().toStdString());
  }
  c.MethodName = MethodList_->currentData().toString().toStdString();
  return c;
}

void ExportFileDialog::ShowMethodTip() {
  const QString tip =
      QStringLiteral("Change the method to change the numerical equivalents of letter grades");
  const QString name = MethodList_->currentData().toString();
  // A name cut short is given in full above the usual tooltip.
  MethodList_->setToolTip(name != MethodList_->currentText() ? name + QLatin1Char('\n') + tip : tip);
}

void ExportFileDialog::UpdateTotals() {
  totals_ = mw::UpdateTotals(gb_, Choices());
  NumGroupMask_->setText(Q(TotalsCountText(totals_)));
  NumGroupMask_->setToolTip(Q(TotalsTooltipText(totals_)));
  OverallGPABox_->setText(Q(TotalsGpaText(totals_)));
}

void ExportFileDialog::SemAll_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    for (int i = 0; i < SemesterList_->count(); ++i) SemesterList_->item(i)->setCheckState(Qt::Checked);
  }
  UpdateTotals();
}

void ExportFileDialog::SemNone_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    for (int i = 0; i < SemesterList_->count(); ++i)
      SemesterList_->item(i)->setCheckState(Qt::Unchecked);
  }
  UpdateTotals();
}

void ExportFileDialog::GroupAll_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    GroupList_->selectAll();
  }
  UpdateTotals();
}

void ExportFileDialog::GroupNone_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    GroupList_->clearSelection();
  }
  UpdateTotals();
}

bool ExportFileDialog::Export_Click() {
  Prompts::FileDialog request;
  request.title = QStringLiteral("Markwell Export File");
  request.filters = {QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")};
  request.defaultSuffix = QStringLiteral("txt");  // a report must not take the ".mw" extension
  request.confirmOverwrite = true;
  const QString path = prompts_.SaveFileName(request);
  if (path.isEmpty()) return false;

  UpdateTotals();  // the closing block reads the totals of the choices as they stand
  const std::string report =
      GradeReport(gb_, Choices(), totals_, DateText ? DateText().toStdString() : std::string());
  if (!WriteReportFile(QFile::encodeName(path).toStdString(), report)) {
    prompts_.Message(QStringLiteral("Error saving to file \"") + path +
                         QStringLiteral("\"! (Read-only?)"),
                     QStringLiteral("Error!"), Prompts::Icon::Critical);
    return false;
  }
  if (setMainStatus_) setMainStatus_(QStringLiteral("Exported grades to file '") + path + "'.");
  return true;
}

bool ExportFileDialog::Print_Click() {
  UpdateTotals();
  const std::string report =
      GradeReport(gb_, Choices(), totals_, DateText ? DateText().toStdString() : std::string());
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("Markwell Grades"));
  printer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
  if (!prompts_.SetUpPrinter(printer, QStringLiteral("Print Grades"))) return false;
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  const QString where = toFile ? printer.outputFileName() : printer.printerName();
  if (!PrintReportLines(printer, ReportLines(report))) {
    prompts_.Message(toFile ? QStringLiteral("Error saving to file \"") + where +
                                  QStringLiteral("\"! (Read-only?)")
                            : QStringLiteral("Error printing to \"") + where + QStringLiteral("\"!"),
                     QStringLiteral("Error!"), Prompts::Icon::Critical);
    return false;
  }
  if (setMainStatus_)
    setMainStatus_(toFile ? QStringLiteral("Printed grades to file '") + where + "'."
                          : QStringLiteral("Printed grades on '") + where + "'.");
  return true;
}

}  // namespace mw
