#include "ui/overview/figures_table.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace mw {

void FiguresTable::Set(QStringList headers, QStringList headerTips, std::vector<FiguresRow> rows,
                       int numbersFrom, int numbersTo, int boldColumn) {
  const int count = static_cast<int>(rows.size());
  Fill(std::move(headers), std::move(headerTips), std::move(rows), count, {}, numbersFrom,
       numbersTo, boldColumn);
}

void FiguresTable::Set(QStringList headers, QStringList headerTips, int rowCount,
                       std::function<FiguresRow(size_t row)> rowAt, int numbersFrom,
                       int numbersTo, int boldColumn) {
  Fill(std::move(headers), std::move(headerTips), {}, rowCount, std::move(rowAt), numbersFrom,
       numbersTo, boldColumn);
}

void FiguresTable::Fill(QStringList headers, QStringList headerTips, std::vector<FiguresRow> rows,
                        int rowCount, std::function<FiguresRow(size_t row)> rowAt,
                        int numbersFrom, int numbersTo, int boldColumn) {
  const bool sameShape = headers == headers_ && rowCount == rowCount_;
  if (!sameShape) beginResetModel();
  headers_ = std::move(headers);
  headerTips_ = std::move(headerTips);
  rows_ = std::move(rows);
  rowAt_ = std::move(rowAt);
  rowCount_ = rowCount;
  madeRow_ = -1;
  numbersFrom_ = numbersFrom;
  numbersTo_ = numbersTo;
  const bool boldMoved = boldColumn != boldColumn_;
  boldColumn_ = boldColumn;
  if (!sameShape) {
    endResetModel();
    return;
  }
  if (rowCount_ > 0) emit dataChanged(index(0, 0), index(rowCount_ - 1, columnCount() - 1));
  if (boldMoved) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

const FiguresRow& FiguresTable::Row(int row) const {
  if (!rowAt_) return rows_[static_cast<size_t>(row)];
  if (madeRow_ != row) {
    made_ = rowAt_(static_cast<size_t>(row));
    madeRow_ = row;
  }
  return made_;
}

int FiguresTable::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rowCount_;
}

int FiguresTable::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant FiguresTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const FiguresRow& r = Row(index.row());
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return column < r.cells.size() ? r.cells[column] : QString();
    case Qt::CheckStateRole:
      if (column == 0 && r.checked >= 0) return r.checked ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::ToolTipRole:
      return r.toolTip.isEmpty() ? QVariant() : QVariant(r.toolTip);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (IsNumber(column) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::FontRole:
      if (r.bold || column == boldColumn_) {
        QFont f = QApplication::font();
        f.setBold(true);
        return f;
      }
      return {};
    case Qt::ForegroundRole:
      if (r.dimmed) return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
      return {};
    default:
      return {};
  }
}

QVariant FiguresTable::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= headers_.size()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return headers_[section];
    case Qt::ToolTipRole:
      return section < headerTips_.size() && !headerTips_[section].isEmpty()
                 ? QVariant(headerTips_[section])
                 : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (IsNumber(section) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::FontRole:
      if (section == boldColumn_) {
        QFont f = QApplication::font();
        f.setBold(true);
        return f;
      }
      return {};
    default:
      return {};
  }
}

}  // namespace mw
