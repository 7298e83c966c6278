// The GPA overview beside a real main window: it follows every change there, its row clicks
// select semesters, its chart holds the counted semesters under names told apart, it keeps its
// layout, and it saves its chart and prints; its Plan tab follows edits and undo, and planned
// classes become a semester.
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QSplitter>
#include <QTableView>
#include <QValueAxis>

#include "../storage/book_helpers.h"
#include "gui_test.h"
#include "ui/overview/plan_tab.h"

namespace mw {
namespace {

constexpr auto C = &test::MakeClass;  // short, for the table below

// Fall and Spring count; "Gap" is marked but its one class is outside the mask; Summer is not
// marked.
GradeBook SampleBook() {
  GradeBook gb = test::FreshBook();
  gb.GroupNames.push_back({"Gym", false});
  gb.Semesters = {{{C(gb, "Calculus", 2, 4, {"Everything"}), C(gb, "Poetry", 3, 3, {"Everything"}), C(gb, "Run", 0, 1, {"Gym"})}, "Fall"},
                  {{C(gb, "Swim", 0, 2, {"Gym"})}, "Gap"},
                  {{C(gb, "Chemistry", 5, 4, {"Everything"})}, "Summer"},
                  {{C(gb, "Physics", 1, 4, {"Everything"}), C(gb, "Film", 6, 2, {"Everything"})}, "Spring"}};
  gb.SemesterOrder = {{"Fall", true}, {"Gap", true}, {"Summer", false}, {"Spring", true}};
  gb.MethodPos = 0;
  return gb;
}

class OverviewTest : public test::MainWindowTest {
 protected:
  void SetUp() override { Open(SampleBook()); }
  // The main window over gb, and its overview on screen.
  void Open(GradeBook gb) {
    Start(std::move(gb));
    ASSERT_NE(ov = OpenOverview(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ov));
  }
  QAbstractItemModel* Table(const char* name) { return ov->findChild<QTableView*>(QLatin1String(name))->model(); }
  static QString Cell(QAbstractItemModel* m, int row, int column, int role = Qt::DisplayRole) {
    return m->index(row, column).data(role).toString();
  }

  OverviewWindow* ov = nullptr;
};

TEST_F(OverviewTest, FollowsEveryChangeOfTheMainWindow) {
  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"semester chosen", [&] { Main("SemesterList")->setCurrentRow(0); }},
      {"grade", [&] { Main("ClassList")->setCurrentRow(0); Main<QComboBox>("GradeListBox")->setCurrentIndex(7); }},
      {"credits", [&] { Main<QLineEdit>("CreditsBox")->setText("2.5"); }},
      {"group mask", [&] { Main("GroupList")->item(1)->setSelected(true); }},
      {"mark", [&] { Main("SemesterList")->item(3)->setCheckState(Qt::Unchecked); }},
      {"method", [&] { Main<QComboBox>("MethodList")->setCurrentIndex(2); }},
      {"rename", [&] { prompts.inputs = {"Autumn"}; Main("SemesterList")->setCurrentRow(0); w->SemesterList_DblClick(); }},
      {"undo", [&] { w->History()->undo(); }},
      {"new", [&] { prompts.saveChanges = {Prompts::SaveChoice::Discard}; w->New_Click(); }},
  };
  QAbstractItemModel* semesters = Table("SemesterTable");
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    change();
    QApplication::processEvents();
    auto* list = Main("SemesterList");
    ASSERT_EQ(semesters->rowCount(), list->count() + 1);
    for (int r = 0; r < list->count(); ++r) EXPECT_EQ(Cell(semesters, r, 1), list->item(r)->text());
    // The overall row is the main window's overall GPA, count caption and tooltip.
    const int overall = list->count();
    auto* count = Main<QLabel>("NumGroupMask");
    EXPECT_EQ(Cell(semesters, overall, 4), Main<QLabel>("OverallGPABox")->text());
    EXPECT_EQ(Cell(semesters, overall, 0, Qt::ToolTipRole), count->text() + ' ' + count->toolTip());
    // The current semester's row is its semester GPA, and the row is selected.
    const int current = list->currentRow();
    const auto selected = ov->findChild<QTableView*>("SemesterTable")->selectionModel()->selectedRows();
    EXPECT_EQ(selected.size(), current >= 0 ? 1 : 0);
    if (current >= 0) {
      EXPECT_EQ(selected[0].row(), current);
      EXPECT_EQ(Cell(semesters, current, 4), Main<QLabel>("SemGPABox")->text());
    }
    // The method comparison marks the method in use, and its figures follow too.
    const int inUse = Main<QComboBox>("MethodList")->currentIndex() + 1;
    EXPECT_TRUE(Table("MethodTable")->headerData(inUse, Qt::Horizontal).toString().endsWith(" (in use)"));
    EXPECT_EQ(Cell(Table("MethodTable"), 0, inUse), Main<QLabel>("OverallGPABox")->text());
  }
}

