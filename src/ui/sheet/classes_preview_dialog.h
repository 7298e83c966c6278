#pragma once
// The preview of a paste or an import: every row of the table with the class it adds or the
// reason it is refused, the count of what will be added, and, for an import, the column
// mapping, which the user may change before adding.
#include <QDialog>
#include <array>

#include "app/prompts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace mw {

class PlanRowsModel;

class ClassesPreviewDialog : public QDialog {
  Q_OBJECT

 public:
  ClassesPreviewDialog(const Prompts::ClassesPreview& preview, QWidget* parent = nullptr);
  ~ClassesPreviewDialog() override;

  const table::ColumnMapping& Mapping() const { return mapping_; }
  const table::ImportPlan& Plan() const;

 private:
  void BuildMapping(QWidget* box);
  void MappingEdited();
  void Replan();

  const Prompts::ClassesPreview& preview_;
  table::ColumnMapping mapping_;
  PlanRowsModel* rows_ = nullptr;
  std::array<QComboBox*, table::kFieldCount> columns_{};
  QCheckBox* header_ = nullptr;
  QTableView* view_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* accept_ = nullptr;
};

}  // namespace mw
