#include "ui/overview/plan_tab.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/prompts.h"
#include "qtext/text.h"
#include "model/numtext.h"
#include "model/predict.h"
#include "settings/settings_store.h"

namespace mw {

namespace {

constexpr std::string_view kPlans = "Plans";  // settings section: one plan per book file
constexpr int kNameColumn = 0, kCreditsColumn = 1, kGradeColumn = 2;
constexpr double kUsualClassCredits = 3;  // the class size assumed before any class counts

QString LetterText(int grade) { return Q(LetterGrade(grade)); }

// The grade column offers the letter list; a typed "F" reads as "E".
class GradeDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* box = new QComboBox(parent);
    for (int g = 0; g < kGradeCount; ++g) box->addItem(LetterText(g));
    box->setAccessibleName(QStringLiteral("Expected grade"));
    return box;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    const auto grade = ParseGradeLetter(S(index.data().toString()));
    static_cast<QComboBox*>(editor)->setCurrentIndex(grade.value_or(1));
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText());
  }
};

// The settings key of a book file's plan: its absolute path, in hexadecimal so that no
// character of it means anything to the store.
std::string PlanKey(const std::string& path) {
  return QFileInfo(Q(path)).absoluteFilePath().toUtf8().toHex().toStdString();
}

}  // namespace

PlanTab::PlanTab(const GradeBook& gb, SettingsStore& settings, Prompts& prompts, QWidget* parent)
    : QWidget(parent), gb_(gb), settings_(settings), prompts_(prompts) {
  setObjectName(QStringLiteral("PlanTab"));
  auto* desiredLabel = new QLabel(QStringLiteral("&Desired GPA:"), this);
  desired_ = new QLineEdit(this);
  desired_->setObjectName(QStringLiteral("PlanDesired"));
  desiredLabel->setBuddy(desired_);
  byCredits_ = new QRadioButton(QStringLiteral("C&redits left:"), this);
  byCredits_->setObjectName(QStringLiteral("PlanByCredits"));
  byClasses_ = new QRadioButton(QStringLiteral("Cl&asses left:"), this);
  byClasses_->setObjectName(QStringLiteral("PlanByClasses"));
  byCredits_->setChecked(true);
  left_ = new QLineEdit(this);
  left_->setObjectName(QStringLiteral("PlanLeft"));
  left_->setAccessibleName(QStringLiteral("Credits or classes left"));
  const int digits = fontMetrics().horizontalAdvance(QStringLiteral("000000000"));
  desired_->setMaximumWidth(digits);
  left_->setMaximumWidth(digits);

  auto wrapping = [this](const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
  };
  prediction_ = wrapping("PlanPrediction");
  letters_ = wrapping("PlanLetters");
  mix_ = wrapping("PlanMix");
  projection_ = wrapping("PlanProjection");

  auto* rowsLabel = new QLabel(QStringLiteral("&What if I take:"), this);
  rows_ = new QTableWidget(0, 3, this);
  rows_->setObjectName(QStringLiteral("PlanRows"));
  rows_->setHorizontalHeaderLabels(
      {QStringLiteral("Class"), QStringLiteral("Credits"), QStringLiteral("Expected grade")});
  rows_->setAccessibleName(QStringLiteral("Planned classes"));
  rows_->setTabKeyNavigation(false);
  rows_->verticalHeader()->hide();
  rows_->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
  rows_->horizontalHeader()->setSectionResizeMode(kCreditsColumn, QHeaderView::ResizeToContents);
  rows_->horizontalHeader()->setSectionResizeMode(kGradeColumn, QHeaderView::ResizeToContents);
  rows_->setItemDelegateForColumn(kGradeColumn, new GradeDelegate(rows_));
  rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rows_->setSelectionMode(QAbstractItemView::SingleSelection);
  rowsLabel->setBuddy(rows_);

  auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
  };
  addRow_ = button("PlanAddRow", QStringLiteral("Add C&lass"));
  removeRow_ = button("PlanRemoveRow", QStringLiteral("Remo&ve Class"));
  addAsSemester_ = button("PlanAddAsSemester", QStringLiteral("Add Plan as S&emester..."));

  auto* inputs = new QGridLayout;
  inputs->addWidget(desiredLabel, 0, 0);
  inputs->addWidget(desired_, 0, 1);
  inputs->addWidget(byCredits_, 1, 0);
  inputs->addWidget(byClasses_, 2, 0);
  inputs->addWidget(left_, 1, 1, 2, 1, Qt::AlignVCenter);
  inputs->setColumnStretch(2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(addRow_);
  buttons->addWidget(removeRow_);
  buttons->addStretch(1);
  buttons->addWidget(addAsSemester_);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(inputs);
  outer->addWidget(prediction_);
  outer->addWidget(letters_);
  outer->addWidget(mix_);
  outer->addSpacing(6);
  outer->addWidget(rowsLabel);
  outer->addWidget(rows_, 1);
  outer->addLayout(buttons);
  outer->addWidget(projection_);

  setTabOrder(desired_, byCredits_);
  setTabOrder(byCredits_, byClasses_);
  setTabOrder(byClasses_, left_);
  setTabOrder(left_, rows_);
  setTabOrder(rows_, addRow_);
  setTabOrder(addRow_, removeRow_);
  setTabOrder(removeRow_, addAsSemester_);

  connect(desired_, &QLineEdit::textChanged, this, &PlanTab::Edited);
  connect(left_, &QLineEdit::textChanged, this, &PlanTab::Edited);
  connect(byCredits_, &QRadioButton::toggled, this, &PlanTab::Edited);
  connect(rows_, &QTableWidget::itemChanged, this, &PlanTab::Edited);
  connect(addRow_, &QPushButton::clicked, this, &PlanTab::AddRow_Click);
  connect(removeRow_, &QPushButton::clicked, this, &PlanTab::RemoveRow_Click);
  connect(addAsSemester_, &QPushButton::clicked, this, &PlanTab::AddAsSemester_Click);
}