TEST_F(OverviewTest, ClickingARowSelectsItsSemesterAndListsWhatCounts) {
  auto* view = ov->findChild<QTableView*>("SemesterTable");
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 1)).center());
  EXPECT_EQ(Main("SemesterList")->currentRow(), 0);
  EXPECT_EQ(w->StatusText(), "Selected semester Fall.");
  QApplication::processEvents();
  QAbstractItemModel* classes = Table("ClassTable");
  ASSERT_EQ(classes->rowCount(), 3);
  QStringList rows;
  for (int r = 0; r < 3; ++r) {
    QStringList cells;
    for (int c = 0; c < 5; ++c) cells << Cell(classes, r, c);
    rows << cells.join(' ');
  }
  EXPECT_EQ(rows, QStringList({"Calculus A- 4 3.7 Yes", "Poetry B+ 3 3.3 Yes", "Run A+ 1 4.3 No"}));
  EXPECT_EQ(Cell(classes, 2, 0, Qt::ToolTipRole), "Not counted: the class is in no group of the group mask");
  // The overall row selects nothing.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(4, 1)).center());
  EXPECT_EQ(Main("SemesterList")->currentRow(), 0);
}

// Text the chart draws that leaves the view, or that was cut short unless that may be.
QStringList ChartFaults(QChartView* view, bool mayCut = false) {
  QStringList faults;
  const QRectF bounds(QPointF(0, 0), view->viewport()->size());
  for (QGraphicsItem* item : view->scene()->items()) {
    QString text;
    if (auto* t = dynamic_cast<QGraphicsTextItem*>(item)) text = t->toPlainText();
    else if (auto* s = dynamic_cast<QGraphicsSimpleTextItem*>(item)) text = s->text();
    if (text.isEmpty() || !item->isVisible()) continue;
    if (!mayCut && text.endsWith("...")) faults << text + " is cut short";
    if (!bounds.contains(view->mapFromScene(item->sceneBoundingRect()).boundingRect()))
      faults << text + " leaves the chart";
  }
  return faults;
}

TEST_F(OverviewTest, ChartHoldsTheCountedSemestersAndClipsNothingAt1xAnd2x) {
  auto* view = ov->findChild<QChartView*>("TrendChartView");
  QChart* chart = view->chart();
  QBarSet* bars = nullptr;
  QLineSeries* line = nullptr;
  for (QAbstractSeries* s : chart->series()) {
    if (auto* b = qobject_cast<QBarSeries*>(s)) bars = b->barSets().value(0);
    if (auto* l = qobject_cast<QLineSeries*>(s); l && !line) line = l;  // the cumulative line
  }
  ASSERT_TRUE(bars && line);
  // Marked semesters only; Gap has a place but no bar, and the line steps over it.
  const BookFigures& f = ov->Figures();
  ASSERT_EQ(bars->count(), 3);
  EXPECT_EQ(bars->at(0), f.Rows[0].Gpa);
  EXPECT_EQ(bars->at(1), 0.0);
  EXPECT_EQ(bars->at(2), f.Rows[3].Gpa);
  EXPECT_EQ(line->points(), QList<QPointF>({{0, f.Rows[0].Cumulative}, {2, f.Rows[3].Cumulative}}));
  auto* gpaAxis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
  ASSERT_NE(gpaAxis, nullptr);
  EXPECT_EQ(gpaAxis->max(), w->Book().Methods[0].GetHighest());

  // Wide and narrow windows, names too wide to stand upright: they turn on their side rather
  // than being cut. A name longer than the chart is high is cut short, but stays inside.
  prompts.inputs = {"Spring 2027", "Spring semester abroad in the second year"};
  Main("SemesterList")->setCurrentRow(3);
  w->SemesterList_DblClick();
  for (QSize size : {QSize(1000, 620), QSize(700, 480), QSize(700, 480)}) {
    if (size == ov->size()) w->SemesterList_DblClick();
    ov->resize(size);
    QApplication::processEvents();
    const QStringList faults = ChartFaults(view, prompts.inputs.empty());
    EXPECT_TRUE(faults.isEmpty()) << faults.join("; ").toStdString();
    for (qreal ratio : {1.0, 2.0}) {
      QImage image(view->size() * ratio, QImage::Format_ARGB32);
      image.setDevicePixelRatio(ratio);
      image.fill(Qt::white);
      QPainter painter(&image);
      static_cast<QWidget*>(view)->render(&painter);  // as "Save Chart As..." draws it
      painter.end();
      // The first bar is drawn in its colour at its place in either resolution.
      const QPointF bar = view->mapFromScene(chart->mapToPosition(QPointF(0, f.Rows[0].Gpa / 2)));
      EXPECT_EQ(image.pixelColor((bar * ratio).toPoint()), bars->color()) << "ratio " << ratio;
    }
  }
}

