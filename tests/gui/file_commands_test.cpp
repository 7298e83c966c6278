// The file commands against real files in a temporary folder, with scripted answers.
#include "app/file_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "scripted_prompts.h"
#include "storage/file_io.h"
#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

namespace mw {
namespace {

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
  Run(&FileCommands::Save, "a.mw", {"pa55word", "pa55wd"});  // no file yet: Save As, then mode 1
  EXPECT_EQ(prompts.asked.at(0).text + prompts.asked[0].title + prompts.asked.at(1).text,
            "Markwell Save FileMarkwell Files (*.mw);;All Files (*)1");
  EXPECT_TRUE(prompts.messages().value(0).contains("at most 6 characters"));  // then asked again
  EXPECT_EQ(prompts.asked.at(3).kind + prompts.asked[3].text, "password1");
  const std::string saved = EncodePlain(gb).bytes;
  Run(&FileCommands::SaveAs, "b.mw", {"second"});  // a new file asks even when one is known
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

  // A file saved elsewhere with a longer password opens with exactly that text (typed twice
  // when both readings hold); saving it asks for a new password, since the key sees only six.
  ASSERT_TRUE(WriteFileAtomically(
      Path("long.mw").toStdString(),
      storage_detail::EncodeProtectedWord(gb, "pa55word", [] { return 90; }, 3).bytes));
  Run(&FileCommands::Load, "long.mw", {"pa55word", "pa55word"});
  EXPECT_EQ(gb.Password, "pa55word");
  Run(&FileCommands::Save, {}, {"pa55wd"});
  EXPECT_EQ(prompts.asked.at(0).kind + prompts.asked[0].text, "password1");
  EXPECT_EQ(gb.Password, "pa55wd");
}

TEST_F(FileCommandsTest, FailedOrCancelledLoadsAndSavesChangeNothing) {
  Run(&FileCommands::SaveAs, "good.mw", {"pw"});
  const QByteArray good = Bytes(Path("good.mw"));
  const std::pair<QString, QByteArray> bad[] = {{"cut.mw", good.left(good.size() - 3)},
                                                {"not-a-book.mw", "hello\r\nworld\r\n"},
                                                {"pipe.mw", {}}, {"missing.mw", {}}};
  ::mkfifo(qPrintable(Path("pipe.mw")), 0600);  // refused, not waited on
  const std::string before = Snap(gb);
  const QStringList log = win.log;
  for (const auto& [name, bytes] : bad) {
    if (QFile f(Path(name)); !bytes.isNull()) {
      ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
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
