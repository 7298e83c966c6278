#include "ui/printing/report_printer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace mw {

QStringList ReportLines(const std::string& report) {
  QStringList lines =
      QString::fromUtf8(report.data(), static_cast<qsizetype>(report.size())).split(QStringLiteral("\r\n"));
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();  // the last line's end
  return lines;
}

bool PrintReportLines(QPrinter& printer, const QStringList& lines) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // The painter's origin is the top left corner of the printable area.
  const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());

  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSizeF(10);
  qreal widest = 0;
  {
    const QFontMetricsF metrics(font, &printer);
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  if (widest > page.width())
    font.setPointSizeF(std::max(6.0, std::floor(10 * page.width() / widest * 10) / 10));
  painter.setFont(font);
  const QFontMetricsF metrics(font, &printer);
  const qreal step = metrics.lineSpacing();
  const int perPage = std::max(1, static_cast<int>(page.height() / step));

  for (int i = 0; i < lines.size(); ++i) {
    if (i > 0 && i % perPage == 0 && !printer.newPage()) return false;
    const qreal y = page.top() + (i % perPage) * step + metrics.ascent();
    painter.drawText(QPointF(page.left(), y), lines[i]);
  }
  return painter.end();
}

}  // namespace mw
