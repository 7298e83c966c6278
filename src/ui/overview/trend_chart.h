#pragma once
// The overview's trend chart: a bar for the GPA of each counted semester and a line for the
// cumulative GPA, over the marked semesters in display order, on a GPA axis from 0 to the
// highest grade points of the method in use.
#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "model/figures.h"

class QPalette;
class QWidget;
QT_BEGIN_NAMESPACE
class QAreaSeries;
class QBarCategoryAxis;
class QBarSet;
class QChart;
class QLineSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace mw {

// What the chart shows. A marked semester with no counted credits keeps its place on the
// semester axis, with no bar and no point of the line, which runs on from the semester
// before to the one after.
struct TrendData {
  QStringList categories;  // the marked semesters' names, made unique
  QList<qreal> bars;       // per category; 0 (no bar) where nothing is counted
  QList<QPointF> line;     // (category position, cumulative GPA), counted semesters only
  // Per category, what its tooltip gives: the full name and its figures (TipText words it).
  struct TipFigures {
    std::string name, gpa, cumulative;
    bool counted = false;
  };
  std::vector<TipFigures> tips;
  QString planTip;         // the plan's tooltip, the last category's while there is a plan
  QList<QPointF> plan;     // the planned continuation of the line: from its last point on
  qreal low = 0, high = 1;  // the GPA axis

  // The tooltip of category i: its full name and figures.
  QString TipText(int i) const;
};
// Planned classes after the marked semesters: their GPA and the cumulative GPA with them.
struct PlannedPoint {
  QString name;
  qreal gpa = 0;
  qreal cumulative = 0;
  friend bool operator==(const PlannedPoint&, const PlannedPoint&) = default;
};
// With a plan, it takes the last place on the semester axis, with no bar, and the line runs on
// to it dashed.
TrendData MakeTrendData(const BookFigures& f, const std::optional<PlannedPoint>& plan = {});

class TrendChart {
 public:
  TrendChart();  // the chart is owned by whoever takes Chart() (a view or a scene)
  ~TrendChart();
  TrendChart(const TrendChart&) = delete;
  TrendChart& operator=(const TrendChart&) = delete;

  QChart* Chart() const { return chart_; }
  void Show(const BookFigures& f);
  // The plan shown by the next Show; none removes it.
  void SetPlan(std::optional<PlannedPoint> plan) { plan_ = std::move(plan); }
  // Colours for the palette: the window's, or a light one for paper.
  void UsePalette(const QPalette& palette);

  const TrendData& Data() const { return data_; }

 private:
  void TiltNames(const QStringList& names);
  // Points, joins and outlines as the room each of n semesters has allows.
  void FitToDensity(qsizetype n);
  // The room of each of n semesters along the plot; 0 until the chart is laid out.
  qreal Room(qsizetype n) const;
  // Whether n semesters' bars are too many and too narrow for a bar each: then they are drawn
  // as one shape (steps_). Until the chart is laid out, as many as are left unnamed are.
  bool Stepped(qsizetype n) const;
  // Draws the bars as bars or as one shape, and the legend's marker for the one in use.
  void UseSteps(bool stepped, const QList<qreal>& bars);
  // The one shape of the bars, for the room the plot gives each now.
  void DrawSteps(const QList<qreal>& bars);
  void ShowTip(int index);

  QChart* chart_;
  QBarSet* bars_;
  QColor barColor_;
  QAreaSeries* steps_;  // the bars as one shape, where they are many and narrow
  QLineSeries* stepTop_;
  QLineSeries* stepBottom_;
  bool stepped_ = false;
  bool overSteps_ = false;  // the pointer is on the shape
  qreal stepRoom_ = 0;      // the room each semester had when the shape was drawn
  QLineSeries* line_;
  QLineSeries* planLine_;
  std::optional<PlannedPoint> plan_;
  QBarCategoryAxis* xAxis_;  // the semesters by name, while they are few enough to name
  QValueAxis* xCount_;       // the semesters counted, when there are more
  bool named_ = true;        // which of the two is on the chart
  QValueAxis* yAxis_;
  TrendData data_;
  QMetaObject::Connection tilt_, hover_, stepHover_;
  QPointer<QChart> alive_;
};

// Writes what the widget shows (the chart view) as a PNG picture at twice its size, or as an
// SVG drawing when the path ends in ".svg". False when the file could not be written.
bool SaveChartPicture(QWidget* view, const QString& path);

}  // namespace mw
