#include "ui/overview/overview_print.h"

#include <QApplication>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPainter>
#include <QPalette>
#include <QPrinter>
#include <algorithm>

#include "ui/overview/overview_tables.h"
#include "ui/overview/trend_chart.h"

namespace mw {

namespace {

// The chart is laid out at this width in its own units, then drawn to the page's width.
constexpr qreal kChartWidth = 760;

QPalette PaperPalette() {
  QPalette p;
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, Qt::black);
  p.setColor(QPalette::Text, Qt::black);
  p.setColor(QPalette::Base, Qt::white);
  return p;
}

}  // namespace

bool PrintOverview(QPrinter& printer, const BookFigures& f, const QString& bookName,
                   const QString& dateText) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRectF page(QPointF(0, 0),
                    printer.pageLayout().paintRectPixels(printer.resolution()).size());

  QFont body = QApplication::font();
  body.setPointSizeF(10);
  QFont bold = body;
  bold.setBold(true);
  QFont title = bold;
  title.setPointSizeF(16);
  QFont small = body;
  small.setPointSizeF(8);
  const QFontMetricsF bodyMetrics(body, &printer);
  const qreal line = bodyMetrics.lineSpacing();
  const qreal footer = 2 * QFontMetricsF(small, &printer).lineSpacing();
  int pageNumber = 1;
  auto drawFooter = [&] {
    painter.setFont(small);
    painter.drawText(QRectF(page.left(), page.bottom() - footer, page.width(), footer),
                     Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("GPA Overview - page %1").arg(pageNumber));
  };

  // Heading.
  qreal y = 0;
  painter.setFont(title);
  const qreal titleHeight = QFontMetricsF(title, &printer).lineSpacing();
  painter.drawText(QRectF(0, y, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("GPA Overview"));
  y += titleHeight + line * 0.3;
  painter.setFont(body);
  QStringList heading;
  if (!bookName.isEmpty()) heading << QStringLiteral("Grade book: ") + bookName;
  heading << QStringLiteral("Grading method: ") +
                 (f.MethodIndex >= 0 ? QString::fromStdString(f.MethodName) : QStringLiteral("(none)"));
  heading << QStringLiteral("Printed on ") + dateText;
  for (const QString& text : heading) {
    painter.drawText(QRectF(0, y, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                     bodyMetrics.elidedText(text, Qt::ElideRight, page.width()));
    y += line;
  }
  y += line * 0.5;

  // The chart, in its own scene, in light colours whatever the screen's palette.
  {
    const qreal height = std::min(page.height() * 0.4, page.width() * 0.5);
    QGraphicsScene scene;
    TrendChart chart;
    scene.addItem(chart.Chart());
    chart.UsePalette(PaperPalette());
    chart.Show(f);
    const QSizeF size(kChartWidth, kChartWidth * height / page.width());
    chart.Chart()->resize(size);
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(0, y, page.width(), height), scene.sceneRect());
    y += height + line;
  }

  // The table.
  const QStringList headers = SemesterHeaders();
  const std::vector<FiguresRow> rows = SemesterRows(f);
  const QFontMetricsF boldMetrics(bold, &printer);
  const qreal pad = bodyMetrics.horizontalAdvance(QStringLiteral("  "));
  QList<qreal> widths;
  for (int c = 0; c < headers.size(); ++c) {
    qreal w = boldMetrics.horizontalAdvance(headers[c]);
    if (c != 1)
      for (const FiguresRow& r : rows) w = std::max(w, boldMetrics.horizontalAdvance(r.cells[c]));
    widths << w + pad;
  }
  qreal others = 0;
  for (int c = 0; c < widths.size(); ++c) others += c == 1 ? 0 : widths[c];
  widths[1] = std::max(page.width() - others, page.width() * 0.25);
  const qreal rowHeight = line * 1.25;

  auto cellRect = [&](int c, qreal top) {
    qreal x = 0;
    for (int i = 0; i < c; ++i) x += widths[i];
    return QRectF(x, top, widths[c] - pad / 2, rowHeight);
  };
  auto align = [](int c) {
    return Qt::AlignVCenter | (c >= kSemesterNumbersFrom ? Qt::AlignRight : Qt::AlignLeft);
  };
  auto drawHeader = [&] {
    painter.setFont(bold);
    for (int c = 0; c < headers.size(); ++c)
      painter.drawText(cellRect(c, y), align(c), headers[c]);
    y += rowHeight;
    painter.drawLine(QPointF(0, y), QPointF(page.width(), y));
  };
  drawHeader();
  for (size_t i = 0; i < rows.size(); ++i) {
    const FiguresRow& r = rows[i];
    if (y + rowHeight > page.height() - footer) {
      drawFooter();
      if (!printer.newPage()) return false;
      ++pageNumber;
      y = 0;
      drawHeader();
    }
    if (r.bold) painter.drawLine(QPointF(0, y), QPointF(page.width(), y));
    painter.setFont(r.bold ? bold : body);
    painter.setPen(r.dimmed ? QColor(Qt::darkGray) : QColor(Qt::black));
    for (int c = 0; c < r.cells.size(); ++c) {
      QString text = r.cells[c];
      if (c == 0 && r.checked >= 0) text = r.checked ? QStringLiteral("Yes") : QStringLiteral("No");
      const QFontMetricsF m(painter.font(), &printer);
      painter.drawText(cellRect(c, y), align(c), m.elidedText(text, Qt::ElideRight, widths[c] - pad / 2));
    }
    painter.setPen(Qt::black);
    y += rowHeight;
  }
  drawFooter();
  return painter.end();
}

}  // namespace mw
