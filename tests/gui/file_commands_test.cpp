// The document: every step, undo and redo reaches the listeners with what it touched, the
// selection follows the step's place and never names what is gone, and unsaved changes follow
// the history. Then the file commands against real files in a temporary folder, with scripted
// answers.
#include "app/file_commands.h"

#include <sys/stat.h>

#include "app/book_document.h"
#include "edit/edit.h"
#include "gui_test.h"
#include "storage/file_io.h"
#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

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

struct FakeWindow : WindowHost {
  QStringList log;  // captions and status lines, in order
  int refreshed = 0;
  void SetCaption(const QString& c) override { log << c; }
  void SetStatusText(const QString& t) override { log << t; }
  void RefreshFigures() override { ++refreshed; }
};

// Everything a command may change: the document (as its plain file) and the state around it.
std::string Snap(const GradeBook& g) {
  std::string s = EncodePlain(g).bytes + '/' + g.FileName + '/' + g.FullFileName + '/' + g.Password +
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
  BookDocument doc;
  const GradeBook& gb = doc.Book();
  test::ScriptedPrompts prompts;
  MemorySettingsStore store;
  FakeWindow win;
  FileCommands cmd{doc, prompts, store, win};
  int loads = 0;  // books that replaced the open one

  // An unmarked second semester, a current semester and class.
  FileCommandsTest() {
    Change([](GradeBook& b) {
      b.Semesters = {{{{"Math", 3, 1.0 / 3, {b.InternGroup("Everything")}}}, "Fall"}, {{}, "Spring"}};
      b.SemesterOrder = {{"Fall", true}, {"Spring", false}};
    });
    QObject::connect(&doc, &BookDocument::Changed, [this](unsigned, const edit::Place&, BookDocument::Cause cause) {
      loads += cause == BookDocument::Cause::Reset;
    });
  }
  // Changes the open book as a file from elsewhere would bring it.
  void Change(const std::function<void(GradeBook&)>& change) {
    GradeBook b = doc.Book();
    change(b);
    doc.Reset(std::move(b));
  }
  void Fresh() { Change([](GradeBook& b) { ResetToFresh(b); }); }
  QString Path(const QString& name) const { return dir.filePath(name); }
  // Runs a command with the file dialog answering `name` and the password prompt `passwords`.
  template <typename R>
  void Run(R (FileCommands::*command)(), const QString& name,
           std::deque<std::optional<QString>> passwords = {}) {
    prompts.asked.clear();
    prompts.files = {name.isEmpty() ? QString() : Path(name)};
    prompts.passwords = std::move(passwords);
    (cmd.*command)();
  }
};

TEST_F(FileCommandsTest, PasswordsAreAskedAsEachSaveAndLoadRequires) {
  doc.SetFileState("", "", true, "");
  // No file yet: Save As, then mode 1; too long, then confirmed wrongly, asks again.
  Run(&FileCommands::Save, "a.mw", {"pa55word", "pa55wd", "pa55wD", "pa55wd", "pa55wd"});
  EXPECT_EQ(prompts.asked.at(0).text + prompts.asked[0].title + prompts.asked.at(1).text,
            "Markwell Save FileMarkwell Files (*.mw);;All Files (*)1");
  EXPECT_TRUE(prompts.messages().value(0).contains("at most 6 characters"));  // then asked again
  EXPECT_EQ(prompts.messages().value(1), kPasswordsDiffer);
  QString modes;
  for (const auto& a : prompts.asked) modes += a.kind == "password" ? a.text : "";
  EXPECT_EQ(modes, "11414");
  const std::string saved = EncodePlain(gb).bytes;
  Run(&FileCommands::SaveAs, "b.mw", {"second", "second"});  // a new file asks even when one is known
  EXPECT_EQ(prompts.asked[0].defaultText, Path("a.mw"));
  Run(&FileCommands::Save, {});  // the known password is used without asking
  EXPECT_TRUE(prompts.asked.empty());

  Run(&FileCommands::SaveAs, "c.mw", {QString()});  // the prompt cancelled
  EXPECT_EQ(win.log.last(), "No password entered; did not save file \"" + Path("c.mw") +
                                     "\"! (Turn off password-protection in the Options menu.)");
  EXPECT_FALSE(QFile::exists(Path("c.mw")));

  // Cancelling the prompt of a load keeps the open book but empties its password.
  doc.SetFileState(gb.FileName, gb.FullFileName, true, "");
  const std::string before = Snap(gb);
  doc.SetFileState(gb.FileName, gb.FullFileName, true, "second");
  Run(&FileCommands::Load, "a.mw", {QString()});
  EXPECT_EQ(Snap(gb), before);

  // Wrong, then closed by the frame (keeps the wrong one, so asks again), then right.
  Fresh();
  Run(&FileCommands::Load, "a.mw", {"wrong", std::nullopt, "pa55wd"});
  EXPECT_EQ(EncodePlain(gb).bytes, saved);
  EXPECT_TRUE(gb.SemesterOrder[1].Marked && gb.Password == "pa55wd");
  EXPECT_EQ(prompts.asked.at(3).text + prompts.asked[3].title, "3a.mw");
  EXPECT_TRUE(win.log.contains("Sucessfully loaded from file a.mw. (password-protected)"));

  // A file saved elsewhere with a longer password whose two readings both hold, neither on the
  // plain grid (1/3 credits): the user chooses between them side by side. Saving it asks for a
  // new password, since the key sees only six.
  GradeBook aPlus = gb;  // grade 0 in group 0: both readings hold
  aPlus.Semesters[0].Classes[0].Grade = 0;
  ASSERT_TRUE(WriteFileAtomically(
      Path("long.mw").toStdString(),
      storage_detail::EncodeProtectedWord(aPlus, "pa55word", [] { return 90; }, 3).bytes));
  prompts.readings = {0};
  Run(&FileCommands::Load, "long.mw", {"pa55word"});
  EXPECT_EQ(gb.Password, "pa55word");
  EXPECT_EQ(EncodePlain(gb).bytes, EncodePlain(aPlus).bytes);
  EXPECT_TRUE(prompts.asked.at(2).kind == "reading" && prompts.asked[2].title.contains("Math: 0.333333333333333 credits"))
      << prompts.asked.at(2).kind.toStdString() << prompts.asked[2].title.toStdString();
  Run(&FileCommands::Save, {}, {"pa55wd", "pa55wd"});
  EXPECT_EQ(prompts.asked.at(0).kind + prompts.asked[0].text, "password1");
  EXPECT_EQ(gb.Password, "pa55wd");
}

