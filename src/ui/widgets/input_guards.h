#pragma once
// Small guards against input that would change data the user did not mean to touch.
class QAbstractItemView;
class QComboBox;

namespace mw {

// The mouse wheel changes the box's entry only while the box has the focus (clicked or tabbed
// into); otherwise the wheel goes on to the widgets beneath, so scrolling past it is harmless.
// The box takes the focus by click or Tab, not by the wheel.
void GuardWheel(QComboBox* box);

// A press on the view's empty space (below the last entry, say) leaves the selection as it is,
// and a drag begun there selects nothing.
void KeepSelectionOnEmptyClicks(QAbstractItemView* view);

}  // namespace mw
