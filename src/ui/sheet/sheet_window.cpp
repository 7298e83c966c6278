#include "ui/sheet/sheet_window.h"

#include "ui/widgets/access.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCompleter>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QUndoStack>
#include <QVBoxLayout>

#include "model/method.h"
#include "settings/settings_store.h"
#include "ui/sheet/sheet_commands.h"
#include "ui/sheet/sheet_model.h"
#include "ui/widgets/access.h"

namespace mw {

namespace {

// Sorting and filtering are a view: the empty row for a new class stays last and always shown.
class SheetProxy : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    if (static_cast<SheetModel*>(sourceModel())->IsNewRow(row)) return true;
    return QSortFilterProxyModel::filterAcceptsRow(row, parent);
  }
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
    const auto* sheet = static_cast<SheetModel*>(sourceModel());
    const bool leftNew = sheet->IsNewRow(left.row()), rightNew = sheet->IsNewRow(right.row());
    if (leftNew || rightNew)
      return (sortOrder() == Qt::AscendingOrder) ? rightNew && !leftNew : leftNew && !rightNew;
    return sheet->Less(left.row(), right.row(), left.column());
  }
};

// Line editors that commit through the sheet and stay open while it refuses their text.
class SheetDelegate : public QStyledItemDelegate {
 public:
  explicit SheetDelegate(SheetView* view) : QStyledItemDelegate(view), view_(view) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setProperty("sheetIndex", QVariant::fromValue(QPersistentModelIndex(index)));
    if (index.column() == SheetModel::kGrade) {
      QStringList letters;
      for (auto letter : kLetterGrades)
        letters << QString::fromLatin1(letter.data(), static_cast<int>(letter.size()));
      auto* completer = new QCompleter(letters, editor);
      completer->setCaseSensitivity(Qt::CaseInsensitive);
      editor->setCompleter(completer);
      // Tab and Enter in the offered letters commit the cell as they do in the editor.
      completer->popup()->setProperty("sheetEditor", QVariant::fromValue<QObject*>(editor));
      completer->popup()->installEventFilter(const_cast<SheetDelegate*>(this));
    }
    return editor;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
  }
  // Commits made by the view itself (the current cell moved) go through the same check.
  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const override {
    if (!editor->property("sheetCommitted").toBool())
      Commit(static_cast<QLineEdit*>(editor), NoHint, false);
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (auto* popup = qobject_cast<QAbstractItemView*>(object)) {
      auto* owner = qobject_cast<QLineEdit*>(popup->property("sheetEditor").value<QObject*>());
      if (!owner || event->type() != QEvent::KeyPress) return false;
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Tab && key != Qt::Key_Backtab && key != Qt::Key_Return &&
          key != Qt::Key_Enter)
        return false;
      if (popup->currentIndex().isValid()) owner->setText(popup->currentIndex().data().toString());
      return eventFilter(owner, event);
    }
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (!editor) return QStyledItemDelegate::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      // The typed text is what commits; the letters offered are a help only.
      if (editor->completer() && key->key() != Qt::Key_Escape) editor->completer()->popup()->hide();
      switch (key->key()) {
        case Qt::Key_Tab:
          Commit(editor, EditNextItem, true);
          return true;
        case Qt::Key_Backtab:
          Commit(editor, EditPreviousItem, true);
          return true;
        case Qt::Key_Enter:
        case Qt::Key_Return:
          Commit(editor, SubmitModelCache, true);
          return true;
        case Qt::Key_Escape:
          editor->setProperty("sheetCommitted", true);
          view_->SetRefusedEditor(nullptr);
          QToolTip::hideText();
          emit const_cast<SheetDelegate*>(this)->closeEditor(editor, RevertModelCache);
          view_->setFocus();
          return true;
        default:
          break;
      }
    } else if (event->type() == QEvent::FocusOut) {
      if (editor->property("sheetCommitted").toBool() || QApplication::activePopupWidget())
        return true;
      if (!editor->window()->isActiveWindow()) return true;  // another window: keep editing
      Commit(editor, NoHint, true);
      return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  // Commits the editor's text; refused, the editor stays open with the reason shown.
  void Commit(QLineEdit* editor, EndEditHint hint, bool close) const {
    const QPersistentModelIndex index =
        editor->property("sheetIndex").value<QPersistentModelIndex>();
    if (!index.isValid()) return;
    auto* proxy = view_->Proxy();
    SheetModel* sheet = view_->Sheet();
    const QModelIndex source = proxy->mapToSource(index);
    const int column = source.column();
    const QString text = editor->text();
    QPointer<QLineEdit> alive(editor);
    const SheetModel::Commit done = sheet->CommitText(source.row(), column, text);
    if (done.refused) {
      if (!alive) return;
      editor->setToolTip(done.reason);
      editor->setStyleSheet(QStringLiteral("QLineEdit { background: #fde2e2; color: black; }"));
      QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), done.reason, editor);
      view_->SetRefusedEditor(editor);
      return;
    }
    view_->SetRefusedEditor(nullptr);
    QToolTip::hideText();
    // A change of the class list has already closed every editor.
    if (alive && index.isValid()) {
      editor->setProperty("sheetCommitted", true);
      if (close) emit const_cast<SheetDelegate*>(this)->closeEditor(editor, NoHint);
    }
    if (!close) return;
    int row = source.row();
    if (done.cls) row = sheet->RowOf(*done.cls);
    if (row < 0) row = sheet->rowCount() - 1;
    view_->MoveAfterCommit(row, column, hint);
  }

  SheetView* view_;
};

}  // namespace

