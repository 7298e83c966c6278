// Draws the main window offscreen with a small sample grade book and saves it as a PNG:
//   main_window_screenshot <file.png>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPixmap>
#include <cstdio>

#include "settings/settings_store.h"
#include "ui/main_window/main_screen.h"

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
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
    return 2;
  }

  mw::MemorySettingsStore settings;
  mw::MainScreen window(settings);
  window.NewGradeBook();

  mw::GradeBook& gb = window.Book();
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
  gb.Semesters = {fall, spring, summer};
  gb.SemesterOrder = {{"Fall 2025", true}, {"Spring 2026", true}, {"Summer 2026", false}};
  gb.FileName = "sample.mw";
  window.ShowLoadedGradeBook();
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
  return 0;
}
