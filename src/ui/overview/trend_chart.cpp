#include "ui/overview/trend_chart.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCursor>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGraphicsSceneHoverEvent>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <unordered_set>

namespace mw {

namespace {

// Above this many semesters the names lie on their side; above the second, they are left out
// (the axis title gives the range), since no screen holds them all.
constexpr int kUprightNames = 8;
constexpr int kNamedSemesters = 60;
// Below this many pixels a semester, the line's points would run together and its joins and
// the bars' outlines are finer than a pixel: the line is drawn without points and with plain
// joins, the bars without outlines.
constexpr qreal kPointRoom = 4;
constexpr qreal kOutlineRoom = 3;

// A tick step of 1, 2 or 5 times a power of ten giving four to ten steps over the range.
double TickStep(double range) {
  if (!(range > 0)) return 1;
  const double raw = range / 5;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

bool IsDark(const QPalette& p) { return p.color(QPalette::Window).lightness() < 128; }

// The outline of bars of half width r standing at 0, 1, 2, ... on one side of the axis: above
// it for the positive heights, below it for the negative ones. Bars wider than their place
// overlap, and the outline goes round them together (an outline crossing itself would leave
// the overlaps unfilled).
QList<QPointF> Outline(const QList<qreal>& heights, qreal r, bool above) {
  const qsizetype n = heights.size();
  const auto level = [&](qsizetype i) { return above ? std::max(heights[i], 0.0) : std::min(heights[i], 0.0); };
  const auto beyond = [&](qreal a, qreal b) { return above ? a >= b : a <= b; };
  QList<QPointF> points;
  std::deque<qsizetype> tallest;  // the bars standing over x, each further out than those after it
  qreal at = 0;
  for (qsizetype rise = 0, fall = 0; fall < n;) {
    const qreal x = rise < n ? std::min(rise - r, fall + r) : fall + r;
    for (; rise < n && rise - r <= x; ++rise) {
      while (!tallest.empty() && beyond(level(rise), level(tallest.back()))) tallest.pop_back();
      tallest.push_back(rise);
    }
    for (; fall < n && fall + r <= x; ++fall)
      if (!tallest.empty() && tallest.front() == fall) tallest.pop_front();
    const qreal to = tallest.empty() ? 0 : level(tallest.front());
    if (to != at) {
      points << QPointF(x, at) << QPointF(x, to);
      at = to;
    }
  }
  return points;
}

// A chart that passes the pointer's moves over its parts on (hover events go to the part
// under the pointer, which for the bars drawn as one shape says only when it is entered).
class HoverChart : public QChart {
 public:
  HoverChart() { setFiltersChildEvents(true); }
  std::function<void(QPointF)> moved;  // in the chart's coordinates

 protected:
  bool sceneEventFilter(QGraphicsItem* watched, QEvent* event) override {
    if (event->type() == QEvent::GraphicsSceneHoverMove && moved)
      moved(mapFromScene(static_cast<QGraphicsSceneHoverEvent*>(event)->scenePos()));
    return QChart::sceneEventFilter(watched, event);
  }
};

}  // namespace

TrendData MakeTrendData(const BookFigures& f, const std::optional<PlannedPoint>& plan) {
  TrendData d;
  // The category axis needs distinct names: a repeated (or empty) one gets a counter.
  std::unordered_set<std::string_view> used;
  std::deque<std::string> numbered;  // the names given a counter
  used.reserve(f.Rows.size() + 1);
  auto distinct = [&](std::string_view name, const std::string& base) {
    if (!used.count(name)) return name;
    for (int n = 2;; ++n) {
      std::string candidate = base + " (" + std::to_string(n) + ")";
      if (!used.count(candidate)) return std::string_view(numbered.emplace_back(std::move(candidate)));
    }
  };
  d.tips.reserve(f.Rows.size() + 1);
  for (const SemesterRow& r : f.Rows) {
    if (!r.Marked) continue;
    const std::string_view name = distinct(r.Name.empty() ? std::string_view("(no name)") : std::string_view(r.Name), r.Name);
    used.insert(name);
    const qreal position = d.categories.size();
    d.categories << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    const bool counted = r.Credits != 0;
    d.bars << (counted ? r.Gpa : 0.0);
    if (counted) d.line << QPointF(position, r.Cumulative);
    d.tips.push_back({r.Name, r.GpaText, r.CumulativeText, counted});
  }
  if (plan) {
    const std::string base = plan->name.toStdString();
    const QString name = QString::fromUtf8(distinct(base, base));
    const qreal position = d.categories.size();
    d.categories << name;
    d.bars << 0.0;
    if (!d.line.isEmpty()) d.plan << d.line.back();
    d.plan << QPointF(position, plan->cumulative);
    d.planTip = name + QLatin1Char('\n') +
                QStringLiteral("Planned GPA %1, cumulative GPA %2")
                    .arg(QString::number(plan->gpa, 'f', 2), QString::number(plan->cumulative, 'f', 2));
  }
  d.low = std::min(0.0, f.Lowest);
  d.high = f.Highest > d.low ? f.Highest : d.low + 1;
  return d;
}

QString TrendData::TipText(int i) const {
  if (i >= 0 && static_cast<size_t>(i) < tips.size()) {
    const TipFigures& t = tips[static_cast<size_t>(i)];
    return QString::fromStdString(t.name) + QLatin1Char('\n') +
           (t.counted ? QStringLiteral("GPA %1, cumulative GPA %2")
                            .arg(QString::fromStdString(t.gpa), QString::fromStdString(t.cumulative))
                      : QStringLiteral("No counted credits"));
  }
  return static_cast<size_t>(i) == tips.size() ? planTip : QString();
}

TrendChart::TrendChart() : chart_(new HoverChart), alive_(chart_) {
  chart_->setMargins(QMargins(6, 6, 6, 6));
  chart_->setBackgroundRoundness(0);
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setAnimationOptions(QChart::NoAnimation);

  auto* barSeries = new QBarSeries;
  bars_ = new QBarSet(QStringLiteral("Semester GPA"));
  barSeries->append(bars_);
  barSeries->setBarWidth(0.6);
  // Hovering a bar names its semester in full, with its figures.
  hover_ = QObject::connect(barSeries, &QBarSeries::hovered, chart_,
                            [this](bool on, int index) { ShowTip(on ? index : -1); });
  // Many narrow bars are drawn as one shape: a thousand bars are a thousand items to lay out.
  steps_ = new QAreaSeries(stepTop_ = new QLineSeries, stepBottom_ = new QLineSeries);
  stepTop_->setParent(steps_);
  stepBottom_->setParent(steps_);
  steps_->setName(bars_->label());
  stepHover_ = QObject::connect(steps_, &QAreaSeries::hovered, chart_, [this](QPointF at, bool on) {
    overSteps_ = on;
    ShowTip(on ? qRound(at.x()) : -1);
  });
  static_cast<HoverChart*>(chart_)->moved = [this](QPointF at) {
    if (overSteps_) ShowTip(qRound(chart_->mapToValue(at, steps_).x()));
  };
  line_ = new QLineSeries;
  line_->setName(QStringLiteral("Cumulative GPA"));
  line_->setPointsVisible(true);
  planLine_ = new QLineSeries;
  planLine_->setName(QStringLiteral("Planned"));  // the cumulative GPA with the plan
  planLine_->setPointsVisible(true);
  chart_->addSeries(barSeries);
  chart_->addSeries(steps_);
  chart_->addSeries(line_);
  chart_->addSeries(planLine_);

  xAxis_ = new QBarCategoryAxis;
  xAxis_->setTitleText(QStringLiteral("Semester"));
  yAxis_ = new QValueAxis;
  yAxis_->setTitleText(QStringLiteral("GPA"));
  yAxis_->setLabelFormat(QStringLiteral("%.1f"));
  yAxis_->setTickType(QValueAxis::TicksDynamic);
  yAxis_->setTickAnchor(0);
  // Semesters too many to name are counted on a plain axis: a category axis would compare
  // every name with all before it.
  xCount_ = new QValueAxis;
  xCount_->setLabelFormat(QStringLiteral(" "));
  xCount_->setGridLineVisible(false);
  xCount_->setTickCount(2);
  chart_->addAxis(xAxis_, Qt::AlignBottom);
  tilt_ = QObject::connect(chart_, &QChart::plotAreaChanged, chart_, [this] {
    if (named_) TiltNames(data_.categories);
    FitToDensity(data_.categories.size());
    if (const bool stepped = Stepped(data_.categories.size()); stepped != stepped_)
      UseSteps(stepped, data_.bars);
    else if (stepped_ && Room(data_.categories.size()) != stepRoom_)
      DrawSteps(data_.bars);
  });
  chart_->addAxis(yAxis_, Qt::AlignLeft);
  for (QAbstractSeries* s : chart_->series()) {
    s->attachAxis(xAxis_);
    s->attachAxis(yAxis_);
  }
  chart_->legend()->markers(steps_).front()->setVisible(false);
}

TrendChart::~TrendChart() {
  // The chart may outlive this (its view or scene owns it), and owns only the axis in use.
  QObject::disconnect(tilt_);
  QObject::disconnect(hover_);
  QObject::disconnect(stepHover_);
  if (alive_) static_cast<HoverChart*>(chart_)->moved = nullptr;
  if (named_)
    delete xCount_;
  else
    delete xAxis_;
}

void TrendChart::Show(const BookFigures& f) {
  TrendData d = MakeTrendData(f, plan_);
  // The axes and the way of drawing are set before the figures go in, so that the chart lays
  // out its bars and line once, and measures no name it does not show.
  if (d.categories != data_.categories) {
    data_.categories = d.categories;  // what a layout during the changes below goes by
    const int n = static_cast<int>(d.categories.size());
    const bool named = n <= kNamedSemesters;
    FitToDensity(n);
    xAxis_->clear();
    if (named) {
      TiltNames(d.categories);
      xAxis_->append(d.categories);
    } else {
      xCount_->setTitleText(QStringLiteral("Semester (1 to %1 of the marked semesters)").arg(n));
      xCount_->setRange(-0.5, n - 0.5);
    }
    if (named_ != named) {
      named_ = named;
      QAbstractAxis* to = named ? static_cast<QAbstractAxis*>(xAxis_) : xCount_;
      chart_->removeAxis(named ? static_cast<QAbstractAxis*>(xCount_) : xAxis_);
      chart_->addAxis(to, Qt::AlignBottom);
      for (QAbstractSeries* s : chart_->series()) s->attachAxis(to);
    }
  }
  if (d.low != data_.low || d.high != data_.high || yAxis_->max() != d.high) {
    yAxis_->setRange(d.low, d.high);
    yAxis_->setTickInterval(TickStep(d.high - d.low));
  }
  if (const bool stepped = Stepped(d.categories.size()); stepped != stepped_) {
    UseSteps(stepped, d.bars);
  } else if (d.bars != data_.bars && stepped_) {
    DrawSteps(d.bars);
  } else if (d.bars != data_.bars) {
    if (bars_->count() == d.bars.size()) {
      for (int i = 0; i < d.bars.size(); ++i)
        if (bars_->at(i) != d.bars[i]) bars_->replace(i, d.bars[i]);
    } else {
      bars_->remove(0, bars_->count());
      bars_->append(d.bars);
    }
  }
  if (d.line != data_.line) line_->replace(d.line);
  if (d.plan != data_.plan) planLine_->replace(d.plan);
  // The legend names the plan only while there is one.
  if (!chart_->legend()->markers(planLine_).isEmpty())
    chart_->legend()->markers(planLine_).front()->setVisible(!d.plan.isEmpty());
  data_ = std::move(d);
}

qreal TrendChart::Room(qsizetype n) const {
  return chart_->plotArea().isEmpty() ? 0 : chart_->plotArea().width() / std::max<qsizetype>(1, n);
}

bool TrendChart::Stepped(qsizetype n) const {
  return n > kNamedSemesters && Room(n) * 0.6 < kOutlineRoom;
}

void TrendChart::UseSteps(bool stepped, const QList<qreal>& bars) {
  stepped_ = stepped;
  bars_->remove(0, bars_->count());
  if (stepped) {
    DrawSteps(bars);
  } else {
    stepTop_->clear();
    stepBottom_->clear();
    bars_->append(bars);
  }
  chart_->legend()->markers(chart_->series().at(0)).front()->setVisible(!stepped);
  chart_->legend()->markers(steps_).front()->setVisible(stepped);
}

void TrendChart::DrawSteps(const QList<qreal>& bars) {
  // The bars' width as FitToDensity gives it: their place and the outline's pixel.
  stepRoom_ = Room(bars.size());
  if (stepRoom_ == 0) return;  // drawn once the chart is laid out
  const qreal r = (0.6 + 1 / stepRoom_) / 2;
  QList<QPointF> top = Outline(bars, r, true);
  QList<QPointF> bottom = Outline(bars, r, false);
  // The side with no bars is the axis, under the other side's whole length.
  if (bottom.isEmpty() && !top.isEmpty()) bottom = {top.front(), top.back()};
  if (top.isEmpty() && !bottom.isEmpty()) top = {bottom.front(), bottom.back()};
  stepTop_->replace(top);
  stepBottom_->replace(bottom);
}

void TrendChart::ShowTip(int index) {
  if (const QString tip = data_.TipText(index); index >= 0 && !tip.isEmpty())
    QToolTip::showText(QCursor::pos(), tip);
  else
    QToolTip::hideText();
}

void TrendChart::FitToDensity(qsizetype n) {
  const qreal room = Room(n);
  // Until the chart is laid out, semesters too many to name are taken to be too many for the
  // line's points, so that the line is not shaped twice.
  if (room == 0 && n <= kNamedSemesters) return;
  const bool points = room >= kPointRoom;
  if (line_->pointsVisible() != points) {
    line_->setPointsVisible(points);
    planLine_->setPointsVisible(points);
  }
  const Qt::PenJoinStyle join = points ? Qt::RoundJoin : Qt::BevelJoin;
  if (line_->pen().joinStyle() != join) {
    QPen pen = line_->pen();
    pen.setJoinStyle(join);
    line_->setPen(pen);
  }
  if (room == 0) return;  // the bars wait for the plot's width
  // A lone bar or two do not fill their whole place. Bars too narrow for an outline are drawn
  // as they look with one: a fill in the outline's colour over the width bar and outline cover.
  const bool outline = n < 3 || room * 0.6 >= kOutlineRoom;
  const qreal width = n < 3 ? 0.35 : outline ? 0.6 : 0.6 + 1 / room;
  auto* series = static_cast<QBarSeries*>(chart_->series().at(0));
  if (series->barWidth() != width) series->setBarWidth(width);
  QPen pen = bars_->pen();
  pen.setStyle(outline ? Qt::SolidLine : Qt::NoPen);
  if (bars_->pen() != pen) bars_->setPen(pen);
  const QColor fill = outline ? barColor_ : pen.color();
  if (bars_->color() != fill) bars_->setColor(fill);
}

void TrendChart::TiltNames(const QStringList& names) {
  // Names lie on their side when there are many, or once the widest no longer fits its place
  // along the axis (measured only when there are few).
  bool onSide = names.size() > kUprightNames;
  if (!onSide) {
    const QFontMetricsF m(xAxis_->labelsFont());
    qreal widest = 0;
    for (const QString& name : names)
      widest = std::max(widest, m.horizontalAdvance(name));
    // The axis gives each name the plot's width over one more than their number, less padding
    // on either side; the text's own box adds a margin too.
    onSide = widest > chart_->plotArea().width() / (names.size() + 1) - 30;
  }
  const int angle = onSide ? -90 : 0;
  if (xAxis_->labelsAngle() != angle) xAxis_->setLabelsAngle(angle);
}

void TrendChart::UsePalette(const QPalette& p) {
  const bool dark = IsDark(p);
  const QColor text = p.color(QPalette::WindowText);
  QColor grid = text;
  grid.setAlphaF(0.18);
  chart_->setBackgroundBrush(p.brush(QPalette::Window));
  chart_->setBackgroundPen(Qt::NoPen);
  chart_->setPlotAreaBackgroundVisible(false);
  chart_->legend()->setLabelColor(text);
  for (auto* axis : {static_cast<QAbstractAxis*>(xAxis_), static_cast<QAbstractAxis*>(xCount_),
                     static_cast<QAbstractAxis*>(yAxis_)}) {
    axis->setLabelsColor(text);
    axis->setTitleBrush(text);
    axis->setLinePenColor(grid);
    axis->setGridLineColor(grid);
  }
  xAxis_->setGridLineVisible(false);
  barColor_ = dark ? QColor(0x5b, 0x9b, 0xe6) : QColor(0x2f, 0x6d, 0xb5);
  bars_->setColor(barColor_);
  bars_->setBorderColor(barColor_.darker(dark ? 100 : 120));
  steps_->setColor(bars_->borderColor());  // as the bars look without their outline
  steps_->setPen(Qt::NoPen);
  const QColor lineColor = dark ? QColor(0xff, 0xb3, 0x4d) : QColor(0xd0, 0x62, 0x0c);
  QPen pen(lineColor);
  pen.setWidthF(2.5);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  line_->setPen(pen);
  pen.setStyle(Qt::DashLine);
  planLine_->setPen(pen);
  FitToDensity(data_.categories.size());
}

bool SaveChartPicture(QWidget* view, const QString& path) {
  if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(view->size());
    svg.setViewBox(QRect(QPoint(0, 0), view->size()));
    svg.setTitle(QStringLiteral("GPA Overview"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    view->render(&painter);
    painter.end();
    return QFileInfo(path).size() > 0;
  }
  QImage image(view->size() * 2, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(2);
  image.fill(view->palette().color(QPalette::Window));
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    view->render(&painter);
  }
  return image.save(path, "PNG");
}

}  // namespace mw