SheetModel* SheetView::Sheet() const { return static_cast<SheetModel*>(Proxy()->sourceModel()); }
QSortFilterProxyModel* SheetView::Proxy() const {
  return static_cast<QSortFilterProxyModel*>(model());
}

void SheetView::MoveAfterCommit(int sourceRow, int column,
                                QAbstractItemDelegate::EndEditHint hint) {
  const QModelIndex at = Proxy()->mapFromSource(Sheet()->index(sourceRow, column));
  int row = at.isValid() ? at.row() : model()->rowCount() - 1;
  int col = column;
  const int columns = model()->columnCount();
  // Tab steps over the read-only columns.
  auto editable = [this](int c) {
    return c != SheetModel::kGradePoints && c != SheetModel::kCounts;
  };
  if (hint == QAbstractItemDelegate::EditNextItem) {
    do {
      if (++col >= columns) col = 0, ++row;
    } while (!editable(col));
  } else if (hint == QAbstractItemDelegate::EditPreviousItem) {
    do {
      if (--col < 0) col = columns - 1, --row;
    } while (!editable(col));
  } else if (hint == QAbstractItemDelegate::SubmitModelCache) {
    ++row;
    col = startColumn_;
  }
  row = std::clamp(row, 0, model()->rowCount() - 1);
  const QModelIndex next = model()->index(row, col);
  const bool rowChanges = !currentIndex().isValid() || currentIndex().row() != row;
  const int start = startColumn_;
  setCurrentIndex(next);
  if (hint != QAbstractItemDelegate::SubmitModelCache && rowChanges &&
      hint != QAbstractItemDelegate::NoHint)
    startColumn_ = start;  // Tab into the next row keeps where the typing began
  scrollTo(next);
  setFocus();
}

void SheetView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (refused_ && current != previous) {
    // The refused text stays in its cell until it is corrected or abandoned.
    QTimer::singleShot(0, this, [this, previous] {
      if (refused_)
        selectionModel()->setCurrentIndex(previous, QItemSelectionModel::ClearAndSelect);
    });
    return;
  }
  if (current.isValid() && (!previous.isValid() || current.row() != previous.row()))
    startColumn_ = current.column();
  QTableView::currentChanged(current, previous);
}