Plan PlanTab::CurrentPlan() const {
  Plan plan;
  plan.Desired = S(desired_->text());
  plan.Left = S(left_->text());
  plan.ByCredits = byCredits_->isChecked();
  for (int r = 0; r < rows_->rowCount(); ++r) {
    auto text = [&](int c) { return rows_->item(r, c) ? S(rows_->item(r, c)->text()) : std::string(); };
    plan.Rows.push_back({text(kNameColumn), LeadingNumber(text(kCreditsColumn)),
                         ParseGradeLetter(text(kGradeColumn)).value_or(1)});
  }
  return plan;
}

void PlanTab::SetPlan(const Plan& plan) {
  {
    const QScopedValueRollback guard(filling_, true);
    desired_->setText(Q(plan.Desired));
    left_->setText(Q(plan.Left));
    (plan.ByCredits ? byCredits_ : byClasses_)->setChecked(true);
    rows_->setRowCount(0);
    for (const PlannedClass& p : plan.Rows) {
      const int r = rows_->rowCount();
      rows_->insertRow(r);
      rows_->setItem(r, kNameColumn, new QTableWidgetItem(Q(p.Name)));
      auto* credits = new QTableWidgetItem(Q(PlainNumber(p.Credits)));
      credits->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      rows_->setItem(r, kCreditsColumn, credits);
      rows_->setItem(r, kGradeColumn, new QTableWidgetItem(LetterText(p.Grade)));
    }
  }
  Recompute();
}

void PlanTab::LoadPlanFor(const std::string& path) {
  const bool firstSave = planPath_ && planPath_->empty();
  planPath_ = path;
  const std::string stored = path.empty() ? std::string() : settings_.ReadSetting(kPlans, PlanKey(path), "");
  if (!stored.empty()) {
    SetPlan(PlanFromText(stored));
  } else if (firstSave) {
    Edited();  // a plan made before the first save is kept for the file now
  } else {
    SetPlan(Plan{});
  }
}

void PlanTab::Refresh(const BookFigures& figures) {
  figures_ = {figures.OverallGpa, figures.Credits, figures.Classes};
  if (!planPath_ || *planPath_ != gb_.FullFileName)
    LoadPlanFor(gb_.FullFileName);
  else
    Recompute();
}

void PlanTab::Edited() {
  if (filling_) return;
  if (planPath_ && !planPath_->empty())
    settings_.WriteSetting(kPlans, PlanKey(*planPath_), PlanToText(CurrentPlan()));
  Recompute();
}

