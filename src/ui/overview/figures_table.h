#pragma once
// A read-only table of texts for the overview's three tables, refilled on every refresh. A
// long table builds its rows when the view asks for them: only the rows shown are made.
#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace mw {

struct FiguresRow {
  QStringList cells;
  QString toolTip;
  int checked = -1;     // the first column's check mark: -1 none, 0 clear, 1 set
  bool bold = false;    // a total row
  bool dimmed = false;  // a row that does not count
};

class FiguresTable : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // New headers (with their tooltips), rows and alignment: the columns from numbersFrom up to
  // numbersTo (exclusive; -1 for all the rest) are figures, aligned right. boldColumn (-1
  // none) is shown bold throughout. The view keeps its selection when only the texts change.
  void Set(QStringList headers, QStringList headerTips, std::vector<FiguresRow> rows,
           int numbersFrom, int numbersTo = -1, int boldColumn = -1);
  // The same with rowCount rows made by rowAt when the view asks for them (rowAt stays
  // valid until the next Set).
  void Set(QStringList headers, QStringList headerTips, int rowCount,
           std::function<FiguresRow(size_t row)> rowAt, int numbersFrom, int numbersTo = -1,
           int boldColumn = -1);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList headers_, headerTips_;
  std::vector<FiguresRow> rows_;
  std::function<FiguresRow(size_t)> rowAt_;  // when set, rows_ is empty
  int rowCount_ = 0;
  mutable FiguresRow made_;   // the row rowAt_ made last
  mutable int madeRow_ = -1;  // its index, -1 none
  const FiguresRow& Row(int row) const;
  void Fill(QStringList headers, QStringList headerTips, std::vector<FiguresRow> rows,
            int rowCount, std::function<FiguresRow(size_t row)> rowAt, int numbersFrom,
            int numbersTo, int boldColumn);
  bool IsNumber(int column) const {
    return column >= numbersFrom_ && (numbersTo_ < 0 || column < numbersTo_);
  }

  int numbersFrom_ = 0;
  int numbersTo_ = -1;
  int boldColumn_ = -1;
};

}  // namespace mw