void SheetView::keyPressEvent(QKeyEvent* event) {
  // Tab moves between cells; Ctrl+Tab leaves the table.
  if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
      (event->modifiers() & Qt::ControlModifier)) {
    // The widget's own focus move: the view's would move between cells.
    QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                !(event->modifiers() & Qt::ShiftModifier));
    return;
  }
  if (state() != EditingState) {
    if (event->key() == Qt::Key_Delete) {
      emit DeletePressed();
      return;
    }
    if (event->matches(QKeySequence::Paste)) {
      emit PastePressed();
      return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
      MoveAfterCommit(Proxy()->mapToSource(currentIndex()).row(), currentIndex().column(),
                      QAbstractItemDelegate::SubmitModelCache);
      return;
    }
    if (event->key() == Qt::Key_Tab && currentIndex().isValid()) {
      MoveAfterCommit(Proxy()->mapToSource(currentIndex()).row(), currentIndex().column(),
                      QAbstractItemDelegate::EditNextItem);
      return;
    }
  }
  QTableView::keyPressEvent(event);
}

SheetWindow::SheetWindow(BookDocument& doc, Prompts& prompts, const SettingsStore* settings,
                         QWidget* parent)
    : QMainWindow(parent, Qt::Window), doc_(doc), prompts_(prompts) {
  setWindowTitle(QStringLiteral("Class Sheet"));
  setObjectName(QStringLiteral("ClassSheet"));
  setAttribute(Qt::WA_DeleteOnClose);
  model_ = new SheetModel(doc, this);
  if (settings)
    model_->SetNewClassDefaults([settings] {
      return std::pair<int, double>(ReadDefGrade(*settings), ReadDefCredits(*settings));
    });
  proxy_ = new SheetProxy(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(SheetModel::kSortRole);
  proxy_->setFilterKeyColumn(-1);
  proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  proxy_->setDynamicSortFilter(false);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* filterRow = new QHBoxLayout;
  auto* filterLabel = new QLabel(QStringLiteral("&Filter:"), central);
  filter_ = new QLineEdit(central);
  filter_->setClearButtonEnabled(true);
  filter_->setPlaceholderText(QStringLiteral("Show the rows holding this text"));
  filter_->setAccessibleName(QStringLiteral("Filter"));
  filterLabel->setBuddy(filter_);
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(filter_, 1);
  layout->addLayout(filterRow);

  view_ = new SheetView(central);
  view_->setModel(proxy_);
  view_->setItemDelegate(new SheetDelegate(view_));
  view_->setAccessibleName(QStringLiteral("Classes"));
  // Unsorted until the user clicks a header: the book's own order.
  view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  view_->setSortingEnabled(true);
  view_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                         QAbstractItemView::EditKeyPressed);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  view_->setTabKeyNavigation(true);
  view_->setWordWrap(false);
  view_->setTextElideMode(Qt::ElideRight);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 8);
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  auto* header = view_->horizontalHeader();
  const int unit = view_->fontMetrics().averageCharWidth();
  const int widths[SheetModel::kColumns] = {16, 28, 9, 8, 13, 30, 9};
  for (int c = 0; c < SheetModel::kColumns; ++c) header->resizeSection(c, widths[c] * unit);
  header->setStretchLastSection(true);
  layout->addWidget(view_, 1);
  setCentralWidget(central);
  statusBar()->showMessage(
      QStringLiteral("Type into the last row to add a class; Ctrl+V pastes rows."));

  // The document's own history: Undo here takes back steps made in either window.
  auto* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  QAction* undo = doc.History()->createUndoAction(this, QStringLiteral("&Undo"));
  undo->setShortcuts({QKeySequence::Undo});
  QAction* redo = doc.History()->createRedoAction(this, QStringLiteral("&Redo"));
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addAction(undo);
  edit->addAction(redo);
  edit->addSeparator();
  QAction* paste = edit->addAction(QStringLiteral("&Paste Classes"));
  paste->setShortcut(QKeySequence::Paste);
  paste->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  QAction* remove = edit->addAction(QStringLiteral("&Delete Classes"));
  remove->setShortcut(QKeySequence::Delete);
  remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(paste, &QAction::triggered, this, [this] { Paste(QApplication::clipboard()->text()); });
  connect(remove, &QAction::triggered, this, &SheetWindow::DeleteSelection);
  connect(view_, &SheetView::PastePressed, this,
          [this] { Paste(QApplication::clipboard()->text()); });
  connect(view_, &SheetView::DeletePressed, this, &SheetWindow::DeleteSelection);

  connect(filter_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
  connect(model_, &SheetModel::Status, this,
          [this](const QString& text) { statusBar()->showMessage(text); });
  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { OnCurrentChanged(current); });
  // Sorting is a view taken at each click on a header (and again when rows come or go): an
  // edited cell keeps its row where it stands, so that typing is never interrupted by a re-sort.
  setTabOrder(filter_, view_);
  // The sheet opens on the current class's row, else on the empty row, ready for typing.
  // Opening it, and the focus coming to it, change nothing current in the other windows.
  IgnoreFocusForCurrent(view_);
  int row = model_->rowCount() - 1;
  if (const Class* c = doc.CurrentClassObj())
    if (const int at = model_->RowOf({*doc.CurrentSemester(), c->Name}); at >= 0) row = at;
  view_->selectionModel()->setCurrentIndex(proxy_->mapFromSource(model_->index(row, 0)),
                                           QItemSelectionModel::NoUpdate);
  view_->setFocus();

  const QRect screen = this->screen()->availableGeometry();
  resize(std::min(header->length() + 60, screen.width() - 40), std::min(520, screen.height() - 80));
}

