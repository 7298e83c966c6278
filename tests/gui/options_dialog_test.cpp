// "Markwell Options": filling from the settings store, Apply, OK, Cancel and the current file
// button.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <functional>

#include "scripted_prompts.h"
#include "ui/dialogs/options_dialog.h"

namespace mw {
namespace {

// Records the order of the writes.
class RecordingStore : public MemorySettingsStore {
 public:
  std::vector<std::string> written;
  void WriteSetting(std::string_view section, std::string_view key,
                    std::string_view value) override {
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
  QPushButton* currFile = d.findChild<QPushButton*>("CurrFileButton");
  QPushButton* cancel = d.findChild<QPushButton*>("cmdCancel");
  QPushButton* apply = d.findChild<QPushButton*>("cmdApply");

  std::string Stored(const char* key) { return store.ReadSetting("Options", key, "<absent>"); }
};

TEST_F(OptionsDialogTest, EachOpeningShowsTheDefaultsOrWhatIsStored) {
  gb.FullFileName = "/home/me/grades.mw";
  d.show();
  EXPECT_EQ(grade->currentText() + credits->text() + fileName->text(), "A1/home/me/grades.mw");
  EXPECT_FALSE(autoOpen->isChecked() || protect->isChecked());
  const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
  EXPECT_LE((d.frameGeometry().center() - centre).manhattanLength(), 4) << "centred on the screen";
  d.close();

  store.WriteSetting("Options", "DefGrade", "12");
  store.WriteSetting("Options", "DefCredits", "3.50");
  store.WriteSetting("Options", "AutoOpen", "1");
  store.WriteSetting("Options", "OpenFileName", "");
  gb.IsPassProtected = true;
  d.show();
  EXPECT_EQ(grade->currentText(), "E");
  EXPECT_EQ(credits->text(), "3.50") << "shown exactly as stored";
  EXPECT_EQ(fileName->text(), "") << "a stored empty name is not replaced by the open file";
  EXPECT_TRUE(autoOpen->isChecked() && protect->isChecked());
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
    apply->click();
    EXPECT_EQ(credits->text(), number) << text;
    EXPECT_EQ(Stored("DefCredits"), number) << text;
  }
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(std::vector(store.written.begin(), store.written.begin() + 4),
            (std::vector<std::string>{"DefGrade", "DefCredits", "OpenFileName", "AutoOpen"}));
  EXPECT_EQ(Stored("DefGrade") + Stored("AutoOpen"), "31");
  EXPECT_EQ(Stored("OpenFileName"), "  /tmp/with blanks.mw ");
  EXPECT_TRUE(gb.IsPassProtected);

  credits->setText("9");
  cancel->click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(Stored("DefCredits"), "3") << "Cancel does not undo an earlier Apply";
}

TEST_F(OptionsDialogTest, EnterAppliesAndClosesWhileCancelEscAndTheFrameWriteNothing) {
  gb.IsPassProtected = true;
  const std::function<void()> closers[] = {
      [&] { cancel->click(); }, [&] { QTest::keyClick(credits, Qt::Key_Escape); },
      [&] { d.close(); }, [&] { QTest::keyClick(credits, Qt::Key_Return); }};  // OK is default
  for (const auto& close : closers) {
    d.show();
    protect->setChecked(false);
    credits->setText("4.0");
    close();
    EXPECT_FALSE(d.isVisible());
  }
  EXPECT_EQ(store.written.size(), 4u) << "only the last way wrote";
  EXPECT_EQ(Stored("DefCredits") + Stored("AutoOpen"), "40");
  EXPECT_FALSE(gb.IsPassProtected);
}

TEST_F(OptionsDialogTest, CurrentFileButtonCopiesThePathOrSaysThereIsNone) {
  d.show();
  fileName->setText("/kept.mw");
  currFile->click();
  EXPECT_EQ(fileName->text(), "/kept.mw");
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].text + "|" + prompts.asked[0].title,
            "Current file has not been saved yet!|No Current File");
  gb.FullFileName = "/home/me/saved.mw";
  currFile->click();
  EXPECT_EQ(fileName->text(), "/home/me/saved.mw");
  EXPECT_EQ(prompts.asked.size(), 1u);
  EXPECT_TRUE(store.written.empty());
}

}  // namespace
}  // namespace mw
