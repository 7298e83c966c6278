#include "ui/widgets/access.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace mw {

namespace {

double Luminance(const QColor& c) {
  auto channel = [](double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  const QColor rgb = c.toRgb();
  return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
         0.0722 * channel(rgb.blueF());
}

// The colour with its hue and saturation, darkened or lightened just enough to reach the
// ratio against the background.
QColor ReadableOn(const QColor& colour, const QColor& background, double ratio = 4.5) {
  const QColor hsl = colour.toHsl();
  const bool darken = Luminance(background) > 0.18;
  QColor best = colour;
  // Lightness in small steps away from the background until the ratio holds.
  for (int l = hsl.lightness(); l >= 0 && l <= 255; l += darken ? -1 : 1) {
    best = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), l);
    if (ContrastRatio(best, background) >= ratio) break;
  }
  return best.toRgb();
}

// Passes a focus-in on as if a click had brought it, the one reason for which an item view
// does not make its first entry current. The click that follows a real one picks its entry.
class FocusKeeper : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::FocusIn || passing_) return false;
    auto* view = static_cast<QAbstractItemView*>(watched);
    if (view->currentIndex().isValid() ||
        static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
      return false;
    QFocusEvent asClick(QEvent::FocusIn, Qt::MouseFocusReason);
    passing_ = true;
    QCoreApplication::sendEvent(view, &asClick);
    passing_ = false;
    return true;
  }

 private:
  bool passing_ = false;
};

// Lays a list's entries out no wider than the list, so that long ones are cut short.
class NoWiderThanList : public QStyledItemDelegate {
 public:
  explicit NoWiderThanList(QListView* list) : QStyledItemDelegate(list), list_(list) {}

  bool capped = true;  // off: the width the whole entry needs

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (capped) size.setWidth(std::min(size.width(), list_->viewport()->width()));
    return size;
  }

 private:
  QListView* list_;
};

// Shows the whole text of an entry its column cuts short, above any tooltip of its own.
class ElidedTips : public QObject {
 public:
  explicit ElidedTips(QAbstractItemView* view) : QObject(view), view_(view) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = view_->indexAt(help->pos());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return false;
    const QRect cell = view_->visualRect(index);
    auto* cap = dynamic_cast<NoWiderThanList*>(view_->itemDelegate());
    if (cap) cap->capped = false;
    const int needed = view_->sizeHintForIndex(index).width();
    if (cap) cap->capped = true;
    if (needed <= cell.width()) return false;
    const QString own = index.data(Qt::ToolTipRole).toString();
    QToolTip::showText(help->globalPos(), own.isEmpty() ? text : text + QLatin1Char('\n') + own,
                       view_->viewport(), cell);
    return true;
  }

 private:
  QAbstractItemView* view_;
};

// Draws a label's text cut short when it does not fit, and shows it whole as the tooltip.
class LabelElider : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint && event->type() != QEvent::ToolTip) return false;
    auto* label = static_cast<QLabel*>(watched);
    const QRect room = label->contentsRect();
    const QString full = label->text();
    const QString shown = label->fontMetrics().elidedText(full, Qt::ElideRight, room.width());
    if (shown == full) return false;
    if (event->type() == QEvent::Paint) {
      QPainter painter(label);
      const Qt::Alignment align =
          QStyle::visualAlignment(label->layoutDirection(), label->alignment());
      label->style()->drawItemText(&painter, room, align, label->palette(), label->isEnabled(),
                                   shown, label->foregroundRole());
      return true;
    }
    const QString own = label->toolTip();
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       own.isEmpty() ? full : full + QLatin1Char('\n') + own, label);
    return true;
  }
};

// Sets the label's text colour from its palette's highlight and background, now and whenever
// the palette changes (setting it changes it once more, to no effect).
class ReadableHighlight : public QObject {
 public:
  explicit ReadableHighlight(QLabel* label) : QObject(label) { Apply(label); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::PaletteChange) Apply(static_cast<QLabel*>(watched));
    return false;
  }

 private:
  static void Apply(QLabel* label) {
    QPalette pal = label->palette();
    const QColor text = ReadableOn(pal.color(QPalette::Highlight), pal.color(QPalette::Window));
    if (pal.color(QPalette::WindowText) == text) return;
    pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
  }
};

}  // namespace

void NameByLabel(QLabel* label, QWidget* control) {
  label->setBuddy(control);
  if (!control->accessibleName().isEmpty()) return;
  QString words = label->text();
  words.remove(QLatin1Char('&'));
  words = words.trimmed();
  if (words.endsWith(QLatin1Char(':'))) words.chop(1);
  control->setAccessibleName(words);
}

void ElideWhenCut(QLabel* label) {
  label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
  label->installEventFilter(new LabelElider(label));
}

void DrawInReadableHighlight(QLabel* label) {
  label->installEventFilter(new ReadableHighlight(label));
}

void KeepCurrentOnFocus(QAbstractItemView* view) {
  view->setTabKeyNavigation(false);
  IgnoreFocusForCurrent(view);
}

void IgnoreFocusForCurrent(QAbstractItemView* view) { view->installEventFilter(new FocusKeeper(view)); }

void TipElidedEntries(QAbstractItemView* view) {
  if (auto* list = qobject_cast<QListView*>(view)) {
    list->setItemDelegate(new NoWiderThanList(list));
    list->setResizeMode(QListView::Adjust);
  }
  view->viewport()->installEventFilter(new ElidedTips(view));
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace mw
