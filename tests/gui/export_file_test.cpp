// The print/export dialog offscreen: its own copies of the choices, its totals against the
// main window's arithmetic, and the export with its cancel and failure paths.
#include "ui/dialogs/export_file_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "model/gpa.h"
#include "model/numtext.h"
#include "report/grade_report.h"
#include "report/report_file.h"
#include "scripted_prompts.h"

namespace mw {
namespace {

// Keeps the whole file dialog request, which the shared script records only in part.
struct RecordingPrompts : test::ScriptedPrompts {
  std::vector<FileDialog> saveRequests;
  QString SaveFileName(const FileDialog& d) override {
    saveRequests.push_back(d);
    return ScriptedPrompts::SaveFileName(d);
  }
};

// What the dialog must leave alone: the main window's choices and the document.
std::string Snap(const GradeBook& g) {
  std::string s = std::to_string(g.MethodPos) + '|';
  for (const auto& e : g.SemesterOrder) s += e.Name + (e.Marked ? "+" : "-");
  for (const auto& e : g.GroupNames) s += e.Name + (e.InMask ? "+" : "-");
  for (const auto& sem : g.Semesters)
    for (const auto& c : sem.Classes) s += c.Name + PlainNumber(c.Credits) + std::to_string(c.Grade);
  return s;
}

class ExportFileTest : public ::testing::Test {
 protected:
  GradeBook gb;
  RecordingPrompts prompts;
  QStringList statuses;

  // Fall (marked): Calculus 4 A- in Everything+Core, Poetry 3 B+ in Everything;
  // Spring (not marked): Chemistry 2 A in Core. Mask: Everything. Method in use: the second.
  ExportFileTest() {
    ResetToFresh(gb, 0);
    gb.GroupNames.push_back({"Core", false});
    Semester fall, spring;
    fall.SetName("Fall");
    fall.AddClass({"Calculus", 2, 4, {"Everything", "Core"}});
    fall.AddClass({"Poetry", 3, 3, {"Everything"}});
    spring.SetName("Spring");
    spring.AddClass({"Chemistry", 1, 2, {"Core"}});
    gb.Semesters = {fall, spring};
    gb.SemesterOrder = {{"Spring", false}, {"Fall", true}};
    gb.MethodPos = 1;
  }

