#include "ui/widgets/lean_style.h"

#include <QApplication>
#include <QGroupBox>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace mw {
namespace {

// A standard icon asked of the style only when it is first drawn or measured. The menu bar
// asks for its overflow button's icon when it is made, and the button shows only when the
// menus do not fit.
class LaterIcon : public QIconEngine {
 public:
  LaterIcon(const QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

  // Sizes here are in device pixels, as QIcon hands them to its engine.
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio =
        painter->device() ? painter->device()->devicePixelRatio() : qApp->devicePixelRatio();
    painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, 1.0, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return pixmap(size, mode, state).size();
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  QIconEngine* clone() const override { return new LaterIcon(*this); }

 private:
  const QIcon& Icon() {
    if (icon_.isNull()) icon_ = style_->standardIcon(which_);
    return icon_;
  }

  const QStyle* style_;
  QStyle::StandardPixmap which_;
  QIcon icon_;
};

class LeanStyle : public QProxyStyle {
 public:
  LeanStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                     const QWidget* widget) const override {
    if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
      return QIcon(new LaterIcon(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
  }

  // Fusion's group box frame: its picture drawn around the box below the title, as Fusion
  // draws it, the picture read as PNG.
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_FrameGroupBox || GroupBoxFrame().isNull()) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    constexpr int kTopMargin = 3;
    int top = kTopMargin;
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    if (!box || box->isCheckable() || !box->title().isEmpty())
      top += qMax(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight),
                  option->fontMetrics.height());
    qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6),
                      GroupBoxFrame());
  }

 private:
  const QPixmap& GroupBoxFrame() const {
    if (!frameRead_) {
      QImageReader reader(
          QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"), "png");
      reader.setAutoDetectImageFormat(false);
      frame_ = QPixmap::fromImage(reader.read());
      frameRead_ = true;
    }
    return frame_;
  }

  mutable QPixmap frame_;
  mutable bool frameRead_ = false;
};

}  // namespace

QStyle* MakeLeanStyle() { return new LeanStyle; }

void UseLeanStyle() {
  if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
    QApplication::setStyle(MakeLeanStyle());
}

}  // namespace mw
