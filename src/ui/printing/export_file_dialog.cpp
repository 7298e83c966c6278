#include "ui/printing/export_file_dialog.h"

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

#include "qtext/text.h"
#include "app/prompts.h"
#include "report/report_date.h"
#include "report/report_file.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/printing/report_printer.h"
#include "ui/widgets/access.h"
#include "ui/widgets/box_layout.h"
#include "ui/widgets/control_table.h"

namespace mw {

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

  static const Control<ExportFileDialog> kControls[] = {
      {&ExportFileDialog::Label1, "Label1", {}, "Select the semesters that you'd like to export:"},
      {&ExportFileDialog::SemesterList, "SemesterList"},
      {&ExportFileDialog::Label2, "Label2", {}, "Select: "},
      // The visible captions are short; a screen reader says which list each acts on.
      {&ExportFileDialog::SemAll, "SemAll", {}, "All", "", "Select all semesters"},
      {&ExportFileDialog::SemNone, "SemNone", {}, "None", "", "Deselect all semesters"},
      {&ExportFileDialog::Label3, "Label3", {}, "Select the groups that you'd like to export:"},
      {&ExportFileDialog::GroupList, "GroupList"},
      {&ExportFileDialog::Label4, "Label4", {}, "Select: "},
      {&ExportFileDialog::GroupAll, "GroupAll", {}, "All", "", "Select all groups"},
      {&ExportFileDialog::GroupNone, "GroupNone", {}, "None", "", "Deselect all groups"},
      {&ExportFileDialog::Label5, "Label5", {}, "Classes Selected: "},
      {&ExportFileDialog::NumGroupMask, "NumGroupMask", {}, "0"},
      {&ExportFileDialog::Label9, "Label9", {}, "GPA:"},
      {&ExportFileDialog::OverallGPABox, "OverallGPABox", {}, "0.0"},
      {&ExportFileDialog::Label10, "Label10", {}, "Grading Method:"},
      {&ExportFileDialog::MethodList, "MethodList", {}, "",
       "Change the method to change the numerical equivalents of letter grades"},
      {&ExportFileDialog::Label6, "Label6", {}, "Organize output by"},
      {&ExportFileDialog::OrgSem, "OrgSem", {}, "Semester"},
      {&ExportFileDialog::OrgGroup, "OrgGroup", {}, "Group"},
      {&ExportFileDialog::Cancel, "Cancel", {}, "Cancel"},
      {&ExportFileDialog::Print, "Print", {}, "&Print Grades"},
      {&ExportFileDialog::Export, "Export", {}, "&Export Grades"},
  };
  MakeControls(*this, this, kControls, NoAutoDefault{});
  Export->setAutoDefault(true);
  SemesterList->setSelectionMode(QAbstractItemView::SingleSelection);
  GroupList->setSelectionMode(QAbstractItemView::MultiSelection);  // each click toggles
  MethodList->setEditable(false);
  // However long the method names, the selector stays the width of a list: a long name is
  // cut short with an ellipsis, and its full name is the entry's tooltip (Fill).
  MethodList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  MethodList->setMinimumContentsLength(16);
  MethodList->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 34);
  // Each list and selector is named, for a screen reader, by the label above it.
  NameByLabel(Label1, SemesterList);
  NameByLabel(Label3, GroupList);
  NameByLabel(Label10, MethodList);
  for (QListWidget* list : {SemesterList, GroupList}) TipElidedEntries(list);

  auto* organisation = new QButtonGroup(this);
  organisation->addButton(OrgSem);
  organisation->addButton(OrgGroup);

  const int listWidth = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 34;
  for (auto* list : {SemesterList, GroupList}) {
    list->setMinimumWidth(listWidth);
    list->setFixedHeight(fontMetrics().height() * 9);
  }
  // The four selection buttons are small ones.
  for (auto* b : {SemAll, SemNone, GroupAll, GroupNone})
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("None")) + 24);

  // Two columns: semesters, totals and organisation on the left; groups, method and the
  // Cancel button on the right; Print and Export along the bottom.
  auto* figures = new QGridLayout;
  figures->addWidget(Label5, 0, 0);
  figures->addWidget(NumGroupMask, 0, 1);
  figures->addWidget(Label9, 1, 0);
  figures->addWidget(OverallGPABox, 1, 1);
  figures->setColumnStretch(2, 1);
  QLayout* left = Column({Label1, SemesterList, Row({Label2, SemAll, SemNone, Stretch{}}),
                          figures, Label6, Row({OrgSem, OrgGroup, Stretch{}}), Stretch{}});
  QLayout* right =
      Column({Label3, GroupList, Row({Label4, GroupAll, GroupNone, Stretch{}}), Label10,
              MethodList, Stretch{}, Row({Stretch{}, Cancel})});
  Column({Row({left, Space{12}, right}), Space{6}, Row({Print, Stretch{}, Export})}, this)
      ->setSizeConstraint(QLayout::SetFixedSize);

  ChainTabOrder({SemesterList, SemAll, SemNone, GroupList, MethodList, OrgSem, OrgGroup, Print,
                 Export, Cancel});

  Fill();

  connect(SemesterList, &QListWidget::itemChanged, this, [this] {
    if (!filling_) UpdateTotals();
  });
  connect(GroupList, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) UpdateTotals();
  });
  connect(MethodList, &QComboBox::currentIndexChanged, this, [this] {
    ShowMethodTip();
    if (!filling_) UpdateTotals();
  });
  connect(SemAll, &QPushButton::clicked, this, [this] { SemAll_Click(); });
  connect(SemNone, &QPushButton::clicked, this, [this] { SemNone_Click(); });
  connect(GroupAll, &QPushButton::clicked, this, [this] { GroupAll_Click(); });
  connect(GroupNone, &QPushButton::clicked, this, [this] { GroupNone_Click(); });
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Export, &QPushButton::clicked, this, [this] {
    if (Export_Click()) accept();
  });
  connect(Print, &QPushButton::clicked, this, [this] {
    if (Print_Click()) accept();
  });
  SemesterList->setFocus();
}

