// The print/export dialog offscreen: its own copies of the choices, its running totals, and
// the export with its cancel and failure paths.
#include "ui/dialogs/export_file_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "report/report_file.h"
#include "storage/file_io.h"
#include "storage/gradebook_file.h"
#include "scripted_prompts.h"

namespace mw {
namespace {

class ExportFileTest : public ::testing::Test {
 protected:
  GradeBook gb;
  test::ScriptedPrompts prompts;
  QStringList statuses;
  std::unique_ptr<ExportFileDialog> d;

  // Fall (marked): Calculus 4 A- in Everything+Core, Poetry 3 B+ in Everything;
  // Spring (not marked, listed first): Chemistry 2 A in Core. Mask: Everything. Second method.
  ExportFileTest() {
    ResetToFresh(gb);
    gb.GroupNames.push_back({"Core", false});
    const GroupId all = gb.InternGroup("Everything"), core = gb.InternGroup("Core");
    gb.Semesters = {{{{"Calculus", 2, 4, {all, core}}, {"Poetry", 3, 3, {all}}}, "Fall"},
                    {{{"Chemistry", 1, 2, {core}}}, "Spring"}};
    gb.SemesterOrder = {{"Spring", false}, {"Fall", true}};
    gb.MethodPos = 1;
    d = std::make_unique<ExportFileDialog>(gb, prompts, [this](const QString& s) { statuses << s; }, nullptr);
    d->DateText = [] { return QStringLiteral("12/5/2026 3:54:28 AM"); };
  }
  template <typename T>
  T* Find(const char* name) { return d->findChild<T*>(QString::fromUtf8(name)); }
  // Count, tooltip and GPA as shown.
  std::string Shown() {
    auto* count = Find<QLabel>("NumGroupMask");
    return (count->text() + ' ' + count->toolTip() + ' ' + Find<QLabel>("OverallGPABox")->text()).toStdString();
  }
};

TEST_F(ExportFileTest, KeepsItsOwnChoicesAndMatchesTheMainWindowsArithmetic) {
  auto* sems = Find<QListWidget>("SemesterList");
  auto* groups = Find<QListWidget>("GroupList");
  ASSERT_EQ(sems->count(), 2);  // the semester list's order, its marks copied
  EXPECT_EQ(sems->item(0)->text() + QString::number(sems->item(0)->checkState()) + sems->item(1)->text() +
                QString::number(sems->item(1)->checkState()), "Spring0Fall2");
  EXPECT_EQ(Shown(), "2 (7/7 credits) 3.519");  // (4 x 3.66 + 3 x 3.33) / 7

  // Every change recounts at once; the grade book keeps its own choices.
  Find<QPushButton>("SemAll")->click();
  QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, groups->visualItemRect(groups->item(1)).center());
  Find<QComboBox>("MethodList")->setCurrentIndex(2);  // Harvard: (4 x 14 + 3 x 12 + 2 x 15) / 9
  EXPECT_EQ(Shown(), "3 (9/9 credits) 13.556");
  EXPECT_EQ(gb.SemesterOrder[0].Marked || gb.GroupNames[1].InMask || gb.MethodPos != 1, false);

  Find<QPushButton>("GroupNone")->click();
  EXPECT_EQ(Shown(), "0 (0/9 credits) 0.0");
  Find<QPushButton>("SemNone")->click();
  EXPECT_EQ(Shown(), "0 (0/0 credits) 0.0");
}

TEST_F(ExportFileTest, ExportWritesTheReportAndClosesOnlyOnSuccess) {
  QTemporaryDir dir;
  d->show();
  QTest::keyClick(d.get(), Qt::Key_Escape);
  EXPECT_FALSE(d->isVisible());
  d->show();
  auto* exportButton = Find<QPushButton>("Export");
  Find<QRadioButton>("OrgGroup")->setChecked(true);

  prompts.files = {QString(), dir.filePath("missing/r.txt"), dir.filePath("r.txt")};
  exportButton->click();  // cancelled: nothing written, nothing said, the dialog stays
  EXPECT_TRUE(d->isVisible() && statuses.isEmpty() && prompts.messages().isEmpty());

  exportButton->click();  // a missing folder: the error box, no success, the dialog stays
  EXPECT_TRUE(d->isVisible() && statuses.isEmpty());
  ASSERT_TRUE(prompts.asked.back().kind == "message" && prompts.asked.back().icon == Prompts::Icon::Critical);
  EXPECT_EQ(prompts.asked.back().title + ": " + prompts.asked.back().text,
            "Error!: Error saving to file \"" + dir.filePath("missing/r.txt") + "\"! (Read-only?)");

  exportButton->click();  // written: the dialog's choices, the status line, the dialog closes
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(statuses, QStringList{"Exported grades to file '" + dir.filePath("r.txt") + "'."});
  const ReportChoices choices = d->Choices();
  ASSERT_TRUE(choices.Organisation == ReportOrganisation::ByGroup && choices.SelectedGroups == std::vector<std::string>{"Everything"});
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(dir.filePath("r.txt").toStdString(), bytes));
  EXPECT_EQ(bytes, ReportBytes(GradeReport(gb, choices, UpdateTotals(gb, choices), "12/5/2026 3:54:28 AM")));
}

}  // namespace
}  // namespace mw
