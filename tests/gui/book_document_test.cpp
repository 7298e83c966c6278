// The document: every step, undo and redo reaches the listeners with what it touched, the
// selection follows the step's place and never names what is gone, and unsaved changes follow
// the history.
#include <gtest/gtest.h>

#include <QUndoStack>
#include <vector>

#include "app/book_document.h"
#include "edit/edit.h"

namespace mw {
namespace {

struct Heard {
  unsigned touches;
  edit::Place place;
  BookDocument::Cause cause;
};

TEST(BookDocument, StepsReachListenersAndMoveTheSelection) {
  BookDocument doc;
  std::vector<Heard> heard;
  QObject::connect(&doc, &BookDocument::Changed, [&](unsigned t, const edit::Place& p, BookDocument::Cause c) {
                     heard.push_back({t, p, c});
                   });
  ASSERT_TRUE(doc.Run(edit::AddSemester(doc.Book(), "Fall")).changed);
  ASSERT_TRUE(doc.Run(edit::AddClass(doc.Book(), "Fall", "Math", 0, 3.0)).changed);
  doc.Select(std::string("Fall"), std::string("Math"));
  ASSERT_TRUE(doc.Run(edit::SetGrade(doc.Book(), "Fall", "Math", 4)).changed);
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_EQ(heard[0].cause, BookDocument::Cause::Do);
  EXPECT_TRUE(heard[2].touches & edit::kClassValues);
  EXPECT_TRUE(doc.IsModified());
  // A step just made keeps the class being edited current, unless it removed it.
  ASSERT_TRUE(doc.Run(edit::AddClass(doc.Book(), "Fall", "Art", 0, 1.0)).changed);
  EXPECT_EQ(doc.CurrentClass(), std::optional<std::string>("Math"));
  ASSERT_TRUE(doc.Run(edit::RenameClass(doc.Book(), "Fall", "Math", "Maths")).changed);
  EXPECT_FALSE(doc.CurrentClass());
  doc.History()->undo();
  doc.History()->undo();
  doc.Select(std::string("Fall"), std::string("Math"));
  heard.resize(3);

  // A refusal is no step and nobody hears of it.
  const auto refused = doc.Run(edit::AddSemester(doc.Book(), "Fall"));
  EXPECT_TRUE(refused.refused);
  EXPECT_FALSE(refused.status.empty());
  EXPECT_EQ(heard.size(), 3u);

  doc.History()->undo();
  EXPECT_EQ(heard.back().cause, BookDocument::Cause::Undo);
  EXPECT_EQ(doc.CurrentClassObj()->Grade, 0);

  // Undoing the semester's creation leaves no current semester or class behind.
  doc.History()->undo();
  doc.History()->undo();
  EXPECT_FALSE(doc.CurrentSemester());
  EXPECT_FALSE(doc.CurrentClass());
  EXPECT_FALSE(doc.IsModified());
  doc.History()->redo();
  EXPECT_EQ(heard.back().cause, BookDocument::Cause::Redo);
  EXPECT_EQ(doc.CurrentSemester(), std::optional<std::string>("Fall"));
}

TEST(BookDocument, MarksAndResetAreNotSteps) {
  BookDocument doc;
  doc.Run(edit::AddSemester(doc.Book(), "Fall"));
  doc.MarkSaved();
  doc.SetMarked(0, false);
  EXPECT_FALSE(doc.Book().SemesterOrder[0].Marked);
  EXPECT_FALSE(doc.IsModified());

  doc.Select(std::string("Fall"));
  GradeBook fresh;
  ResetToFresh(fresh);
  doc.Reset(fresh);
  EXPECT_EQ(doc.History()->count(), 0);
  EXPECT_FALSE(doc.CurrentSemester());
  EXPECT_TRUE(doc.Book().Semesters.empty());
}

// A history past its byte bound drops its oldest steps only: the newest still undoes, the book
// is untouched by the trimming, and the saved state stays where it was.
TEST(BookDocument, HistoryPastItsByteBoundDropsTheOldestSteps) {
  BookDocument doc(nullptr, 1);
  doc.Run(edit::AddSemester(doc.Book(), "Fall"));
  doc.Run(edit::AddClass(doc.Book(), "Fall", "Math", 0, 3.0));
  doc.MarkSaved();
  doc.Run(edit::SetGrade(doc.Book(), "Fall", "Math", 5));
  EXPECT_EQ(doc.History()->count(), 1);
  EXPECT_EQ(doc.Book().Semesters.at(0).Classes.at(0).Grade, 5);
  EXPECT_TRUE(doc.IsModified());
  doc.History()->undo();
  EXPECT_EQ(doc.Book().Semesters.at(0).Classes.at(0).Grade, 0);
  EXPECT_FALSE(doc.IsModified());
  doc.History()->redo();
  EXPECT_EQ(doc.Book().Semesters.at(0).Classes.at(0).Grade, 5);
}

}  // namespace
}  // namespace mw
