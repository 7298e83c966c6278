#include "ui/widgets/input_guards.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QMouseEvent>
#include <QWheelEvent>

namespace mw {
namespace {

class WheelGuard : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Wheel) {
      auto* box = static_cast<QWidget*>(watched);
      if (!box->hasFocus()) {
        event->ignore();  // handled here, not accepted: the parent gets it
        return true;
      }
    }
    return false;
  }
};

class EmptyClickGuard : public QObject {
 public:
  EmptyClickGuard(QAbstractItemView* view) : QObject(view), view_(view) {}

  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        swallowing_ = !view_->indexAt(mouse->position().toPoint()).isValid();
        return swallowing_;
      }
      case QEvent::MouseMove:
        return swallowing_;
      case QEvent::MouseButtonRelease: {
        const bool swallow = swallowing_;
        swallowing_ = false;
        return swallow;
      }
      default:
        return false;
    }
  }

 private:
  QAbstractItemView* view_;
  bool swallowing_ = false;  // from a press on empty space to its release
};

}  // namespace

void GuardWheel(QComboBox* box) {
  box->setFocusPolicy(Qt::StrongFocus);
  box->installEventFilter(new WheelGuard(box));
}

void KeepSelectionOnEmptyClicks(QAbstractItemView* view) {
  view->viewport()->installEventFilter(new EmptyClickGuard(view));
}

}  // namespace mw
