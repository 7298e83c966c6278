// The settings: the preference readers and the QSettings store behind them, and "Markwell
// Options": filling from the settings store, Apply, OK, Cancel, the current file button, and
// the grading method of new grade books.
#include "gui_test.h"

#include <QWheelEvent>

#include "settings/qt_settings_store.h"
#include "ui/dialogs/options_dialog.h"

namespace mw {
namespace {

// Records the order of the writes.
struct RecordingStore : MemorySettingsStore {
  std::vector<std::string> written;
  void WriteSetting(std::string_view section, std::string_view key, std::string_view value) override {
    written.emplace_back(key);
    MemorySettingsStore::WriteSetting(section, key, value);
  }
};

class OptionsDialogTest : public ::testing::Test {
 protected:
  GradeBook gb;
  RecordingStore store;
  test::ScriptedPrompts prompts;
  OptionsDialog d{gb, store, prompts};
  QComboBox* grade = d.findChild<QComboBox*>("GradeListBox");
  QLineEdit* credits = d.findChild<QLineEdit*>("CreditBox");
  QCheckBox* protect = d.findChild<QCheckBox*>("Passprotect");
  QCheckBox* autoOpen = d.findChild<QCheckBox*>("FileNameCheck");
  QLineEdit* fileName = d.findChild<QLineEdit*>("FileNameBox");

