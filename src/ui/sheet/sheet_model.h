#pragma once
// The class sheet's table: one row per class, semesters in the semester list's order and each
// semester's classes in their order, then one empty row for a new class. Cells are edited
// through the editing layer and run through the document, one step per committed cell; the
// table follows the document's changes and refreshes only what a change touched.
#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/book_document.h"
#include "model/figures.h"

namespace mw {

class SheetModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kSemester, kClass, kCredits, kGrade, kGradePoints, kGroups, kCounts, kColumns };
  // Sort keys: numbers for the number columns, text for the others.
  static constexpr int kSortRole = Qt::UserRole;

  explicit SheetModel(BookDocument& doc, QObject* parent = nullptr);

  // The grade and credits of a new class when its row does not give them.
  void SetNewClassDefaults(std::function<std::pair<int, double>()> defaults) {
    defaults_ = std::move(defaults);
  }

  // What a commit did: refused with the reason, or made (and which class the row now holds).
  struct Commit {
    bool refused = false;
    QString reason;
    std::optional<edit::ClassRef> cls;
  };
  // Takes the typed text of a cell; setData does the same and keeps the result in LastCommit.
  Commit CommitText(int row, int column, const QString& text);
  const Commit& LastCommit() const { return last_; }

  bool IsNewRow(int row) const { return row == static_cast<int>(rows_.size()); }
  // The class of a row; nothing for the new row.
  std::optional<edit::ClassRef> ClassAt(int row) const;
  // The row of a class, -1 when it has none.
  int RowOf(const edit::ClassRef& cls) const;
  // The semester a new class of the empty row goes to.
  QString NewRowSemester() const;

  // The order of two class rows by a column, letter case aside for names.
  bool Less(int left, int right, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  // A commit's message for the status line (a refusal's reason, or what was done).
  void Status(const QString& text);

 private:
  struct Ref {
    int semester;  // position in Semesters
    int cls;       // position in its Classes
  };
  void OnChanged(unsigned touches, const edit::Place& place);
  void Rebuild();
  void ColumnsChanged(int first, int last);
  const Class& ClassOf(const Ref& r) const;
  QString Text(const Ref& r, int column) const;
  Commit Run(edit::Outcome outcome, std::optional<edit::ClassRef> after);
  Commit CommitNewRow(int column, const QString& text);

  BookDocument& doc_;
  std::vector<Ref> rows_;
  std::vector<int> firstRow_;  // the first row of each semester (by position), -1 when unlisted
  FigureChoices choices_;
  std::array<QString, kColumns> pending_;  // what was typed into the empty row so far
  std::function<std::pair<int, double>()> defaults_;
  Commit last_;
};

}  // namespace mw
