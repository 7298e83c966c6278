#include "ui/widgets/elided_label.h"

#include <QEvent>
#include <QFontMetrics>

namespace mw {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
  setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());
}

void ElidedLabel::SetFullText(const QString& text) {
  full_ = text;
  setAccessibleDescription(text);
  Elide();
}

QSize ElidedLabel::minimumSizeHint() const {
  return {1, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) Elide();
}

void ElidedLabel::Elide() {
  const int room = contentsRect().width() - 2 * margin() - (indent() > 0 ? indent() : 0);
  const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, room);
  if (shown != text()) setText(shown);
  setToolTip(shown == full_ ? QString() : full_);
}

}  // namespace mw
