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

class FileCommandsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  GradeBook gb;
  test::ScriptedPrompts prompts;
  MemorySettingsStore store;
  FakeWindow win;
  FileCommands cmd{gb, prompts, store, win};

  // Two semesters, the second unmarked, a second group outside the mask, the third method
  // in use, a current semester and class.
  FileCommandsTest() {
    ResetToFresh(gb, 1);
    gb.GroupNames.push_back({"Core", false});
    Semester fall, spring;
    fall.SetName("Fall 2025");
    fall.AddClass({"Math", 3, 1.0 / 3, {"Everything", "Core"}});
    fall.AddClass({"Café", 12, 0, {}});
    spring.SetName("Spring");
    spring.AddClass({"Art", 0, 4.5, {"Core"}});
    gb.Semesters = {fall, spring};
    gb.SemesterOrder = {{"Fall 2025", true}, {"Spring", false}};
    gb.MethodPos = 2;
    gb.CurrentSemester = "Fall 2025";
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

TEST_F(FileCommandsTest, SavesAndLoadsBothFormsWithPasswordRetries) {
  prompts.files = {Path("plain.mw")};
  cmd.Save();  // no file yet: runs Save As
  EXPECT_EQ(prompts.asked.at(0).text + prompts.asked[0].title,
            "Markwell Save FileMarkwell Files (*.mw);;All Files (*)");
  EXPECT_EQ(win.captions.last(), "Markwell - plain.mw");
  EXPECT_EQ(win.statuses.last(), "Sucessfully saved to file plain.mw.");
  SaveAs("secret.mw", "pa55word");
  EXPECT_EQ(prompts.asked[1].defaultText, Path("plain.mw"));  // the dialog kept its last name
  EXPECT_EQ(prompts.asked.back().text, "1");
  EXPECT_EQ(win.statuses.last(), "Sucessfully saved to file secret.mw. (password-protected)");

  for (const QString name : {"plain.mw", "secret.mw"}) {
    const bool isProtected = name == "secret.mw";
    GradeBook other;
    ResetToFresh(other, 1);
    other.Password = "old";
    other.CurrentSemester = other.CurrentClass = "gone";
    test::ScriptedPrompts p;
    FakeWindow w;
    FileCommands c(other, p, store, w);
    // Wrong, then closed by the frame (keeps the wrong one, so asks again), then right.
    p.files = {Path(name)};
    p.passwords = {QString("wrong"), std::nullopt, QString("pa55word")};
    c.Load();
    EXPECT_EQ(EncodePlain(other).bytes, EncodePlain(gb).bytes);
    EXPECT_TRUE(other.SemesterOrder[1].Marked && !other.CurrentSemester && !other.CurrentClass);
    EXPECT_EQ(other.IsPassProtected, isProtected);
    EXPECT_EQ(other.Password, isProtected ? "pa55word" : "");
    EXPECT_EQ(other.FullFileName, Path(name).toStdString());
    EXPECT_EQ(w.captions, QStringList{"Markwell - " + name});
    EXPECT_EQ(w.statuses.last(), "Sucessfully loaded from file " + name +
                                     (isProtected ? ". (password-protected)" : "."));
    EXPECT_EQ(w.shown, 1);
    EXPECT_EQ(p.asked.size(), isProtected ? 4u : 1u);
    if (isProtected) {
      EXPECT_EQ(p.asked[3].text + p.asked[3].title, "3secret.mw");
    }
  }
}

TEST_F(FileCommandsTest, ProtectedSavesAskForPasswordsAsTheCommandRequires) {
  SaveAs("a.mw", "first");
  SaveAs("b.mw", "second");  // a new file asks even when a password is known
  EXPECT_EQ(gb.Password, "second");
  prompts.asked.clear();
  cmd.Save();  // the known password is used without asking
  EXPECT_TRUE(prompts.asked.empty());

  prompts.files = {Path("c.mw")};
  prompts.passwords = {QString()};  // the prompt cancelled
  cmd.SaveAs();
  EXPECT_EQ(win.captions.last(), "Markwell - c.mw");
  EXPECT_EQ(win.statuses.last(), "No password entered; did not save file \"" + Path("c.mw") +
                                     "\"! (Turn off password-protection in the Options menu.)");
  EXPECT_FALSE(QFile::exists(Path("c.mw")));

  // Cancelling the prompt of a load keeps the open book but empties its password, so the
  // next Save asks again.
  gb.Password = "second";
  const std::string before = Snap(gb);
  prompts.files = {Path("a.mw")};
  prompts.passwords = {QString()};
  cmd.Load();
  EXPECT_EQ(win.statuses.last(), "Did not open file \"" + Path("a.mw") + "\"!");
  EXPECT_EQ(gb.Password, "");
  gb.Password = "second";
  EXPECT_EQ(Snap(gb), before);
  gb.Password.clear();
  prompts.passwords = {QString("third")};
  cmd.Save();
  EXPECT_EQ(prompts.asked.back().text, "1");
  EXPECT_EQ(win.statuses.last(), "Sucessfully saved to file c.mw. (password-protected)");
}

TEST_F(FileCommandsTest, FailedLoadChangesNothing) {
  SaveAs("plain.mw");
  SaveAs("secret.mw", "pw");
  const QByteArray plain = Bytes(Path("plain.mw")), secret = Bytes(Path("secret.mw"));
  const std::map<QString, QByteArray> bad = {{"cut-plain.mw", plain.left(plain.size() / 2)},
                                             {"cut-secret.mw", secret.left(secret.size() - 3)},
                                             {"not-a-book.mw", "hello\r\nworld\r\n"},
                                             {"empty.mw", ""}};
  for (const auto& [name, bytes] : bad) {
    QFile f(Path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
  }
  const std::string before = Snap(gb);
  const auto captions = win.captions;
  QString lastChosen = Path("secret.mw");
  for (const QString name : {"cut-plain.mw", "cut-secret.mw", "not-a-book.mw", "empty.mw",
                             "missing.mw", "."}) {  // "." is the folder itself
    prompts.asked.clear();
    prompts.files = {Path(name)};
    prompts.passwords = {QString("pw")};
    cmd.Load();
    EXPECT_EQ(prompts.asked[0].defaultText, std::exchange(lastChosen, Path(name)));
    EXPECT_EQ(prompts.messages(), QStringList{"Error reading in file \"" + Path(name) + "\"!"});
    EXPECT_EQ(prompts.asked.back().title, "Error!");
    EXPECT_EQ(prompts.asked.back().icon, Prompts::Icon::Critical);
    EXPECT_EQ(Snap(gb), before) << name.toStdString();
  }
  EXPECT_EQ(win.captions, captions);
  EXPECT_EQ(win.shown, 0);
}

TEST_F(FileCommandsTest, FailedSaveKeepsThePreviousFile) {
  SaveAs("good.mw");
  const QByteArray good = Bytes(Path("good.mw"));
  const QStringList statuses = win.statuses;
  const auto expectSaveError = [&](const QString& path) {
    EXPECT_EQ(prompts.messages().last(), "Error saving to file \"" + path + "\"! (Read-only?)");
    EXPECT_EQ(prompts.asked.back().icon, Prompts::Icon::Critical);
    EXPECT_EQ(Bytes(Path("good.mw")), good);
    EXPECT_EQ(win.statuses, statuses);
  };

  gb.Semesters[0].Classes[0].Name = "数学";  // not in Windows-1252
  cmd.Save();
  expectSaveError(Path("good.mw"));
  gb.Semesters[0].Classes[0].Name = "Math";

  // The group multiplier of the 24th class of the tenth semester overflows 16 bits.
  for (int i = 3; i <= 10; ++i) {
    gb.Semesters.push_back(gb.Semesters[1]);
    gb.Semesters.back().SetName("S" + std::to_string(i));
    gb.SemesterOrder.push_back({gb.Semesters.back().Name, true});
  }
  gb.Semesters[9].Classes.resize(24, gb.Semesters[1].Classes[0]);
  gb.IsPassProtected = true;
  gb.Password = "pw";
  cmd.Save();
  expectSaveError(Path("good.mw"));

  gb.IsPassProtected = false;
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
  for (const QString& target : {Path("no/such/folder/x.mw"), Path("folder")}) {
    prompts.files = {target};
    cmd.SaveAs();
    expectSaveError(target);
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"good.mw"});
}

TEST_F(FileCommandsTest, StartupLoadTakesTheArgumentElseTheAutoOpenSetting) {
  SaveAs("my book.mw");
  SaveAs("auto.mw", "pw");
  const auto startup = [&](const char* autoOpen, const QString& name, const QString& arg) {
    ResetToFresh(gb, 1);
    store.WriteSetting("Options", "AutoOpen", autoOpen);
    store.WriteSetting("Options", "OpenFileName", name.toStdString());
    prompts.passwords = {QString("pw")};
    prompts.asked.clear();
    cmd.StartupLoad(arg);
  };
  startup("1", Path("auto.mw"), Path("my book.mw"));  // the argument wins, blanks and all
  EXPECT_EQ(gb.FileName, Path("my book.mw").toStdString());
  EXPECT_EQ(win.captions.last(), "Markwell - " + Path("my book.mw"));
  EXPECT_FALSE(gb.IsPassProtected);
  startup("1", Path("auto.mw"), {});
  EXPECT_TRUE(gb.IsPassProtected);
  EXPECT_EQ(gb.FullFileName, Path("auto.mw").toStdString());
  EXPECT_EQ(win.refreshed, 2);

  ResetToFresh(gb, 1);
  const std::string fresh = Snap(gb);
  for (const char* autoOpen : {"1", "2"}) {  // "1" with no name, "2" with a name
    startup(autoOpen, autoOpen[0] == '1' ? QString() : Path("auto.mw"), {});
    EXPECT_EQ(Snap(gb), fresh);
    EXPECT_TRUE(prompts.asked.empty());
  }
  startup("0", {}, Path("missing.mw"));
  EXPECT_EQ(prompts.messages(), QStringList{"Error reading in file \"" + Path("missing.mw") + "\"!"});
  EXPECT_EQ(Snap(gb), fresh);  // no file names left behind
}

TEST_F(FileCommandsTest, CancelledDialogsAndQuitChangeNothing) {
  gb.FullFileName = "/somewhere/kept.mw";
  const std::string before = Snap(gb);
  prompts.files = {QString(), QString()};
  cmd.Load();
  cmd.SaveAs();
  EXPECT_EQ(prompts.asked[0].text + prompts.asked[0].defaultText,
            "Markwell Load File/somewhere/kept.mw");
  prompts.yesNo = {false, true};
  EXPECT_FALSE(cmd.ConfirmQuit());
  EXPECT_TRUE(cmd.ConfirmQuit());
  EXPECT_EQ(prompts.asked.back().text + prompts.asked.back().title,
            "Are you sure you want to quit Markwell?Quit Markwell");
  EXPECT_EQ(Snap(gb), before);
  EXPECT_TRUE(win.captions.isEmpty() && win.statuses.isEmpty());
}

}  // namespace
}  // namespace mw
