// The file commands against real files in a temporary folder, with scripted answers.
#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "scripted_prompts.h"
#include "storage/gradebook_file.h"

namespace mw {
namespace {

struct FakeWindow : WindowHost {
  QStringList captions, statuses;
  int shown = 0, refreshed = 0;
  void SetCaption(const QString& c) override { captions << c; }
  void SetStatusText(const QString& t) override { statuses << t; }
  void ShowLoadedGradeBook() override { ++shown; }
  void RefreshFigures() override { ++refreshed; }
};

// Everything a command may change: the document (as its plain file) and the state around it.
std::string Snap(const GradeBook& g) {
  std::string s = EncodePlain(g).bytes + g.CurrentSemesterText() + '/' + g.CurrentClassText() +
                  '/' + g.FileName + '/' + g.FullFileName + '/' + g.Password +
                  (g.IsPassProtected ? "P" : "-");
  for (const auto& e : g.SemesterOrder) s += e.Marked ? '+' : '-';
  return s;
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString ReadError(const QString& path) { return "Error reading in file \"" + path + "\"!"; }

class FileCommandsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  GradeBook gb;
  test::ScriptedPrompts prompts;
  MemorySettingsStore store;
  FakeWindow win;
  FileCommands cmd{gb, prompts, store, win};

  // An unmarked second semester, a current semester and class.
  FileCommandsTest() {
    ResetToFresh(gb, 1);
    gb.Semesters = {{{{"Math", 3, 1.0 / 3, {"Everything"}}}, "Fall"}, {{}, "Spring"}};
    gb.SemesterOrder = {{"Fall", true}, {"Spring", false}};
    gb.CurrentSemester = "Fall";
    gb.CurrentClass = "Math";
  }
  QString Path(const QString& name) const { return dir.filePath(name); }
  void SaveAs(const QString& name, const QString& password = {}) {
    gb.IsPassProtected = !password.isEmpty();
    prompts.files = {Path(name)};
    prompts.passwords = {password};
    cmd.SaveAs();
  }
};

TEST_F(FileCommandsTest, PasswordsAreAskedAsEachSaveAndLoadRequires) {
  gb.IsPassProtected = true;
  prompts.files = {Path("a.mw")};
  prompts.passwords = {QString("pa55word")};
  cmd.Save();  // no file yet: runs Save As, then asks for a password (mode 1)
  EXPECT_EQ(prompts.asked.at(0).text + prompts.asked[0].title,
            "Markwell Save FileMarkwell Files (*.mw);;All Files (*)");
  EXPECT_EQ(prompts.asked.at(1).kind + prompts.asked[1].text, "password1");
  const std::string saved = EncodePlain(gb).bytes;
  SaveAs("b.mw", "second");  // a new file asks even when a password is known
  EXPECT_EQ(prompts.asked[2].defaultText, Path("a.mw"));  // the dialog kept its last name
  prompts.asked.clear();
  cmd.Save();  // the known password is used without asking
  EXPECT_TRUE(prompts.asked.empty());

  prompts.files = {Path("c.mw")};
  prompts.passwords = {QString()};  // the prompt cancelled
  cmd.SaveAs();
  EXPECT_EQ(win.statuses.last(), "No password entered; did not save file \"" + Path("c.mw") +
                                     "\"! (Turn off password-protection in the Options menu.)");
  EXPECT_FALSE(QFile::exists(Path("c.mw")));

  // Cancelling the prompt of a load keeps the open book but empties its password.
  gb.Password = "second";
  const std::string before = Snap(gb);
  prompts.files = {Path("a.mw")};
  prompts.passwords = {QString()};
  cmd.Load();
  EXPECT_EQ(gb.Password, "");
  gb.Password = "second";
  EXPECT_EQ(Snap(gb), before);

  // Wrong, then closed by the frame (keeps the wrong one, so asks again), then right.
  ResetToFresh(gb, 1);
  gb.CurrentSemester = gb.CurrentClass = "gone";
  prompts.asked.clear();
  prompts.files = {Path("a.mw")};
  prompts.passwords = {QString("wrong"), std::nullopt, QString("pa55word")};
  cmd.Load();
  EXPECT_EQ(EncodePlain(gb).bytes, saved);
  EXPECT_TRUE(gb.SemesterOrder[1].Marked && !gb.CurrentSemester && !gb.CurrentClass);
  EXPECT_EQ(gb.Password, "pa55word");
  EXPECT_EQ(prompts.asked.size(), 4u);
  EXPECT_EQ(prompts.asked[3].text + prompts.asked[3].title, "3a.mw");
  EXPECT_EQ(win.statuses.last(), "Sucessfully loaded from file a.mw. (password-protected)");
}

TEST_F(FileCommandsTest, FailedLoadOrSaveChangesNothing) {
  SaveAs("good.mw", "pw");
  const QByteArray good = Bytes(Path("good.mw"));
  const std::pair<QString, QByteArray> bad[] = {{"cut.mw", good.left(good.size() - 3)},
                                                {"not-a-book.mw", "hello\r\nworld\r\n"},
                                                {"empty.mw", ""},
                                                {"missing.mw", {}}};
  const std::string before = Snap(gb);
  const QStringList captions = win.captions, statuses = win.statuses;
  for (const auto& [name, bytes] : bad) {
    if (QFile f(Path(name)); !bytes.isNull()) {
      ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    prompts.asked.clear();
    prompts.files = {Path(name)};
    prompts.passwords = {QString("pw")};
    cmd.Load();
    EXPECT_EQ(prompts.messages(), QStringList{ReadError(Path(name))});
    EXPECT_EQ(prompts.asked.back().title, "Error!");
    EXPECT_EQ(prompts.asked.back().icon, Prompts::Icon::Critical);
    EXPECT_EQ(Snap(gb), before) << name.toStdString();
  }
  EXPECT_EQ(win.captions, captions);
  EXPECT_EQ(win.shown, 0);

  // Saves are written whole or not at all.
  prompts.asked.clear();
  gb.Semesters[0].Classes[0].Name = "数学";  // not in Windows-1252
  cmd.Save();
  gb.Semesters[0].Classes[0].Name = "Math";
  prompts.files = {Path("no/such/folder/x.mw")};
  cmd.SaveAs();
  const auto saveError = [](const QString& p) {
    return "Error saving to file \"" + p + "\"! (Read-only?)";
  };
  EXPECT_EQ(prompts.messages(),
            QStringList({saveError(Path("good.mw")), saveError(Path("no/such/folder/x.mw"))}));
  EXPECT_EQ(prompts.asked.back().icon, Prompts::Icon::Critical);
  EXPECT_EQ(Bytes(Path("good.mw")), good);
  EXPECT_EQ(win.statuses, statuses);
}

TEST_F(FileCommandsTest, StartupLoadTakesTheArgumentElseTheAutoOpenSetting) {
  SaveAs("book.mw");
  store.WriteSetting("Options", "OpenFileName", Path("book.mw").toStdString());
  ResetToFresh(gb, 1);
  const std::string fresh = Snap(gb);
  store.WriteSetting("Options", "AutoOpen", "2");  // only 1 opens the named file
  cmd.StartupLoad({});
  EXPECT_EQ(Snap(gb), fresh);
  store.WriteSetting("Options", "AutoOpen", "1");
  cmd.StartupLoad(Path("missing.mw"));  // the argument wins
  EXPECT_EQ(prompts.messages(), QStringList{ReadError(Path("missing.mw"))});
  EXPECT_EQ(Snap(gb), fresh);  // no file names left behind
  EXPECT_EQ(win.refreshed, 1) << "figures refreshed after a load tried, failed or not";
}

TEST_F(FileCommandsTest, CancelledFileDialogsChangeNothing) {
  gb.FullFileName = "/somewhere/kept.mw";
  const std::string before = Snap(gb);
  prompts.files = {QString(), QString()};
  cmd.Load();
  cmd.SaveAs();
  EXPECT_EQ(prompts.asked[0].text + prompts.asked[0].defaultText,
            "Markwell Load File/somewhere/kept.mw");
  EXPECT_EQ(Snap(gb), before);
  EXPECT_TRUE(win.captions.isEmpty() && win.statuses.isEmpty());
}

}  // namespace
}  // namespace mw
