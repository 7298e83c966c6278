#pragma once
// The class sheet: the whole record as one editable table beside the main window. Typing goes
// left to right (Tab), Enter commits and moves down, Escape abandons; the last row adds a
// class. Every committed cell is one step of the document's history, and a refused cell stays
// in edit with its text kept and the reason shown.
#include <QMainWindow>
#include <QPointer>
#include <QTableView>

#include "app/book_document.h"
#include "app/prompts.h"

class QLineEdit;
class QSortFilterProxyModel;

namespace mw {

class SheetModel;
class SettingsStore;

// The table of the sheet: keyboard moves after a commit, and an editor holding refused text
// keeps the current cell.
class SheetView : public QTableView {
  Q_OBJECT

 public:
  using QTableView::QTableView;
  // After a commit: the cell the key moves to, from the cell of the class the commit left.
  void MoveAfterCommit(int sourceRow, int column, QAbstractItemDelegate::EndEditHint hint);
  void SetRefusedEditor(QWidget* editor) { refused_ = editor; }
  // An editor holds text the sheet refused.
  bool HoldsRefusedText() const { return !refused_.isNull(); }
  SheetModel* Sheet() const;
  QSortFilterProxyModel* Proxy() const;

 signals:
  void DeletePressed();
  void PastePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  QPointer<QWidget> refused_;
  int startColumn_ = 0;  // where typing of the current row began: Enter comes back to it
};

class SheetWindow : public QMainWindow {
  Q_OBJECT

 public:
  // settings: the defaults of a new class; prompts: the paste preview.
  SheetWindow(BookDocument& doc, Prompts& prompts, const SettingsStore* settings,
              QWidget* parent = nullptr);

  SheetView* View() const { return view_; }
  SheetModel* Model() const { return model_; }
  QLineEdit* Filter() const { return filter_; }
  QString StatusText() const;
  // Pastes text as Ctrl+V pastes the clipboard.
  void Paste(const QString& text);
  void DeleteSelection();

 signals:
  // A row of a class became current.
  void ClassSelected(const QString& semester, const QString& cls);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnCurrentChanged(const QModelIndex& current);

  BookDocument& doc_;
  Prompts& prompts_;
  SheetModel* model_ = nullptr;
  QSortFilterProxyModel* proxy_ = nullptr;
  SheetView* view_ = nullptr;
  QLineEdit* filter_ = nullptr;
};

}  // namespace mw