  std::unique_ptr<ExportFileDialog> Open() {
    auto d = std::make_unique<ExportFileDialog>(
        gb, prompts, [this](const QString& s) { statuses << s; }, nullptr);
    d->DateText = [] { return QStringLiteral("12/5/2026 3:54:28 AM"); };
    return d;
  }
  template <typename T>
  static T* Find(QWidget* d, const char* name) {
    T* w = d->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static QString Text(QWidget* d, const char* name) { return Find<QLabel>(d, name)->text(); }
};

TEST_F(ExportFileTest, StartsFromTheMainWindowsChoicesAndMatchesItsArithmetic) {
  const std::string before = Snap(gb);
  auto d = Open();
  EXPECT_EQ(d->objectName(), "ExportFile");
  EXPECT_EQ(d->windowTitle(), "Print/Export Grades");
  EXPECT_TRUE(Find<QRadioButton>(d.get(), "OrgSem")->isChecked());
  EXPECT_FALSE(Find<QPushButton>(d.get(), "Print")->isEnabled());

  auto* methods = Find<QComboBox>(d.get(), "MethodList");
  EXPECT_EQ(methods->count(), 3);
  EXPECT_EQ(methods->currentIndex(), 1);
  auto* sems = Find<QListWidget>(d.get(), "SemesterList");
  ASSERT_EQ(sems->count(), 2);
  EXPECT_EQ(sems->item(0)->text(), "Spring");  // the main window's display order
  EXPECT_EQ(sems->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(sems->item(1)->checkState(), Qt::Checked);
  auto* groups = Find<QListWidget>(d.get(), "GroupList");
  ASSERT_EQ(groups->count(), 2);
  EXPECT_TRUE(groups->item(0)->isSelected());
  EXPECT_FALSE(groups->item(1)->isSelected());

  // The same figures as the main window: a bare count, the same tooltip and GPA text.
  auto expectMainFigures = [&] {
    const GpaFigures f = UpdateGPABoxes(gb);
    EXPECT_EQ(Text(d.get(), "NumGroupMask").toStdString(), PlainNumber(double(f.ClassCount)));
    EXPECT_EQ(Find<QLabel>(d.get(), "NumGroupMask")->toolTip().toStdString(), f.CountTooltip);
    EXPECT_EQ(Text(d.get(), "OverallGPABox").toStdString(), f.OverallGPAText);
  };
  expectMainFigures();
  EXPECT_EQ(Text(d.get(), "OverallGPABox"), "3.519");  // (4 x 3.66 + 3 x 3.33) / 7

  // Every change recounts at once; the main window's figures follow when its choices match.
  Find<QPushButton>(d.get(), "SemAll")->click();
  gb.SemesterOrder[0].Marked = true;
  expectMainFigures();
  QTest::mouseClick(groups->viewport(), Qt::LeftButton, {},
                    groups->visualItemRect(groups->item(1)).center());
  EXPECT_TRUE(groups->item(0)->isSelected());  // a click toggles only its own entry
  gb.GroupNames[1].InMask = true;
  expectMainFigures();
  EXPECT_EQ(Text(d.get(), "NumGroupMask"), "3");
  methods->setCurrentIndex(2);  // Harvard: (4 x 14 + 3 x 12 + 2 x 15) / 9
  gb.MethodPos = 2;
  expectMainFigures();
  EXPECT_EQ(Text(d.get(), "OverallGPABox"), "13.556");
  EXPECT_EQ(Text(d.get(), "NumGroupMask"), "3");

  Find<QPushButton>(d.get(), "GroupNone")->click();
  EXPECT_EQ(Text(d.get(), "NumGroupMask"), "0");
  EXPECT_EQ(Text(d.get(), "OverallGPABox"), "0.0");
  EXPECT_EQ(Find<QLabel>(d.get(), "NumGroupMask")->toolTip(), "(0/9 credits)");
  Find<QPushButton>(d.get(), "GroupAll")->click();
  Find<QPushButton>(d.get(), "SemNone")->click();
  EXPECT_EQ(Find<QLabel>(d.get(), "NumGroupMask")->toolTip(), "(0/0 credits)");
  sems->item(1)->setCheckState(Qt::Checked);
  EXPECT_EQ(Text(d.get(), "NumGroupMask"), "2");

  // None of it reached the grade book or the main window's choices.
  d.reset();
  gb.SemesterOrder[0].Marked = false;
  gb.GroupNames[1].InMask = false;
  gb.MethodPos = 1;
  EXPECT_EQ(Snap(gb), before);
}

TEST_F(ExportFileTest, KeyboardOrderAndEscape) {
  auto d = Open();
  d->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(d.get()));
  QStringList order;
  QWidget* w = Find<QWidget>(d.get(), "SemesterList");
  for (int i = 0; i < 10; ++i) {
    order << w->objectName();
    do w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
  }
  EXPECT_EQ(order.join(' '),
            "SemesterList SemAll SemNone GroupList MethodList OrgSem OrgGroup Print Export Cancel");
  QTest::keyClick(d.get(), Qt::Key_Escape);
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(d->result(), QDialog::Rejected);
}

TEST_F(ExportFileTest, ExportWritesTheReportAndClosesOnlyOnSuccess) {
  QTemporaryDir dir;
  auto d = Open();
  d->show();
  auto* exportButton = Find<QPushButton>(d.get(), "Export");
  Find<QRadioButton>(d.get(), "OrgGroup")->setChecked(true);

  // Cancelling the file dialog: nothing written, nothing said, the dialog stays.
  prompts.files = {QString()};
  exportButton->click();
  EXPECT_TRUE(d->isVisible());
  EXPECT_TRUE(statuses.isEmpty());
  ASSERT_EQ(prompts.saveRequests.size(), 1u);
  const auto& request = prompts.saveRequests[0];
  EXPECT_EQ(request.title, "Markwell Export File");
  EXPECT_EQ(request.filters, QStringList({"Text Files (*.txt)", "All Files (*)"}));
  EXPECT_EQ(request.defaultSuffix, "txt");
  EXPECT_TRUE(request.confirmOverwrite);
  EXPECT_TRUE(request.initialPath.isEmpty());

  // A folder that does not exist: the error box, no success message, the dialog stays.
  const QString bad = dir.filePath("missing/report.txt");
  prompts.files = {bad};
  exportButton->click();
  EXPECT_TRUE(d->isVisible());
  EXPECT_TRUE(statuses.isEmpty());
  ASSERT_EQ(prompts.asked.back().kind, "message");
  EXPECT_EQ(prompts.asked.back().text, "Error saving to file \"" + bad + "\"! (Read-only?)");
  EXPECT_EQ(prompts.asked.back().title, "Error!");
  EXPECT_EQ(prompts.asked.back().icon, Prompts::Icon::Critical);

  // Success: the report of the dialog's choices in Windows-1252, the status, the dialog closes.
  const QString good = dir.filePath("report.txt");
  prompts.files = {good};
  exportButton->click();
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(statuses, QStringList{"Exported grades to file '" + good + "'."});
  const ReportChoices choices = d->Choices();
  EXPECT_EQ(choices.Organisation, ReportOrganisation::ByGroup);
  EXPECT_EQ(choices.SelectedGroups, std::vector<std::string>{"Everything"});
  QFile f(good);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const std::string expected =
      ReportBytes(GradeReport(gb, choices, UpdateTotals(gb, choices), "12/5/2026 3:54:28 AM"));
  EXPECT_EQ(f.readAll().toStdString(), expected);
  EXPECT_NE(expected.find("* Everything *"), std::string::npos);
}

TEST(ExportDateTextTest, LocaleFormsWithSecondsAndAFixedFallback) {
  const QDateTime when(QDate(2026, 12, 5), QTime(3, 54, 28));
  EXPECT_EQ(ReportDateText(when, QLocale::c()), "12/5/2026 3:54:28 AM");
  EXPECT_EQ(ReportDateText(when, QLocale(QLocale::English, QLocale::UnitedStates)),
            "12/5/2026 3:54:28 AM");
  EXPECT_EQ(ReportDateText(when, QLocale(QLocale::German, QLocale::Germany)),
            "05.12.2026 03:54:28");
  // Characters the report's code page lacks: the fixed form.
  EXPECT_EQ(ReportDateText(when, QLocale(QLocale::Japanese, QLocale::Japan)),
            "12/5/2026 3:54:28 AM");
}

TEST_F(ExportFileTest, NothingClippedOffscreen) {
  auto d = Open();
  d->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(d.get()));
  for (auto* w : d->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->objectName().isEmpty()) continue;
    const QRect r(w->mapTo(d.get(), QPoint(0, 0)), w->size());
    EXPECT_TRUE(d->rect().contains(r)) << w->objectName().toStdString();
    if (qobject_cast<QLabel*>(w) || qobject_cast<QRadioButton*>(w)) {
      EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
      EXPECT_GE(w->height(), w->sizeHint().height()) << w->objectName().toStdString();
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
      // A push button's hint includes the style's minimum width; its caption is what counts.
      const QString caption = b->text().remove(QLatin1Char('&'));
      EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(caption) + 8)
          << w->objectName().toStdString();
    }
  }
  const QString png = qEnvironmentVariable("MARKWELL_GRAB_DIR");
  if (!png.isEmpty()) d->grab().save(png + "/export_file.png");
}

}  // namespace
}  // namespace mw
