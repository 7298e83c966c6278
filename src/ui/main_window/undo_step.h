#pragma once
// One step of the main window's undo history: a change of the editing layer.
#include <QUndoCommand>
#include <QUndoStack>
#include <cstddef>
#include <memory>
#include <vector>

#include "edit/edit.h"
#include "ui/main_window/main_screen.h"

namespace mw {

class UndoStep : public QUndoCommand {
 public:
  // made: the change is in the book already (a history being rebuilt).
  UndoStep(MainScreen& window, std::unique_ptr<edit::Step> step, bool made = false)
      : QUndoCommand(QString::fromStdString(step->Name)),
        window_(window),
        step_(std::move(step)),
        first_(!made) {}

  // The first time, the command that made the step shows its own result; later, the window
  // shows the book again with the step's place current.
  void redo() override {
    if (replaying_) return;
    step_->Redo(window_.gb_);
    if (first_) {
      first_ = false;
      return;
    }
    window_.Resync(step_->Touches, step_->AfterRedo);
  }
  void undo() override {
    if (replaying_) return;
    step_->Undo(window_.gb_);
    window_.Resync(step_->Touches, step_->AfterUndo);
  }
  int id() const override { return 1; }
  bool mergeWith(const QUndoCommand* other) override {
    if (replaying_ || !step_->MergeWith(*static_cast<const UndoStep*>(other)->step_)) return false;
    setObsolete(!step_->Changes());
    return true;
  }

  std::size_t Bytes() const { return step_->Bytes; }

  // Bounds the history in bytes: while its steps hold more than budget, the oldest go (never
  // the newest, nor a step that is undone). QUndoStack cannot drop its oldest commands, so the
  // history is rebuilt from the steps kept, at the same place and with the same saved state,
  // without making or undoing any of them again.
  static void TrimHistory(QUndoStack& stack, MainScreen& window, std::size_t budget) {
    const int count = stack.count(), index = stack.index(), clean = stack.cleanIndex();
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) total += At(stack, i).Bytes();
    int drop = 0;
    while (total > budget && drop < index - 1) total -= At(stack, drop++).Bytes();
    if (drop == 0) return;
    std::vector<std::unique_ptr<edit::Step>> kept;
    for (int i = drop; i < count; ++i) kept.push_back(std::move(At(stack, i).step_));
    replaying_ = true;
    stack.clear();
    for (auto& step : kept) stack.push(new UndoStep(window, std::move(step), true));
    if (clean >= drop) {
      stack.setIndex(clean - drop);
      stack.setClean();
    } else {
      stack.resetClean();  // the saved state was among the steps dropped
    }
    stack.setIndex(index - drop);
    replaying_ = false;
  }

 private:
  // The history owns its commands; trimming takes their steps just before it deletes them.
  static UndoStep& At(QUndoStack& stack, int i) {
    return *const_cast<UndoStep*>(static_cast<const UndoStep*>(stack.command(i)));
  }

  MainScreen& window_;
  std::unique_ptr<edit::Step> step_;
  bool first_ = true;
  static inline bool replaying_ = false;  // while a history is rebuilt
};

}  // namespace mw