void PlanTab::Recompute() {
  const Plan plan = CurrentPlan();
  left_->setAccessibleName(plan.ByCredits ? QStringLiteral("Credits left") : QStringLiteral("Classes left"));
  addAsSemester_->setEnabled(!plan.Rows.empty());
  removeRow_->setEnabled(!plan.Rows.empty());
  const Method* method = gb_.MethodInUse();
  const double G = figures_.OverallGpa, C = figures_.Credits;
  const int64_t k = figures_.Classes;
  prediction_->clear();
  letters_->clear();
  mix_->clear();
  projection_->clear();
  if (!method) {
    prediction_->setText(QStringLiteral("The grade book has no grading method."));
    emit ChartChanged();
    return;
  }

  // The average needed over what is left, when the inputs allow one.
  std::optional<double> needed;
  std::vector<double> mixClasses;
  const double D = LeadingNumber(plan.Desired);
  const double n = LeadingNumber(plan.Left);
  const double average = k > 0 ? C / double(k) : kUsualClassCredits;
  if (!plan.Desired.empty() || !plan.Left.empty()) {
    if (plan.ByCredits) {
      prediction_->setText(Q(PredictByCredits(plan.Desired, plan.Left, method, G, C)));
      if (PredictByCreditsRefusal(plan.Desired, plan.Left, method).empty()) {
        needed = NeededOverCredits(D, n, G, C);
        mixClasses = ClassesForCredits(n, average);
      }
    } else {
      prediction_->setText(Q(PredictNeeded(plan.Desired, plan.Left, method, G, k, C == 0 ? 1 : C)));
      if (PredictRefusal(plan.Desired, plan.Left, method).empty()) {
        needed = NeededOverCredits(D, n * average, G, C);
        mixClasses = ClassesForCredits(n * average, average);
      }
    }
  }
  if (needed) letters_->setText(QStringLiteral("Average needed ") + Q(NearestLetters(*needed, *method)));

  // The planned classes.
  std::vector<double> planned;
  for (const auto& p : plan.Rows) planned.push_back(p.Credits);
  const Projection proj = Project(plan.Rows, *method, G, C);
  if (!plan.Rows.empty()) {
    projection_->setText(QStringLiteral("Planned: %1 credits, semester GPA %2; cumulative GPA %3 (now %4)")
                             .arg(Q(GeneralNumber(proj.Credits)), Q(Format3(proj.SemesterGpa)),
                                  Q(Format3(proj.Cumulative)), Q(Format3(G))));
  }
  const bool targetOk = method->GetLowest() < D && D <= method->GetHighest();
  if (targetOk && proj.Credits > 0) {
    mix_->setText(QStringLiteral("Fewest top grades over the planned classes: ") +
                  Q(DescribeMix(FindGradeMix(planned, *method, D, G, C), int(planned.size()))));
  } else if (targetOk && needed && !mixClasses.empty()) {
    mix_->setText(QStringLiteral("Fewest top grades over %1 classes of %2 credits: ")
                      .arg(mixClasses.size())
                      .arg(Q(Format2(average))) +
                  Q(DescribeMix(FindGradeMix(mixClasses, *method, D, G, C), int(mixClasses.size()))));
  }
  emit ChartChanged();
}

std::optional<PlannedPoint> PlanTab::ChartPoint() const {
  const Method* method = gb_.MethodInUse();
  const Plan plan = CurrentPlan();
  if (!method || plan.Rows.empty()) return std::nullopt;
  const Projection p = Project(plan.Rows, *method, figures_.OverallGpa, figures_.Credits);
  if (!(p.Credits > 0)) return std::nullopt;
  return PlannedPoint{QStringLiteral("Plan"), p.SemesterGpa, p.Cumulative};
}

void PlanTab::AddRow_Click() {
  const int r = rows_->rowCount();
  if (r >= kMaxPlannedClasses) return;
  const double credits = figures_.Classes > 0 ? figures_.Credits / double(figures_.Classes) : kUsualClassCredits;
  {
    const QScopedValueRollback guard(filling_, true);
    rows_->insertRow(r);
    rows_->setItem(r, kNameColumn, new QTableWidgetItem(QStringLiteral("Planned class %1").arg(r + 1)));
    auto* item = new QTableWidgetItem(Q(PlainNumber(std::round(credits * 100) / 100)));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows_->setItem(r, kCreditsColumn, item);
    rows_->setItem(r, kGradeColumn, new QTableWidgetItem(LetterText(ReadDefGrade(settings_))));
  }
  rows_->setCurrentCell(r, kNameColumn);
  Edited();
}

void PlanTab::RemoveRow_Click() {
  const int r = rows_->currentRow() >= 0 ? rows_->currentRow() : rows_->rowCount() - 1;
  if (r < 0) return;
  {
    const QScopedValueRollback guard(filling_, true);
    rows_->removeRow(r);
  }
  Edited();
}

void PlanTab::AddAsSemester_Click() {
  const Plan plan = CurrentPlan();
  if (plan.Rows.empty() || !RunStep) return;
  const QString answer = prompts_.InputBox(QStringLiteral("Enter semester name"),
                                           QStringLiteral("Add Plan as Semester"),
                                           QStringLiteral("Planned"));
  if (answer.isEmpty()) return;
  const std::string name = S(answer);
  // A new semester: the name must be free, as for "Add Semester".
  edit::Outcome check = edit::AddSemester(gb_, name);
  if (check.refused) {
    prompts_.Message(Q(check.status));
    return;
  }
  std::vector<edit::NewClass> classes;
  for (const PlannedClass& p : plan.Rows) classes.push_back({name, p.Name, p.Grade, p.Credits, {}});
  edit::Outcome outcome = edit::AddClasses(gb_, classes, "Add");
  if (outcome.refused) {
    prompts_.Message(Q(outcome.status));
    return;
  }
  RunStep(std::move(outcome));
}

QString PlanTab::PredictionText() const {
  return letters_->text().isEmpty() ? prediction_->text() : prediction_->text() + QLatin1Char('\n') + letters_->text();
}
QString PlanTab::MixText() const { return mix_->text(); }
QString PlanTab::ProjectionText() const { return projection_->text(); }

}  // namespace mw
