// Draws the main window offscreen with a small sample grade book and saves it as a PNG, and
// with two more names the GPA overview beside it, in the light and in a dark palette, and with
// a fourth its Plan tab holding a plan, with a fifth the trend chart running on to that plan,
// and with two more the class sheet and the preview of a paste:
//   main_window_screenshot <window.png> [<overview.png> <overview-dark.png> [<plan.png>
//                          [<plan-trend.png> [<sheet.png> [<paste.png>]]]]]
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>
#include <cstdio>

#include "settings/settings_store.h"
#include "ui/main_window/main_screen.h"
#include "ui/overview/overview_window.h"
#include "ui/overview/plan_tab.h"
#include "ui/views/views.h"
#include <QTabWidget>
#include "ui/sheet/classes_preview_dialog.h"
#include "ui/sheet/sheet_window.h"

namespace {

mw::GradeBook* book = nullptr;

mw::Class MakeClass(const char* name, int grade, double credits,
                    const std::vector<std::string>& groups) {
  mw::Class c;
  c.Name = name;
  c.Grade = static_cast<int16_t>(grade);
  c.Credits = credits;
  book->SetGroups(c, groups);
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  mw::LinkViews(markwell_views());
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
    return 2;
  }

  mw::MemorySettingsStore settings;
  mw::MainScreen window(settings);
  window.NewGradeBook();

  mw::GradeBook gb = window.Book();
  book = &gb;
  gb.GroupNames.push_back({"Major", true});
  gb.GroupNames.push_back({"Electives", false});
  mw::Semester fall;
  fall.Name = "Fall 2025";
  fall.Classes = {MakeClass("Calculus I", 2, 4, {"Everything", "Major"}),
                  MakeClass("English Composition", 3, 3, {"Everything", "Electives"}),
                  MakeClass("Chemistry", 1, 4, {"Everything", "Major"}),
                  MakeClass("art history", 4, 2, {"Everything", "Electives"})};
  mw::Semester spring;
  spring.Name = "Spring 2026";
  spring.Classes = {MakeClass("Calculus II", 3, 4, {"Everything", "Major"}),
                    MakeClass("Physics I", 2, 4, {"Everything", "Major"}),
                    MakeClass("Psychology", 1, 3, {"Everything", "Electives"})};
  mw::Semester summer;
  summer.Name = "Summer 2026";
  summer.Classes = {MakeClass("Statistics", 5, 3, {"Everything", "Major"})};
  mw::Semester fall2;
  fall2.Name = "Fall 2026";
  fall2.Classes = {MakeClass("Linear Algebra", 0, 4, {"Everything", "Major"}),
                   MakeClass("Organic Chemistry", 4, 4, {"Everything", "Major"}),
                   MakeClass("Drawing", 2, 2, {"Everything", "Electives"})};
  mw::Semester spring2;
  spring2.Name = "Spring 2027";
  spring2.Classes = {MakeClass("Differential Equations", 1, 4, {"Everything", "Major"}),
                     MakeClass("Physics II", 3, 4, {"Everything", "Major"}),
                     MakeClass("Film Studies", 0, 3, {"Everything", "Electives"})};
  gb.Semesters = {fall, spring, summer, fall2, spring2};
  gb.SemesterOrder = {{"Fall 2025", true}, {"Spring 2026", true}, {"Summer 2026", false},
                      {"Fall 2026", true}, {"Spring 2027", true}};
  gb.FileName = "sample.mw";
  window.Document().Reset(std::move(gb));
  window.SetCaption(QStringLiteral("Markwell - sample.mw"));

  window.show();
  window.findChild<QListWidget*>(QStringLiteral("SemesterList"))->setCurrentRow(1);
  auto* classes = window.findChild<QListWidget*>(QStringLiteral("ClassList"));
  classes->setCurrentItem(classes->findItems(QStringLiteral("Physics I"), Qt::MatchExactly)[0]);
  QApplication::processEvents();

  if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "could not write %s\n", argv[1]);
    return 1;
  }
  if (argc < 4) return 0;

  window.Overview_Click();
  auto* overview = window.findChild<mw::OverviewWindow*>();
  overview->resize(1000, 620);
  QApplication::processEvents();
  if (!overview->grab().save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "could not write %s\n", argv[2]);
    return 1;
  }
  if (argc >= 5) {
    auto* tabs = overview->findChild<QTabWidget*>(QStringLiteral("OverviewTabs"));
    tabs->setCurrentWidget(overview->Plan());
    overview->Plan()->SetPlan(mw::Plan{"3.5", true, "30",
                                       {{"Thermodynamics", 4, 2}, {"Lab Methods", 2, 1},
                                        {"Ethics", 3, 3}}});
    QApplication::processEvents();
    bool saved = overview->grab().save(QString::fromLocal8Bit(argv[4]));
    tabs->setCurrentIndex(0);
    QApplication::processEvents();
    if (argc >= 6) saved = saved && overview->grab().save(QString::fromLocal8Bit(argv[5]));
    if (!saved) {
      std::fprintf(stderr, "could not write the plan pictures\n");
      return 1;
    }
    overview->Plan()->SetPlan(mw::Plan{});
  }
  if (argc >= 7) {
    window.Sheet_Click();
    auto* sheet = window.findChild<mw::SheetWindow*>();
    sheet->resize(860, 500);
    auto* view = sheet->View();
    view->setCurrentIndex(view->model()->index(view->model()->rowCount() - 1, 1));
    QApplication::processEvents();
    if (!sheet->grab().save(QString::fromLocal8Bit(argv[6]))) {
      std::fprintf(stderr, "could not write %s\n", argv[6]);
      return 1;
    }
    if (argc >= 8) {
      const mw::table::Table rows = mw::table::ParsePastedText(
          "Course\tCredits\tGrade\nMicrobiology\t4\tb+\nCalculus II\t4\tA\nEthics\tthree\tC\n");
      mw::Prompts::ClassesPreview preview;
      preview.title = QStringLiteral("Paste Classes");
      preview.acceptText = QStringLiteral("Paste");
      preview.table = &rows;
      preview.mapping = mw::table::GuessMapping(rows);
      preview.plan = [&](const mw::table::ColumnMapping& m) {
        return mw::table::PlanImport(window.Book(), rows, m, "Spring 2026");
      };
      mw::ClassesPreviewDialog dialog(preview, &window);
      dialog.show();
      QApplication::processEvents();
      if (!dialog.grab().save(QString::fromLocal8Bit(argv[7]))) return 1;
      preview.mappable = true;
      mw::ClassesPreviewDialog mapped(preview, &window);
      mapped.show();
      QApplication::processEvents();
      if (!mapped.grab().save(QString::fromLocal8Bit(argv[7]) + QStringLiteral(".mapped.png"))) return 1;
    }
  }
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(45, 45, 48));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(30, 30, 32));
  dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Button, QColor(55, 55, 60));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::ToolTipBase, QColor(55, 55, 60));
  dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
  QApplication::setPalette(dark);
  QApplication::processEvents();
  if (!overview->grab().save(QString::fromLocal8Bit(argv[3]))) {
    std::fprintf(stderr, "could not write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