void SheetWindow::closeEvent(QCloseEvent* event) {
  // Typed text is never dropped unseen: a refused cell is corrected or abandoned first.
  if (view_->HoldsRefusedText()) {
    statusBar()->showMessage(
        QStringLiteral("Correct the cell, or press Escape to abandon it, before closing."));
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

QString SheetWindow::StatusText() const { return statusBar()->currentMessage(); }

void SheetWindow::OnCurrentChanged(const QModelIndex& current) {
  if (!current.isValid()) return;
  const auto cls = model_->ClassAt(proxy_->mapToSource(current).row());
  if (!cls) return;
  doc_.Select(cls->semester, cls->cls);
  emit ClassSelected(QString::fromStdString(cls->semester), QString::fromStdString(cls->cls));
}

void SheetWindow::Paste(const QString& text) {
  std::string semester;
  const QModelIndex current = view_->currentIndex();
  if (current.isValid()) {
    const int row = proxy_->mapToSource(current).row();
    if (const auto cls = model_->ClassAt(row))
      semester = cls->semester;
    else
      semester = model_->NewRowSemester().toStdString();
  } else {
    semester = doc_.CurrentSemester().value_or(std::string());
  }
  const QString status = PasteClasses(doc_, prompts_, text, semester);
  if (!status.isEmpty()) statusBar()->showMessage(status);
}

void SheetWindow::DeleteSelection() {
  std::vector<edit::ClassRef> classes;
  std::vector<int> rows;
  for (const QModelIndex& index : view_->selectionModel()->selectedIndexes())
    rows.push_back(proxy_->mapToSource(index).row());
  if (rows.empty() && view_->currentIndex().isValid())
    rows.push_back(proxy_->mapToSource(view_->currentIndex()).row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (int row : rows)
    if (auto cls = model_->ClassAt(row)) classes.push_back(std::move(*cls));
  if (classes.empty()) return;
  const auto result = doc_.Run(edit::DeleteClasses(doc_.Book(), classes));
  statusBar()->showMessage(QString::fromStdString(result.status));
}

}  // namespace mw
