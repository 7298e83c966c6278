#pragma once
// One step of the main window's undo history: a change of the editing layer.
#include <QUndoCommand>
#include <memory>

#include "edit/edit.h"
#include "ui/main_window/main_screen.h"

namespace mw {

class UndoStep : public QUndoCommand {
 public:
  UndoStep(MainScreen& window, std::unique_ptr<edit::Step> step)
      : QUndoCommand(QString::fromStdString(step->Name)), window_(window), step_(std::move(step)) {}

  // The first time, the command that made the step shows its own result; later, the window
  // shows the book again with the step's place current.
  void redo() override {
    step_->Redo(window_.gb_);
    if (first_) {
      first_ = false;
      return;
    }
    window_.Resync(step_->Touches, step_->AfterRedo);
  }
  void undo() override {
    step_->Undo(window_.gb_);
    window_.Resync(step_->Touches, step_->AfterUndo);
  }
  int id() const override { return 1; }
  bool mergeWith(const QUndoCommand* other) override {
    if (!step_->MergeWith(*static_cast<const UndoStep*>(other)->step_)) return false;
    setObsolete(!step_->Changes());
    return true;
  }

 private:
  MainScreen& window_;
  std::unique_ptr<edit::Step> step_;
  bool first_ = true;
};

}  // namespace mw