void ExportFileDialog::Fill() {
  FillLists();
  UpdateTotals();
}

void ExportFileDialog::FillLists() {
  const QScopedValueRollback filling(filling_, true);
  OrgSem->setChecked(true);

  // Room for the text in the closed selector: its width less the arrow and the frame.
  const int room = MethodList->maximumWidth() - 4 * fontMetrics().horizontalAdvance(QLatin1Char('x'));
  for (const auto& m : gb_.Methods) {
    const QString name = Q(m.Name);
    MethodList->addItem(fontMetrics().elidedText(name, Qt::ElideRight, room), name);
    MethodList->setItemData(MethodList->count() - 1, name, Qt::ToolTipRole);
  }
  const bool methodShown = gb_.MethodPos >= 0 && gb_.MethodPos < MethodList->count();
  MethodList->setCurrentIndex(methodShown ? gb_.MethodPos : -1);
  ShowMethodTip();

  for (const auto& entry : gb_.SemesterOrder) {
    auto* item = new QListWidgetItem(Q(entry.Name), SemesterList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.Marked ? Qt::Checked : Qt::Unchecked);
  }
  if (SemesterList->count() > 0) SemesterList->setCurrentRow(0, QItemSelectionModel::NoUpdate);

  for (const auto& group : gb_.GroupNames) {
    auto* item = new QListWidgetItem(Q(group.Name), GroupList);
    item->setSelected(group.InMask);
  }
}

ReportChoices ExportFileDialog::Choices() const {
  ReportChoices c;
  c.Organisation =
      OrgGroup->isChecked() ? ReportOrganisation::ByGroup : ReportOrganisation::BySemester;
  for (int i = 0; i < SemesterList->count(); ++i) {
    const auto* item = SemesterList->item(i);
    if (item->checkState() == Qt::Checked) c.CheckedSemesters.push_back(item->text().toStdString());
  }
  for (int i = 0; i < GroupList->count(); ++i) {
    const auto* item = GroupList->item(i);
    if (item->isSelected()) c.SelectedGroups.push_back(item->text().toStdString());
  }
  c.MethodName = MethodList->currentData().toString().toStdString();
  return c;
}

void ExportFileDialog::ShowMethodTip() {
  const QString tip =
      QStringLiteral("Change the method to change the numerical equivalents of letter grades");
  const QString name = MethodList->currentData().toString();
  // A name cut short is given in full above the usual tooltip.
  MethodList->setToolTip(name != MethodList->currentText() ? name + QLatin1Char('\n') + tip : tip);
}

void ExportFileDialog::UpdateTotals() {
  totals_ = mw::UpdateTotals(gb_, Choices());
  NumGroupMask->setText(Q(TotalsCountText(totals_)));
  NumGroupMask->setToolTip(Q(TotalsTooltipText(totals_)));
  OverallGPABox->setText(Q(TotalsGpaText(totals_)));
}

void ExportFileDialog::SemAll_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    for (int i = 0; i < SemesterList->count(); ++i) SemesterList->item(i)->setCheckState(Qt::Checked);
  }
  UpdateTotals();
}

void ExportFileDialog::SemNone_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    for (int i = 0; i < SemesterList->count(); ++i)
      SemesterList->item(i)->setCheckState(Qt::Unchecked);
  }
  UpdateTotals();
}

void ExportFileDialog::GroupAll_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    GroupList->selectAll();
  }
  UpdateTotals();
}

void ExportFileDialog::GroupNone_Click() {
  {
    const QScopedValueRollback filling(filling_, true);
    GroupList->clearSelection();
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