  OptionsDialogTest() { d.SetProtection = [this](bool on) { gb.IsPassProtected = on; }; }
  void Click(const char* button) { d.findChild<QPushButton*>(button)->click(); }
  QString Stored(const char* k) { return QString::fromUtf8(store.ReadSetting("Options", k, "")); }
};

TEST_F(OptionsDialogTest, EachOpeningShowsTheDefaultsOrWhatIsStoredAndCurrentFileFillsTheName) {
  gb.FullFileName = "/home/me/grades.mw";
  d.show();
  EXPECT_EQ(grade->currentText() + credits->text() + fileName->text(), "A1/home/me/grades.mw");
  EXPECT_FALSE(autoOpen->isChecked() || protect->isChecked());
  d.close();

  for (auto [key, value] : {std::pair{"DefGrade", "12"}, {"DefCredits", "3.50"}, {"AutoOpen", "1"},
                            {"OpenFileName", ""}})
    store.WriteSetting("Options", key, value);
  gb.IsPassProtected = true;
  d.show();
  // Credits shown exactly as stored; a stored empty name is not replaced by the open file.
  EXPECT_EQ(grade->currentText() + "|" + credits->text() + "|" + fileName->text(), "E|3.50|");
  EXPECT_TRUE(autoOpen->isChecked() && protect->isChecked());

  // The current file button copies the open book's path, or says there is none.
  Click("CurrFileButton");
  EXPECT_EQ(fileName->text(), "/home/me/grades.mw");
  gb.FullFileName = "w/a.mw";  // stored absolute, for start-up from any folder
  Click("CurrFileButton");
  EXPECT_EQ(fileName->text(), QDir::current().absoluteFilePath("w/a.mw"));
  gb.FullFileName.clear();
  fileName->setText("/kept.mw");
  Click("CurrFileButton");
  EXPECT_EQ(fileName->text(), "/kept.mw");
  EXPECT_EQ(prompts.messages(), QStringList{"Current file has not been saved yet!"});
}

TEST_F(OptionsDialogTest, ApplyWritesInOrderNormalisesCreditsAndStaysOpen) {
  d.show();
  grade->setCurrentIndex(3);
  fileName->setText("  /tmp/with blanks.mw ");
  autoOpen->setChecked(true);
  protect->setChecked(true);
  // The box and the store get the plain text of the leading number.
  for (auto [text, number] : {std::pair{"2.50", "2.5"}, {"letters", "0"}, {" 3 credits", "3"}}) {
    credits->setText(text);
    Click("cmdApply");
    EXPECT_EQ(credits->text() + "|" + Stored("DefCredits"), QString(number) + "|" + number) << text;
  }
  EXPECT_TRUE(d.isVisible() && gb.IsPassProtected);
  EXPECT_EQ(std::vector(store.written.begin(), store.written.begin() + 4),
            (std::vector<std::string>{"DefGrade", "DefCredits", "OpenFileName", "AutoOpen"}));
  EXPECT_EQ(Stored("DefGrade") + Stored("AutoOpen") + Stored("OpenFileName"), "31  /tmp/with blanks.mw ");

  credits->setText("9");
  Click("cmdCancel");
  EXPECT_EQ(Stored("DefCredits"), "3") << "Cancel does not undo an earlier Apply";
}

TEST_F(OptionsDialogTest, EnterAppliesAndClosesWhileCancelEscAndTheFrameWriteNothing) {
  gb.IsPassProtected = true;
  const std::function<void()> closers[] = {
      [&] { Click("cmdCancel"); }, [&] { QTest::keyClick(credits, Qt::Key_Escape); },
      [&] { d.close(); }, [&] { QTest::keyClick(credits, Qt::Key_Return); }};  // OK is default
  for (const auto& close : closers) {
    d.show();
    protect->setChecked(false);
    credits->setText("4.0");
    credits->setFocus();  // a wheel notch over the grade box passes by it
    QWheelEvent notch({5, 5}, grade->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, {}, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grade, &notch);
    close();
    EXPECT_FALSE(d.isVisible());
  }
  EXPECT_EQ(store.written.size(), 5u) << "only the last way wrote";
  EXPECT_EQ(Stored("DefCredits") + Stored("AutoOpen") + Stored("DefGrade") + (gb.IsPassProtected ? "P" : "-"), "401-");
}

TEST_F(OptionsDialogTest, NewGradeBooksUseTheMethodChosenHere) {
  d.show();
  auto* box = d.findChild<QComboBox*>("NewBookMethodBox");
  EXPECT_EQ(box->currentIndex(), 0);  // the built-in first method
  box->setCurrentIndex(box->findText("A+ = 4.33, thirds"));
  d.Apply();
  MainScreen w(store, &prompts);
  w.StartUp(QString());
  ASSERT_EQ(w.Book().Methods.size(), 4u);
  EXPECT_EQ(w.Book().MethodText(), "A+ = 4.33, thirds");
  EXPECT_EQ(w.findChild<QComboBox*>("MethodList")->currentText(), "A+ = 4.33, thirds");
  box->setCurrentIndex(0);
  d.Apply();
  prompts.yesNo = {true};
  w.New_Click();
  EXPECT_EQ(w.Book().Methods.size(), 3u);
  EXPECT_EQ(w.Book().MethodPos, 0);
}

TEST(SettingsReaders, ConvertStoredTextOrFallBackToTheDefault) {
  MemorySettingsStore store;
  EXPECT_EQ(std::tuple(ReadDefGrade(store), ReadDefCredits(store), ReadAutoOpen(store)), std::tuple(1, 1.0, 0.0));
  EXPECT_EQ(ReadOpenFileName(store, "/a/b.mw"), "/a/b.mw");

  auto set = [&](const char* key, const char* text) { store.WriteSetting("Options", key, text); };
  // Whole numbers 0 to 12 (halves to even); anything else is the default.
  for (auto [text, grade] : {std::pair{"0", 0}, {"12", 12}, {"2.5", 2}, {"3.5", 4}, {"13", 1},
                             {"-1", 1}, {"abc", 1}, {"70000", 1}}) {
    set("DefGrade", text);
    EXPECT_EQ(ReadDefGrade(store), grade) << text;
  }
  for (auto [text, value] : {std::pair{"2.5", 2.5}, {"-4", -4.}, {"2,5", 1.}, {"3 credits", 1.}}) {
    set("DefCredits", text);
    EXPECT_EQ(ReadDefCredits(store), value) << text;
  }
  // Start-up compares the number with 1; the options check box knows only 0 and 1.
  const std::tuple<const char*, double, int> autoOpen[] = {
      {"1", 1, 1}, {"1.2", 1.2, 1}, {"0", 0, 0}, {"2", 2, 0}, {"yes", 0, 0}};
  for (auto [text, number, check] : autoOpen) {
    set("AutoOpen", text);
    EXPECT_EQ(ReadAutoOpen(store), number) << text;
    EXPECT_EQ(ReadAutoOpenCheck(store), check) << text;
  }
}

TEST(QtSettingsStore, KeepsTextsUnchangedInItsFileAcrossInstances) {
  QTemporaryDir dir;
  const QString path = dir.filePath("sub/Markwell.conf");
  EXPECT_EQ(ReadOpenFileName(QtSettingsStore(path), "absent"), "absent");
  EXPECT_FALSE(QFile::exists(path)) << "reading creates no store";
  for (const std::string text : {"", " padded ", "/a/My Grades, 2024.mw", "@start", "C:\\g.mw",
                                 "#x;y=z", "\"quoted\"", "Ünïcödé/目录.mw"}) {
    QtSettingsStore(path).WriteSetting("Options", "OpenFileName", text);
    EXPECT_EQ(ReadOpenFileName(QtSettingsStore(path), "absent"), text);
  }
  EXPECT_EQ(QtSettingsStore(path).ReadSetting("Other", "OpenFileName", "absent"), "absent");

  // A hand-edited file with an unquoted comma is read whole.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Options]\nOpenFileName=/home/me/a,b.mw\n");
  file.close();
  EXPECT_EQ(ReadOpenFileName(QtSettingsStore(path), ""), "/home/me/a,b.mw");
}

}  // namespace
}  // namespace mw
