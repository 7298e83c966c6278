#pragma once
// Small helpers that let keyboard and screen-reader users work every window: controls named
// by their labels, item views that Tab leaves and that focus alone does not change, figures
// drawn in a colour that stays readable, and cut-off entries given in full as tooltips.
#include <QColor>

class QAbstractItemView;
class QLabel;
class QWidget;

namespace mw {

// The label names the control: it becomes the label's buddy (the "labelled by" relation a
// screen reader follows), and the control takes the label's words as its accessible name
// unless it has one. Item views need the name, as they do not read it from the buddy.
void NameByLabel(QLabel* label, QWidget* control);

// The view's current entry changes only by a key or a click: taking the focus (Tab, or the
// window being activated) leaves it as it is. Tab and Shift+Tab leave the view.
void KeepCurrentOnFocus(QAbstractItemView* view);
// The same without changing what Tab does (a sheet whose Tab moves from cell to cell).
void IgnoreFocusForCurrent(QAbstractItemView* view);

// An entry cut short by its column, or by a list's width, shows its whole text as a tooltip.
void TipElidedEntries(QAbstractItemView* view);

// A one-line label whose text does not fit is drawn cut short with "…", and its tooltip
// gives the whole text. Its width no longer grows with its text.
void ElideWhenCut(QLabel* label);

// The label's text takes the highlight's hue in a shade that reads well (4.5:1) on the
// window's background, and again whenever the application's palette changes.
void DrawInReadableHighlight(QLabel* label);

// The WCAG contrast ratio of two colours, from 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

}  // namespace mw
