// The print/export dialog offscreen: its own copies of the choices, its running totals, and
// the export with its cancel and failure paths.
#include "ui/dialogs/export_file_dialog.h"

#include "gui_test.h"

#include <QRadioButton>

#include "report/report_file.h"
#include "storage/file_io.h"
#include "storage/gradebook_file.h"
#include "ui/dialogs/report_printer.h"

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
    Open();
  }
  // A dialog over gb as it is now, its date fixed.
  void Open() {
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

TEST_F(ExportFileTest, PrintsTheExportsTextPageByPageWithNoLineBroken) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "no pdftotext";
  gb = GradeBook();
  ResetToFresh(gb);
  for (int s = 0; s < 3; ++s) {
    Semester sem;
    sem.Name = "Semester " + std::to_string(s + 1);
    for (int c = 0; c < 40; ++c)  // long names are cut at 38 characters; a third of a credit wraps
      sem.Classes.push_back({"Class " + std::to_string(c) + " with a name longer than the column holds", int16_t(c % 13), c == 5 ? 1.0 / 3 : 3.0, {gb.InternGroup("Everything")}});
    gb.Semesters.push_back(sem);
    gb.SemesterOrder.push_back({sem.Name, true});
  }
  gb.MethodPos = 0;
  Open();
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("grades.pdf"));
  prompts.printFiles = {QString(), pdf};
  auto* print = Find<QPushButton>("Print");
  ASSERT_TRUE(print->isEnabled());
  EXPECT_FALSE(d->Print_Click());  // cancelled: nothing printed, the dialog stays
  EXPECT_FALSE(QFile::exists(pdf));
  QTest::mouseClick(print, Qt::LeftButton);
  EXPECT_EQ(statuses, QStringList{"Printed grades to file '" + pdf + "'."});
  EXPECT_EQ(d->result(), QDialog::Accepted);

  QStringList want;
  for (QString l : ReportLines(GradeReport(gb, d->Choices(), d->Totals(), "12/5/2026 3:54:28 AM"))) {
    while (!l.isEmpty() && l.back().isSpace()) l.chop(1);
    if (!l.isEmpty()) want << l;
  }
  const std::vector<QStringList> pages = test::PdfPages(pdf);
  ASSERT_GE(pages.size(), 3u);
  // Each page holds the next whole lines of the report, column for column, and together they
  // are the whole report.
  qsizetype at = 0;
  for (const QStringList& page : pages) {
    ASSERT_LE(at + page.size(), want.size());
    EXPECT_EQ(page.join('\n').toStdString(), want.mid(at, page.size()).join('\n').toStdString())
        << "page beginning at line " << at;
    at += page.size();
  }
  EXPECT_EQ(at, want.size());
}

TEST_F(ExportFileTest, ALongMethodNameIsCutShortWithItsFullNameAsTooltip) {
  const std::string name(170, 'W');
  gb.Methods[1].Name = name;  // the method in use
  Open();
  d->show();
  auto* methods = Find<QComboBox>("MethodList");
  EXPECT_LE(d->width(), 1280 * 2 / 3);
  EXPECT_NE(methods->currentText(), QString::fromStdString(name));
  EXPECT_EQ(methods->itemData(1, Qt::ToolTipRole).toString(), QString::fromStdString(name));
  EXPECT_TRUE(methods->toolTip().startsWith(QString::fromStdString(name) + '\n'));
  EXPECT_EQ(d->Choices().MethodName, name);  // the report still names the whole method
  methods->setCurrentIndex(0);  // a name that fits: the selector's own tooltip again
  EXPECT_FALSE(methods->toolTip().contains(QString::fromStdString(name)));
}

}  // namespace
}  // namespace mw