TEST_F(FileCommandsTest, FailedOrCancelledLoadsAndSavesChangeNothing) {
  Run(&FileCommands::SaveAs, "good.mw", {"pw"});
  const QByteArray good = Bytes(Path("good.mw"));
  const std::pair<QString, QByteArray> bad[] = {{"cut.mw", good.left(good.size() - 3)}, {"pipe.mw", {}}, {"missing.mw", {}}};
  ::mkfifo(qPrintable(Path("pipe.mw")), 0600);  // refused, not waited on
  const std::string before = Snap(gb);
  const QStringList log = win.log;
  for (const auto& [name, bytes] : bad) {
    if (!bytes.isNull()) test::WriteFile(Path(name), bytes);
    Run(&FileCommands::Load, name, {"pw"});
    EXPECT_EQ(prompts.messages(), QStringList{"Error reading in file \"" + Path(name) + "\"!"});
    EXPECT_EQ(prompts.asked.back().title, "Error!");
    EXPECT_EQ(Snap(gb), before) << name.toStdString();
  }
  // Cancelled file dialogs, starting from the open book's name.
  Run(&FileCommands::Load, {});
  EXPECT_EQ(prompts.asked[0].text + prompts.asked[0].defaultText,
            "Markwell Load File" + Path("missing.mw"));  // the dialog kept its last name
  Run(&FileCommands::SaveAs, {});
  EXPECT_TRUE(Snap(gb) == before && loads == 0 && win.log == log);

  // Saves are written whole or not at all, and say nothing of success.
  const QString saveError = "Error saving to file \"%1\"! (Read-only?)";
  Change([](GradeBook& b) { b.Semesters[0].Classes[0].Name = "数学"; });  // not in Windows-1252
  Run(&FileCommands::Save, {});
  EXPECT_EQ(prompts.messages(), QStringList{saveError.arg(Path("good.mw"))});
  Change([](GradeBook& b) { b.Semesters[0].Classes[0].Name = "Math"; });
  Run(&FileCommands::SaveAs, "no/such/folder/x.mw");
  EXPECT_EQ(prompts.messages(), QStringList{saveError.arg(Path("no/such/folder/x.mw"))});
  QFile::setPermissions(Path("good.mw"), QFileDevice::ReadOwner);  // read-only, even for root
  Run(&FileCommands::SaveAs, "good.mw", {"pw"});
  EXPECT_EQ(prompts.messages(), QStringList{saveError.arg(Path("good.mw"))});
  EXPECT_EQ(Bytes(Path("good.mw")), good);
  EXPECT_EQ(win.log.size(), log.size() + 2) << "only the new names' captions";
}