// Past 60 semesters, bars too narrow for an outline are drawn as one shape; a 61st semester
// marked and unmarked turns them into it and back.
TEST_F(OverviewTest, ManyNarrowBarsTurnIntoOneShapeAndBack) {
  GradeBook gb = SampleBook();
  for (int i = 4; i <= 61; ++i) {
    gb.Semesters.push_back({{C(gb, "Class", i % 5, 3, {"Everything"})}, std::to_string(i)});
    gb.SemesterOrder.push_back({std::to_string(i), true});
  }
  w->Document().Reset(gb);
  ov->resize(500, 400);
  QChart* chart = ov->findChild<QChartView*>("TrendChartView")->chart();
  auto* bars = qobject_cast<QBarSeries*>(chart->series().at(0));
  auto* shape = qobject_cast<QAreaSeries*>(chart->series().at(1));
  ASSERT_TRUE(bars && shape);
  for (bool marked : {true, false, true}) {
    Main("SemesterList")->item(0)->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
    QApplication::processEvents();
    EXPECT_EQ(bars->barSets()[0]->count(), marked ? 0 : 60);
    EXPECT_EQ(shape->upperSeries()->count() > 0, marked);
    EXPECT_EQ(chart->legend()->markers(shape)[0]->isVisible(), marked);
    EXPECT_EQ(chart->legend()->markers(bars)[0]->isVisible(), !marked);
  }
}

TEST_F(OverviewTest, KeepsItsSizeAndSplittersInItsOwnSettingsGroup) {
  ov->resize(700, 500);
  QApplication::processEvents();
  auto* splitter = ov->findChild<QSplitter*>("OverviewSplitter");
  splitter->setSizes({300, 380});
  QApplication::processEvents();
  const QList<int> sizes = splitter->sizes();
  ov->close();  // closing deletes the window
  QApplication::processEvents();
  EXPECT_EQ(settings.values.at("Overview/Width"), "700");
  EXPECT_EQ(settings.values.at("Overview/Height"), "500");
  for (const auto& [key, value] : settings.values) EXPECT_FALSE(key.starts_with("Options/")) << key;

  QAction* open = w->findChild<QAction*>("Overview");
  ASSERT_NE(open, nullptr);
  // Its shortcut is no other command's.
  for (QAction* a : w->findChildren<QAction*>()) {
    if (a == open || a->shortcut().isEmpty()) continue;
    EXPECT_NE(a->shortcut(), open->shortcut()) << a->objectName().toStdString();
  }
  open->trigger();
  auto* again = w->findChild<OverviewWindow*>();
  ASSERT_NE(again, nullptr);
  QApplication::processEvents();
  EXPECT_EQ(again->size(), QSize(700, 500));
  EXPECT_EQ(again->findChild<QSplitter*>("OverviewSplitter")->sizes(), sizes);
}

TEST_F(OverviewTest, SavesTheChartAndPrintsTableChartAndDate) {
  QTemporaryDir dir;
  const QString png = dir.filePath("chart.png"), svg = dir.filePath("chart.svg"), pdf = dir.filePath("overview.pdf");
  prompts.files = {QString(), png, svg, pdf};
  EXPECT_FALSE(ov->SaveChart_Click());  // cancelled
  ASSERT_TRUE(ov->SaveChart_Click());
  const QSize shown = ov->findChild<QChartView*>("TrendChartView")->size();
  EXPECT_EQ(QImage(png).size(), shown * 2);
  ASSERT_TRUE(ov->SaveChart_Click());
  QFile drawing(svg);
  ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
  EXPECT_TRUE(drawing.readAll().contains("<svg"));

  ov->DateText = [] { return QStringLiteral("12/5/2026 3:54:28 AM"); };
  prompts.printFiles = {QString()};
  EXPECT_FALSE(ov->Print_Click());  // the print dialog cancelled
  ASSERT_TRUE(ov->ExportPdf_Click());
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  QString out;
  for (const QStringList& page : test::PdfPages(pdf)) out += page.join(' ').simplified() + ' ';
  for (const QString& want : {QString("Printed on 12/5/2026 3:54:28 AM"),
                              QString("Overall ") + QString::number(ov->Figures().Classes)})
    EXPECT_TRUE(out.contains(want)) << want.toStdString() << " in " << out.toStdString();
  for (const SemesterRow& r : ov->Figures().Rows)
    EXPECT_TRUE(out.contains(QString::fromStdString(r.Name + " ") + QString::number(r.Classes))) << r.Name;
  EXPECT_TRUE(out.contains(QString::fromStdString(ov->Figures().OverallText)));
}

