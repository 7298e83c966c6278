#pragma once
// The open grade book and everything a view of it needs: the book itself, what is selected
// (the current semester and class; the semester check marks live in the book's semester list),
// the undo history and whether there are unsaved changes.
//
// Every change goes through Run: an outcome of the editing layer (edit/edit.h) becomes one step
// of the history. Each time a step is made, undone or made again the document emits Changed with
// what the step touched and where it happened; every window listens and refreshes only that.
// Views never write into the book themselves.
#include <QObject>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "model/gradebook.h"
#include "storage/book_files.h"

class QUndoStack;

namespace mw {

class BookDocument : public QObject {
  Q_OBJECT

 public:
  static constexpr int kUndoLimit = 1000;
  // The history also keeps at most this many bytes of steps, dropping the oldest.
  static constexpr std::size_t kHistoryBytes = std::size_t{64} << 20;

  // Touch bits of changes that are not steps of the history (see edit::Touch for the rest).
  static constexpr unsigned kMarks = 1u << 16;      // the semester check marks
  static constexpr unsigned kEverything = ~0u;      // a new or loaded book

  // How a change came about.
  enum class Cause { Do, Undo, Redo, Marks, Reset };

  // What Run did: the status line's message (may be empty), whether a check refused the
  // command, and whether the book changed.
  struct Result {
    std::string status;
    bool refused = false;
    bool changed = false;
    explicit operator bool() const { return !refused; }
  };

  // historyBytes bounds the memory the undo history keeps (kHistoryBytes unless told).
  explicit BookDocument(QObject* parent = nullptr, std::size_t historyBytes = kHistoryBytes);
  ~BookDocument() override;

  const GradeBook& Book() const { return book_; }
  QUndoStack* History() const { return history_; }

  // ---- Changes ----
  // Makes the outcome's step (when it has one) as a new step of the history.
  Result Run(edit::Outcome outcome);
  // Replaces the whole book (New, Load): the history starts afresh, nothing is selected, and
  // there are no unsaved changes.
  void Reset(GradeBook book);
  // The file the book is kept in and how (a load, Save As, a protected save). Not a step, and
  // not a change of the book's content.
  void SetFileState(const std::string& fileName, const std::string& fullFileName,
                    bool isProtected, const std::string& password);
  // Writes the book to path (see SaveBookFile); a protected save may take a new password.
  // Does not mark the book saved: the caller decides whether path is the book's own file.
  SaveStatus SaveTo(const std::string& path, const PasswordPrompt& prompt,
                    const std::function<void(const std::string&)>& tell);
  // The semester check marks: not steps of the history.
  void SetMarked(int row, bool marked);
  void SetAllMarked(bool marked);

  // ---- Selection ----
  const std::optional<std::string>& CurrentSemester() const { return semester_; }
  const std::optional<std::string>& CurrentClass() const { return class_; }
  // Makes a semester (and a class of it) current; emits SelectionChanged when that differs.
  void Select(std::optional<std::string> semester, std::optional<std::string> cls = {});
  void SelectClass(std::optional<std::string> cls);
  // The current semester and class objects; null when there is none or it no longer exists.
  const Semester* CurrentSemesterObj() const;
  const Class* CurrentClassObj() const;

  // ---- Unsaved changes ----
  bool IsModified() const;
  // The book was written to its file.
  void MarkSaved();


 signals:
  // The book changed: touches are edit::Touch bits (or kMarks, or kEverything), place is where
  // the change is. Before emitting, the document has made the place current: for an undo or
  // redo both its semester and class; for a step just made only its semester, since the class
  // the user edits stays current unless the step removed it.
  void Changed(unsigned touches, const mw::edit::Place& place, mw::BookDocument::Cause cause);
  // The current semester or class changed.
  void SelectionChanged();
  // Unsaved changes appeared or went away.
  void ModifiedChanged(bool modified);

 private:
  friend class DocumentStep;
  // A step was made or undone: the place becomes current, the selection drops what no longer
  // exists, and the views hear of it.
  void StepDone(const edit::Step& step, const edit::Place& place, Cause cause);
  // Drops a current semester or class that no longer exists.
  void KeepSelectionValid();
  // Drops the oldest steps while the history holds more than kHistoryBytes.
  void TrimHistory();

  GradeBook book_;
  std::optional<std::string> semester_;
  std::optional<std::string> class_;
  QUndoStack* history_ = nullptr;
  std::size_t historyBytes_;
  bool rebuilding_ = false;  // TrimHistory puts steps back: none is made or undone again
};

}  // namespace mw
