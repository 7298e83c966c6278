#include "ui/overview/figures_table.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace mw {

void FiguresTable::Set(QStringList headers, QStringList headerTips, std::vector<FiguresRow> rows,
                       int numbersFrom, int numbersTo, int boldColumn) {
  const bool sameShape = headers == headers_ && rows.size() == rows_.size();
  if (!sameShape) beginResetModel();
  headers_ = std::move(headers);
  headerTips_ = std::move(headerTips);
  rows_ = std::move(rows);
  numbersFrom_ = numbersFrom;
  numbersTo_ = numbersTo;
  const bool boldMoved = boldColumn != boldColumn_;
  boldColumn_ = boldColumn;
  if (!sameShape) {
    endResetModel();
    return;
  }
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  if (boldMoved) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int FiguresTable::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FiguresTable::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant FiguresTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const FiguresRow& r = rows_[static_cast<size_t>(index.row())];
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