TEST_F(FileCommandsTest, StartupLoadTakesTheArgumentElseTheAutoOpenSetting) {
  Run(&FileCommands::SaveAs, "book.mw");
  store.WriteSetting("Options", "OpenFileName", Path("book.mw").toStdString());
  Fresh();
  const std::string fresh = Snap(gb);
  store.WriteSetting("Options", "AutoOpen", "2");  // only 1 opens the named file
  cmd.StartupLoad({});
  store.WriteSetting("Options", "AutoOpen", "1");
  cmd.StartupLoad(Path("missing.mw"));  // the argument wins over the setting's good book
  EXPECT_EQ(Snap(gb), fresh);  // so nothing loads, and no file name is left behind
  EXPECT_EQ(win.refreshed, 1) << "figures refreshed after a load tried, failed or not";

  // A relative name on the command line is kept absolute; the name shown is as typed.
  const QString folder = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  cmd.StartupLoad("./book.mw");
  QDir::setCurrent(folder);
  EXPECT_EQ(gb.FileName + "|" + gb.FullFileName, "./book.mw|" + Path("book.mw").toStdString());
}

// Files that do not read say why and never stop the start; a copy kept by a save in place that
// did not finish is offered; a file changed by another program is not overwritten unasked.
TEST_F(FileCommandsTest, HugeFarAndTornFilesAndFilesChangedOnDisk) {
  Fresh();
  const std::string fresh = Snap(gb);
  ASSERT_EQ(::truncate((QFile(Path("huge.mw")).open(QIODevice::WriteOnly), qPrintable(Path("huge.mw"))), 64LL << 30), 0);
  store.WriteSetting("Options", "AutoOpen", "1");
  store.WriteSetting("Options", "OpenFileName", Path("huge.mw").toStdString());
  cmd.StartupLoad({});
  EXPECT_EQ(prompts.messages(), QStringList{"Error reading in file \"" + Path("huge.mw") + "\"!"});
  EXPECT_EQ(Snap(gb), fresh);

  GradeBook big = gb;
  big.Semesters = {{{{"Big", 3, 7.25, {}}}, "Fall"}};
  big.SemesterOrder = {{"Fall", true}};
  const std::string far = QByteArray::fromStdString(EncodePlain(big).bytes).replace("7.25", "1e300").toStdString();
  ASSERT_TRUE(WriteFileAtomically(Path("far.mw").toStdString(), far));
  Run(&FileCommands::Load, "far.mw");
  EXPECT_TRUE(prompts.messages().value(0).contains("class \"Big\" in semester \"Fall\""));

  // A torn file with the copy beside it: the copy opens under the file's own name.
  Change([&](GradeBook& b) { b = big; });
  Run(&FileCommands::SaveAs, "torn.mw");
  const QByteArray whole = Bytes(Path("torn.mw"));
  Fresh();
  test::WriteFile(Path("torn.mw"), whole.left(40));
  const std::string copyPath = storage_detail::RecoveryCopyPath(Path("torn.mw").toStdString());
  ASSERT_TRUE(WriteFileAtomically(copyPath, whole.toStdString()));
  prompts.yesNo = {true};
  Run(&FileCommands::Load, "torn.mw");
  EXPECT_TRUE(prompts.asked.at(2).kind == "yesno" && prompts.asked[2].text.contains(QString::fromStdString(copyPath)));
  EXPECT_EQ(gb.FullFileName, Path("torn.mw").toStdString());
  EXPECT_EQ(gb.Semesters.at(0).Classes.at(0).Name, "Big");
  Run(&FileCommands::Save, {});
  EXPECT_TRUE(Bytes(Path("torn.mw")) == whole && RecoveryCopyOf(gb.FullFileName).empty());

  // Changed since: asked first; No keeps the other program's bytes.
  {
    QFile other(Path("torn.mw"));
    ASSERT_TRUE(other.open(QIODevice::Append) && other.write("x") == 1);
  }
  prompts.yesNo = {false, true};
  EXPECT_FALSE(cmd.Save());
  EXPECT_EQ(prompts.asked.back().text, "The file has changed on disk since it was opened. Overwrite it?");
  EXPECT_EQ(Bytes(Path("torn.mw")), whole + "x");
  EXPECT_TRUE(cmd.Save());
  EXPECT_EQ(Bytes(Path("torn.mw")), whole);
}

// "--help" and "--version" alone answer without a window or display; anything else is a file.
TEST(ProgramArgumentsTest, HelpAndVersionAnswerWithoutAWindow) {
  for (const auto& [argument, start] : std::vector<std::pair<QString, QString>>{
           {"--version", "Markwell " MARKWELL_VERSION "\n"}, {"--help", "Usage: markwell [FILE]\n"}}) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    program.setProcessEnvironment(env);
    program.start(MARKWELL_PROGRAM_PATH, {argument});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardOutput()).startsWith(start)) << argument.toStdString();
  }
}

}  // namespace
}  // namespace mw
