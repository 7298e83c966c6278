#include "ui/sheet/classes_preview_dialog.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "model/method.h"
#include "model/numtext.h"

namespace mw {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString Joined(const std::vector<std::string>& names) {
  QStringList list;
  for (const auto& n : names) list << Q(n);
  return list.join(QStringLiteral("; "));
}

}  // namespace

// The rows of a plan: where each row stands, the class it adds, and what happens to it.
class PlanRowsModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;
  enum Column { kRow, kSemester, kClass, kCredits, kGrade, kGroups, kResult, kColumns };

  void SetPlan(table::ImportPlan plan, const table::Table* rows,
               const table::ColumnMapping& mapping) {
    beginResetModel();
    plan_ = std::move(plan);
    rows_ = rows;
    mapping_ = mapping;
    endResetModel();
  }
  const table::ImportPlan& Plan() const { return plan_; }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(plan_.rows.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : kColumns;
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    static const char* const names[kColumns] = {"Row",   "Semester", "Class", "Credits",
                                                "Grade", "Groups",   "Result"};
    if (o == Qt::Horizontal && role == Qt::DisplayRole) return QString::fromLatin1(names[section]);
    return {};
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const auto& row = plan_.rows[static_cast<size_t>(index.row())];
    if (role == Qt::ForegroundRole && !row.planned) return QBrush(Qt::darkRed);
    if (role == Qt::ToolTipRole && !row.planned) return Q(row.reason);
    if (role != Qt::DisplayRole) return {};
    if (index.column() == kRow) return Q(row.position);
    if (index.column() == kResult) return row.planned ? QStringLiteral("Added") : Q(row.reason);
    if (!row.planned) return Typed(index.row(), index.column());
    const auto& c = *row.planned;
    switch (index.column()) {
      case kSemester:
        return Q(c.semester);
      case kClass:
        return Q(c.name);
      case kCredits:
        return Q(PlainNumber(c.credits));
      case kGrade:
        return Q(std::string(LetterGrade(c.grade)));
      case kGroups:
        return Joined(c.groups);
      default:
        return {};
    }
  }

 private:
  // A refused row's cell as typed (the plan rows follow the table's rows after the header).
  QVariant Typed(int row, int column) const {
    const size_t source = static_cast<size_t>(row) + (mapping_.header ? 1 : 0);
    if (!rows_ || source >= rows_->rows.size() || column < kSemester || column > kGroups) return {};
    const int cell = mapping_.column[static_cast<size_t>(column - kSemester)];
    const auto& cells = rows_->rows[source].cells;
    if (cell < 0 || static_cast<size_t>(cell) >= cells.size()) return {};
    return Q(cells[static_cast<size_t>(cell)]);
  }

  table::ImportPlan plan_;
  const table::Table* rows_ = nullptr;
  table::ColumnMapping mapping_;
};

ClassesPreviewDialog::ClassesPreviewDialog(const Prompts::ClassesPreview& preview, QWidget* parent)
    : QDialog(parent), preview_(preview), mapping_(preview.mapping) {
  setWindowTitle(preview.title);
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  if (preview.mappable) {
    auto* box = new QGroupBox(QStringLiteral("Columns"), this);
    BuildMapping(box);
    layout->addWidget(box);
  }
  rows_ = new PlanRowsModel(this);
  view_ = new QTableView(this);
  view_->setModel(rows_);
  view_->setAccessibleName(QStringLiteral("Rows"));
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setTabKeyNavigation(false);
  view_->verticalHeader()->hide();
  view_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(view_, 1);
  summary_ = new QLabel(this);
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  accept_ = buttons->addButton(preview.acceptText, QDialogButtonBox::AcceptRole);
  accept_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(760, 460);
  Replan();
}

ClassesPreviewDialog::~ClassesPreviewDialog() = default;

const table::ImportPlan& ClassesPreviewDialog::Plan() const { return rows_->Plan(); }

void ClassesPreviewDialog::BuildMapping(QWidget* box) {
  auto* form = new QFormLayout(box);
  // Each column named by its number and its first row's text.
  size_t width = 0;
  for (const auto& row : preview_.table->rows) width = std::max(width, row.cells.size());
  QStringList choices{QStringLiteral("(none)")};
  for (size_t c = 0; c < width; ++c) {
    QString first;
    if (!preview_.table->rows.empty() && c < preview_.table->rows.front().cells.size())
      first = Q(preview_.table->rows.front().cells[c]);
    if (first.size() > 24) first = first.left(23) + QChar(0x2026);
    choices << QStringLiteral("Column %1%2")
                   .arg(c + 1)
                   .arg(first.isEmpty() ? QString() : QStringLiteral(": ") + first);
  }
  for (int f = 0; f < table::kFieldCount; ++f) {
    auto* combo = new QComboBox(box);
    combo->addItems(choices);
    combo->setCurrentIndex(mapping_.column[static_cast<size_t>(f)] + 1);
    auto* label = new QLabel(
        QString::fromLatin1(table::kFieldNames[static_cast<size_t>(f)]) + QStringLiteral(":"), box);
    label->setBuddy(combo);
    form->addRow(label, combo);
    columns_[static_cast<size_t>(f)] = combo;
    connect(combo, &QComboBox::currentIndexChanged, this, &ClassesPreviewDialog::MappingEdited);
  }
  header_ = new QCheckBox(QStringLiteral("First row is a &header"), box);
  header_->setChecked(mapping_.header);
  form->addRow(header_);
  connect(header_, &QCheckBox::toggled, this, &ClassesPreviewDialog::MappingEdited);
}

void ClassesPreviewDialog::MappingEdited() {
  for (int f = 0; f < table::kFieldCount; ++f)
    mapping_.column[static_cast<size_t>(f)] = columns_[static_cast<size_t>(f)]->currentIndex() - 1;
  mapping_.header = header_->isChecked();
  Replan();
}

void ClassesPreviewDialog::Replan() {
  rows_->SetPlan(preview_.plan(mapping_), preview_.table, mapping_);
  const auto& plan = rows_->Plan();
  QString text = plan.classCount == 1
                     ? QStringLiteral("1 class will be added")
                     : QStringLiteral("%1 classes will be added").arg(plan.classCount);
  if (!plan.newSemesters.empty())
    text += QStringLiteral(", with the new semesters %1").arg(Joined(plan.newSemesters));
  if (!plan.newGroups.empty())
    text += QStringLiteral(", with the new groups %1").arg(Joined(plan.newGroups));
  text += QStringLiteral(".");
  if (plan.refusedCount > 0)
    text +=
        plan.refusedCount == 1
            ? QStringLiteral(" 1 row is refused and will not be added.")
            : QStringLiteral(" %1 rows are refused and will not be added.").arg(plan.refusedCount);
  summary_->setText(text);
  accept_->setEnabled(plan.classCount > 0);
  view_->resizeColumnsToContents();
}

}  // namespace mw
