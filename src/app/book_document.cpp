#include "app/book_document.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <utility>

namespace mw {

// One step of the history: a change of the editing layer, made on the document's book.
class DocumentStep : public QUndoCommand {
 public:
  DocumentStep(BookDocument& doc, std::unique_ptr<edit::Step> step)
      : QUndoCommand(QString::fromStdString(step->Name)), doc_(doc), step_(std::move(step)) {}

  void redo() override {
    if (doc_.rebuilding_) {
      first_ = false;
      return;
    }
    step_->Redo(doc_.book_);
    doc_.StepDone(*step_, step_->AfterRedo, first_ ? BookDocument::Cause::Do
                                                   : BookDocument::Cause::Redo);
    first_ = false;
  }
  void undo() override {
    if (doc_.rebuilding_) return;
    step_->Undo(doc_.book_);
    doc_.StepDone(*step_, step_->AfterUndo, BookDocument::Cause::Undo);
  }
  // Only steps that can fold a continued edit into themselves take part in merging.
  int id() const override { return step_->MergeId(); }
  std::size_t Bytes() const { return step_ ? step_->Bytes : 0; }
  std::unique_ptr<edit::Step> Release() { return std::move(step_); }
  bool mergeWith(const QUndoCommand* other) override {
    if (!step_->MergeWith(*static_cast<const DocumentStep*>(other)->step_)) return false;
    setObsolete(!step_->Changes());
    return true;
  }

 private:
  BookDocument& doc_;
  std::unique_ptr<edit::Step> step_;
  bool first_ = true;
};

BookDocument::BookDocument(QObject* parent, std::size_t historyBytes)
    : QObject(parent), history_(new QUndoStack(this)), historyBytes_(historyBytes) {
  history_->setUndoLimit(kUndoLimit);
  ResetToFresh(book_);
  connect(history_, &QUndoStack::cleanChanged, this,
          [this](bool clean) { emit ModifiedChanged(!clean); });
}

BookDocument::~BookDocument() = default;

BookDocument::Result BookDocument::Run(edit::Outcome outcome) {
  Result result;
  result.status = std::move(outcome.status);
  result.refused = outcome.refused;
  if (outcome.step) {
    history_->push(new DocumentStep(*this, std::move(outcome.step)));
    result.changed = true;
    TrimHistory();
  }
  return result;
}

void BookDocument::Reset(GradeBook book) {
  book_ = std::move(book);
  semester_.reset();
  class_.reset();
  history_->clear();
  emit Changed(kEverything, edit::Place{}, Cause::Reset);
  emit SelectionChanged();
}

void BookDocument::SetFileState(const std::string& fileName, const std::string& fullFileName,
                                bool isProtected, const std::string& password) {
  book_.FileName = fileName;
  book_.FullFileName = fullFileName;
  book_.IsPassProtected = isProtected;
  book_.Password = password;
}

SaveStatus BookDocument::SaveTo(const std::string& path, const PasswordPrompt& prompt,
                                const std::function<void(const std::string&)>& tell) {
  return SaveBookFile(book_, path, prompt, tell);
}

void BookDocument::SetMarked(int row, bool marked) {
  if (row < 0 || row >= static_cast<int>(book_.SemesterOrder.size())) return;
  auto& entry = book_.SemesterOrder[static_cast<size_t>(row)];
  if (entry.Marked == marked) return;
  entry.Marked = marked;
  emit Changed(kMarks, edit::Place{}, Cause::Marks);
}

void BookDocument::SetAllMarked(bool marked) {
  if (marked)
    book_.SelectAllSemesters();
  else
    book_.DeselectAllSemesters();
  emit Changed(kMarks, edit::Place{}, Cause::Marks);
}

void BookDocument::Select(std::optional<std::string> semester, std::optional<std::string> cls) {
  if (semester == semester_ && cls == class_) return;
  semester_ = std::move(semester);
  class_ = std::move(cls);
  emit SelectionChanged();
}

void BookDocument::SelectClass(std::optional<std::string> cls) { Select(semester_, std::move(cls)); }

const Semester* BookDocument::CurrentSemesterObj() const {
  return semester_ ? book_.FindSemester(*semester_) : nullptr;
}

const Class* BookDocument::CurrentClassObj() const {
  const Semester* s = CurrentSemesterObj();
  return s && class_ ? GradeBook::FindClass(s, *class_) : nullptr;
}

bool BookDocument::IsModified() const { return !history_->isClean(); }

void BookDocument::MarkSaved() { history_->setClean(); }

void BookDocument::StepDone(const edit::Step& step, const edit::Place& place, Cause cause) {
  const auto oldSemester = semester_;
  const auto oldClass = class_;
  if (place.semester) {
    semester_ = place.semester;
    if (cause != Cause::Do) class_ = place.cls;
  }
  KeepSelectionValid();
  emit Changed(step.Touches, place, cause);
  if (semester_ != oldSemester || class_ != oldClass) emit SelectionChanged();
}

void BookDocument::TrimHistory() {
  // The history owns its commands; the steps kept are taken out just before it deletes them.
  auto at = [this](int i) {
    return const_cast<DocumentStep*>(static_cast<const DocumentStep*>(history_->command(i)));
  };
  const int count = history_->count(), index = history_->index(), clean = history_->cleanIndex();
  std::size_t total = 0;
  for (int i = 0; i < count; ++i) total += at(i)->Bytes();
  int drop = 0;
  while (total > historyBytes_ && drop < index - 1) total -= at(drop++)->Bytes();
  if (drop == 0) return;
  std::vector<std::unique_ptr<edit::Step>> kept;
  for (int i = drop; i < count; ++i) kept.push_back(at(i)->Release());
  // The book stays as it is: the steps go back in, marked as made up to where the history
  // stood, and the saved state keeps its place unless it was among those dropped.
  rebuilding_ = true;
  history_->clear();
  for (auto& step : kept) history_->push(new DocumentStep(*this, std::move(step)));
  if (clean >= drop) {
    history_->setIndex(clean - drop);
    history_->setClean();
  } else {
    history_->resetClean();
  }
  history_->setIndex(index - drop);
  rebuilding_ = false;
}

void BookDocument::KeepSelectionValid() {
  if (semester_ && book_.SemesterEntryIndex(*semester_) < 0) semester_.reset();
  if (!semester_ || (class_ && !CurrentClassObj())) class_.reset();
}

}  // namespace mw