// The Plan tab, over a book of its own.
class PlanTest : public OverviewTest {
 protected:
  void SetUp() override {
    GradeBook gb = test::FreshBook();
    gb.GroupNames.push_back({"Major", false});
    test::AddSemester(gb, "Fall").Classes = {test::MakeClass(gb, "Calculus", 1, 4, {"Everything", "Major"}),
                                             test::MakeClass(gb, "Poetry", 4, 4, {"Everything"})};
    gb.FullFileName = "/books/mine.mw";
    ASSERT_NO_FATAL_FAILURE(Open(std::move(gb)));
    plan = ov->Plan();
    QApplication::processEvents();
  }

  PlanTab* plan = nullptr;
};

TEST_F(PlanTest, FollowsEditsAndUndoAndKeepsThePlanPerFile) {
  // 8 credits at 3.5 (A and B under the first method).
  plan->findChild<QLineEdit*>("PlanDesired")->setText("3.75");
  plan->findChild<QLineEdit*>("PlanLeft")->setText("8");
  const QString before = plan->PredictionText();
  EXPECT_EQ(before, "You need to average a 4.0 GPA over your next 8 credit(s).\n"
                    "Average needed 4.0: A");
  EXPECT_EQ(plan->MixText(), "Fewest top grades over 2 classes of 4.0 credits: all A reaches 3.75");
  w->SelectSemester("Fall");
  Main("ClassList")->setCurrentRow(1);
  Main<QComboBox>("GradeListBox")->setCurrentIndex(12);  // Poetry: E
  QApplication::processEvents();
  EXPECT_EQ(plan->PredictionText().section('\n', 0, 0),
            "You need to average a 5.5 GPA over your next 8 credit(s). Too high!");
  w->History()->undo();
  QApplication::processEvents();
  EXPECT_EQ(plan->PredictionText(), before);
  // A second look at the same file finds the plan; the mask shows in the header.
  PlanTab again(w->Book(), settings, prompts);
  again.Refresh(ov->Figures());
  EXPECT_EQ(again.CurrentPlan(), plan->CurrentPlan());
  Main("GroupList")->item(1)->setSelected(true);
  Main("GroupList")->item(0)->setSelected(false);
  QApplication::processEvents();
  EXPECT_EQ(ov->findChild<QLabel*>("OverviewScope")->text(),
            "Counting: Major     A+ counts 4.3 here; many schools count 4.0.");
}

TEST_F(PlanTest, PlannedClassesProjectAndBecomeASemesterInOneUndoStep) {
  plan->SetPlan(Plan{"3.5", true, "", {{"Physics", 4, 2}, {"Lab", 0, 1}}});  // A- on 4 credits
  QApplication::processEvents();
  EXPECT_EQ(plan->ProjectionText(), "Planned: 4 credits, semester GPA 3.7; cumulative GPA 3.567 (now 3.5)");
  ASSERT_FALSE(ov->Trend().Data().plan.isEmpty());
  EXPECT_EQ(ov->Trend().Data().categories.back(), "Plan");
  const size_t semesters = w->Book().Semesters.size();
  prompts.inputs = {"Fall"};  // taken
  plan->findChild<QPushButton*>("PlanAddAsSemester")->click();
  EXPECT_EQ(prompts.messages().value(0), "A semester with that name already exists!");
  prompts.inputs = {"Spring"};
  plan->findChild<QPushButton*>("PlanAddAsSemester")->click();
  QApplication::processEvents();
  ASSERT_EQ(w->Book().Semesters.size(), semesters + 1);
  EXPECT_EQ(w->Book().Semesters.back().Classes.size(), 2u);
  EXPECT_EQ(w->History()->count(), 1);
  w->History()->undo();
  EXPECT_EQ(w->Book().Semesters.size(), semesters);
}

// The chart's semester axis: every name distinct, tooltips with the full names.
TEST(TrendData, RepeatedAndEmptyNamesGetACounterAndTipsKeepTheRealName) {
  BookFigures f;
  for (const char* name : {"A", "A", "", "Skipped", "", "A (2)"})
    f.Rows.push_back({.Name = name, .Marked = name != std::string("Skipped"), .Credits = 3, .GpaText = "3.0",
                      .CumulativeText = "2.5", .MethodGpa = {}});
  const TrendData d = MakeTrendData(f, PlannedPoint{QStringLiteral("A"), 3, 2.75});
  EXPECT_EQ(d.categories, (QStringList{"A", "A (2)", "(no name)", " (2)", "A (2) (2)", "A (3)"}));
  EXPECT_EQ(d.TipText(1), "A\nGPA 3.0, cumulative GPA 2.5");
  EXPECT_EQ(d.TipText(5), "A (3)\nPlanned GPA 3.00, cumulative GPA 2.75");
  EXPECT_EQ(d.TipText(6), QString());
}

}  // namespace
}  // namespace mw
