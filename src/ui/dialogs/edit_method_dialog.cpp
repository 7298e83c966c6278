#include "ui/dialogs/edit_method_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

#include "app/prompts.h"
#include "qtext/text.h"
#include "edit/edit.h"
#include "model/amount.h"
#include "model/codepage.h"
#include "model/numtext.h"
#include "model/scales.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/widgets/access.h"
#include "ui/widgets/box_layout.h"
#include "ui/widgets/control_table.h"

namespace mw {

namespace {

// Rows of the first value column ("A+" to "B-"); the second column ("C+" to "E") is one
// row longer and the OK button sits under the first.
constexpr int kFirstColumnRows = 6;

}  // namespace

EditMethodDialog::EditMethodDialog(std::vector<Method>& methods, Prompts& prompts,
                                   QWidget* parent)
    : QDialog(parent), methods_(methods), prompts_(prompts) {
  setObjectName(QStringLiteral("EditMethod"));
  setWindowTitle(QStringLiteral("Edit Grade Methods"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setModal(true);
  // F1 opens the help, which stays usable while this dialog is open.
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
          [this] { ShowHelp(this, prompts_); });

  static const Control<EditMethodDialog> kControls[] = {
      {&EditMethodDialog::Label2, "Label2", {}, "Methods:"},
      {&EditMethodDialog::MethodListBox, "MethodListBox", {}, "",
       "Select method to edit; Delete key to delete method"},
      {&EditMethodDialog::UpdateCurrent, "UpdateCurrent", {}, "Save Changes to Current Method"},
      {&EditMethodDialog::AddMethod, "AddMethod", {}, "Add New Method..."},
      {&EditMethodDialog::Return, "Return", {}, "OK"},
      {&EditMethodDialog::AddFromScale, "AddFromScale", {}, "Add From &Scale...",
       "Add a published grading scale, or a copy of a method"},
  };
  // The dialog has neither a default nor a cancel button: Enter presses only the button that
  // has the focus, and Esc does nothing (see keyPressEvent).
  MakeControls(*this, this, kControls, NoAutoDefault{});
  MethodListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  MethodListBox->setSortingEnabled(false);
  MethodListBox->installEventFilter(this);
  NameByLabel(Label2, MethodListBox);
  TipElidedEntries(MethodListBox);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setColumnMinimumWidth(2, 12);  // a gap between the two value columns
  const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("-000.00")) + 12;
  for (int i = 0; i < kGradeCount; ++i) {
    const int row = i < kFirstColumnRows ? i : i - kFirstColumnRows;
    const int col = i < kFirstColumnRows ? 0 : 3;
    auto* label = new QLabel(Q(kLetterGrades[i]), this);
    label->setObjectName(QStringLiteral("Label1_%1").arg(i));
    auto* box = new QLineEdit(this);
    box->setObjectName(QStringLiteral("Text1_%1").arg(i));
    box->setFixedWidth(boxWidth);
    box->setAlignment(Qt::AlignRight);
    label->setBuddy(box);
    grid->addWidget(label, row, col);
    grid->addWidget(box, row, col + 1);
    Label1[i] = label;
    Text1[i] = box;
  }
  grid->addWidget(Return, kFirstColumnRows, 0, 1, 2);
  grid->setRowStretch(kGradeCount - kFirstColumnRows, 1);

  QLayout* left =
      Column({Label2, Stretched{MethodListBox, 1}, UpdateCurrent, AddMethod, AddFromScale});
  Row({Stretched{left, 1}, Space{8}, grid}, this)
      ->setSizeConstraint(QLayout::SetFixedSize);  // the window cannot be resized

  ChainTabOrder({MethodListBox, UpdateCurrent, AddMethod, AddFromScale, Return, Text1[0]});
  for (int i = 1; i < kGradeCount; ++i) setTabOrder(Text1[i - 1], Text1[i]);

  connect(MethodListBox, &QListWidget::itemSelectionChanged, this,
          &EditMethodDialog::MethodListBox_Click);
  connect(UpdateCurrent, &QPushButton::clicked, this, &EditMethodDialog::UpdateCurrent_Click);
  connect(AddMethod, &QPushButton::clicked, this, &EditMethodDialog::AddMethod_Click);
  connect(AddFromScale, &QPushButton::clicked, this, &EditMethodDialog::AddFromScale_Click);
  connect(Return, &QPushButton::clicked, this, &EditMethodDialog::Return_Click);

  // Opening: every method's name in order, nothing selected, the value boxes empty.
  for (const Method& m : methods_) MethodListBox->addItem(QString::fromStdString(m.Name));
  MethodListBox->clearSelection();
}

int EditMethodDialog::SelectedRow() const {
  const auto items = MethodListBox->selectedItems();
  if (items.isEmpty()) return -1;
  return MethodListBox->row(items.front());
}

Method* EditMethodDialog::SelectedMethod() {
  const int row = SelectedRow();
  if (row < 0) return nullptr;
  const std::string name = MethodListBox->item(row)->text().toStdString();
  auto it = std::find_if(methods_.begin(), methods_.end(),
                         [&](const Method& m) { return m.Name == name; });
  return it == methods_.end() ? nullptr : &*it;
}

void EditMethodDialog::ShowMethod(const Method& m) {
  for (int i = 0; i < kGradeCount; ++i)
    Text1[i]->setText(QString::fromStdString(Format2(m.GetEquiv(i))));
}

void EditMethodDialog::MethodListBox_Click() {
  // Unsaved edits in the boxes are overwritten without a question.
  if (Method* m = SelectedMethod()) ShowMethod(*m);
}

void EditMethodDialog::MethodListBox_KeyDown(int key) {
  if (key != Qt::Key_Delete) return;
  const int row = SelectedRow();
  if (row < 0) return;
  if (MethodListBox->count() == 1) {
    prompts_.Message(QStringLiteral("There must be at least one grading method!"),
                     QStringLiteral("Cannot delete last method!"), Prompts::Icon::Critical);
    return;
  }
  edit::DeleteMethod(methods_, MethodListBox->item(row)->text().toStdString());

  // Nothing is selected afterwards and the boxes keep what they showed, so the list must not
  // report a new selection while the entry goes.
  const QSignalBlocker block(MethodListBox);
  delete MethodListBox->takeItem(row);
  MethodListBox->clearSelection();
  MethodListBox->setCurrentItem(nullptr);
}

QString EditMethodDialog::AddNamedMethod(const QString& defaultName) {
  const QString answer =
      prompts_.InputBox(QStringLiteral("Enter method name"), QStringLiteral("Add a Method"), defaultName);
  if (answer.isEmpty()) return {};
  if (const auto refusal = edit::AddMethod(methods_, answer.toStdString())) {
    prompts_.Message(QString::fromStdString(*refusal), QStringLiteral("Markwell"),
                     Prompts::Icon::None);
    return {};
  }
  MethodListBox->addItem(answer);
  return answer;
}

void EditMethodDialog::AddMethod_Click() {
  if (AddNamedMethod({}).isEmpty()) return;
  for (QLineEdit* box : Text1) box->clear();
}

void EditMethodDialog::AddFromScale_Click() {
  auto valuesText = [](const Method& m) {
    QString text;
    for (int i = 0; i < kGradeCount; ++i)
      text += QStringLiteral("%1%2 = %3").arg(i ? QStringLiteral(", ") : QString(),
                                             Q(kLetterGrades[i]), Q(Format2(m.GetEquiv(i))));
    return text;
  };
  std::vector<Method> offered;
  QStringList items, details;
  for (const GradingScale& s : GradingScales()) {
    offered.push_back(s.ToMethod(std::string(s.Name)));
    items << QString::fromStdString(offered.back().Name);
    details << QString::fromUtf8(s.Source.data(), int(s.Source.size())) + QStringLiteral("\n\n") +
                   valuesText(offered.back());
  }
  for (const Method& m : methods_) {
    offered.push_back(m);
    items << QStringLiteral("Copy of ") + QString::fromStdString(m.Name);
    details << QStringLiteral("A method of this grade book.\n\n") + valuesText(m);
  }
  const int chosen = prompts_.ChooseItem(QStringLiteral("&Scale or method to start from:"),
                                         QStringLiteral("Add From Scale"), items, details);
  if (chosen < 0 || chosen >= int(offered.size())) return;
  const Method& from = offered[size_t(chosen)];
  const QString name = AddNamedMethod(QString::fromStdString(from.Name));
  if (name.isEmpty()) return;
  std::vector<double> values;
  for (int i = 0; i < kGradeCount; ++i) values.push_back(from.GetEquiv(i));
  edit::SaveMethod(methods_, name.toStdString(), values);
  MethodListBox->setCurrentRow(MethodListBox->count() - 1);  // shows its values
}

bool EditMethodDialog::UpdateCurrent_Click() {
  Method* m = SelectedMethod();
  if (!m) return true;
  std::vector<double> values;
  for (QLineEdit* box : Text1) {
    const double value = LeadingNumber(box->text().toStdString());
    if (!IsSafeAmount(value)) {
      prompts_.Message(QStringLiteral("Please enter a numeric value from -1000000000 to "
                                      "1000000000 for each letter grade."),
                       QStringLiteral("Markwell"), Prompts::Icon::None);
      box->setFocus(Qt::OtherFocusReason);
      box->selectAll();
      return false;
    }
    values.push_back(value);
  }
  edit::SaveMethod(methods_, m->Name, values);
  return true;
}

bool EditMethodDialog::MethodChanged() {
  const Method* m = SelectedMethod();
  if (!m) return false;
  for (int i = 0; i < kGradeCount; ++i)
    if (LeadingNumber(Text1[i]->text().toStdString()) != m->GetEquiv(i)) return true;
  return false;
}

void EditMethodDialog::Return_Click() {
  // No is the default: right after "Add New Method..." the boxes are empty, and Enter must not
  // turn the selected method's values to 0.
  if (MethodChanged() && prompts_.AskYesNo(QStringLiteral("Method has been changed; save changes?"),
                                           QStringLiteral("SaveChanges"), false) &&
      !UpdateCurrent_Click())
    return;  // the refused value stays in its box, to be corrected
  accept();
}

bool EditMethodDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == MethodListBox && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete) {
      MethodListBox_KeyDown(key->key());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void EditMethodDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      event->accept();  // no cancel button
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (auto* b = qobject_cast<QPushButton*>(focusWidget())) b->click();
      event->accept();  // no default button
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace mw
