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
  QPushButton* ok = d.findChild<QPushButton*>("cmdOK");  // the default button
  QPushButton* cancel = d.findChild<QPushButton*>("cmdCancel");
  QPushButton* apply = d.findChild<QPushButton*>("cmdApply");

  std::string Stored(const char* key) { return store.ReadSetting("Options", key, "<absent>"); }
};

TEST_F(OptionsDialogTest, EachOpeningShowsTheDefaultsOrWhatIsStored) {
  gb.FullFileName = "/home/me/grades.mw";
  d.show();
  EXPECT_EQ(grade->currentText(), "A");
  EXPECT_EQ(credits->text(), "1");
  EXPECT_EQ(fileName->text(), "/home/me/grades.mw");
  EXPECT_FALSE(autoOpen->isChecked() || protect->isChecked());
  credits->setText("7");  // typed, never applied
  d.close();
  EXPECT_TRUE(store.written.empty());

  store.WriteSetting("Options", "DefGrade", "12");
  store.WriteSetting("Options", "DefCredits", "3.50");
  store.WriteSetting("Options", "AutoOpen", "1");
  store.WriteSetting("Options", "OpenFileName", "");
  gb.IsPassProtected = true;
  d.show();
  EXPECT_EQ(grade->currentText(), "E");
  EXPECT_EQ(credits->text(), "3.50") << "shown exactly as stored";
  EXPECT_TRUE(autoOpen->isChecked());
  EXPECT_EQ(fileName->text(), "") << "a stored empty name is not replaced by the open file";
  EXPECT_TRUE(protect->isChecked());
}

TEST_F(OptionsDialogTest, ApplyWritesInOrderNormalisesCreditsAndStaysOpen) {
  d.show();
  grade->setCurrentIndex(3);
  credits->setText("2.50");
  fileName->setText("  /tmp/with blanks.mw ");
  autoOpen->setChecked(true);
  protect->setChecked(true);
  apply->click();
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(store.written,
            (std::vector<std::string>{"DefGrade", "DefCredits", "OpenFileName", "AutoOpen"}));
  EXPECT_EQ(Stored("DefGrade"), "3");
  EXPECT_EQ(credits->text(), "2.5");
  EXPECT_EQ(Stored("DefCredits"), "2.5");
  EXPECT_EQ(Stored("OpenFileName"), "  /tmp/with blanks.mw ");
  EXPECT_EQ(Stored("AutoOpen"), "1");
  EXPECT_TRUE(gb.IsPassProtected);

  const std::pair<const char*, const char*> typed[] = {
      {"letters", "0"}, {"", "0"},        {" 3 credits", "3"}, {"-1.25", "-1.25"},
      {"&H10", "16"},   {"2 . 5", "2.5"}, {"1e999", "0"},      {"1e2", "100"}};
  for (auto [text, number] : typed) {
    credits->setText(text);
    apply->click();
    EXPECT_EQ(credits->text(), number) << text;
    EXPECT_EQ(Stored("DefCredits"), number) << text;
  }

  autoOpen->setChecked(false);
  protect->setChecked(false);
  fileName->clear();
  apply->click();
  EXPECT_EQ(Stored("AutoOpen"), "0");
  EXPECT_EQ(Stored("OpenFileName"), "");
  EXPECT_FALSE(gb.IsPassProtected);

  credits->setText("9");
  cancel->click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(Stored("DefCredits"), "100") << "Cancel does not undo an earlier Apply";
}

TEST_F(OptionsDialogTest, OkAndEnterApplyAndCloseWhileCancelEscAndTheFrameWriteNothing) {
  gb.IsPassProtected = true;
  for (int way = 0; way < 3; ++way) {
    d.show();
    protect->setChecked(false);
    credits->setText("4");
    if (way == 0) cancel->click();
    if (way == 1) QTest::keyClick(credits, Qt::Key_Escape);
    if (way == 2) d.close();
    EXPECT_FALSE(d.isVisible()) << way;
  }
  EXPECT_TRUE(gb.IsPassProtected);
  EXPECT_TRUE(store.written.empty());

  d.show();
  protect->setChecked(false);
  credits->setText("4.0");
  QTest::keyClick(credits, Qt::Key_Return);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(Stored("DefCredits"), "4");
  EXPECT_FALSE(gb.IsPassProtected);
}

TEST_F(OptionsDialogTest, CurrentFileButtonCopiesThePathOrSaysThereIsNone) {
  d.show();
  fileName->setText("/kept.mw");
  currFile->click();
  EXPECT_EQ(fileName->text(), "/kept.mw");
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].text, "Current file has not been saved yet!");
  EXPECT_EQ(prompts.asked[0].title, "No Current File");
  EXPECT_EQ(prompts.asked[0].icon, Prompts::Icon::None);

  gb.FullFileName = "/home/me/saved.mw";
  currFile->click();
  EXPECT_EQ(fileName->text(), "/home/me/saved.mw");
  EXPECT_EQ(prompts.asked.size(), 1u);
  EXPECT_TRUE(store.written.empty());
}

TEST_F(OptionsDialogTest, TabOrderPlacementAndNames) {
  d.show();
  const std::vector<QWidget*> order = {ok,       cancel,   apply,    grade,  credits,
                                       autoOpen, fileName, currFile, protect};
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    EXPECT_EQ(next, order[i + 1]) << order[i]->objectName().toStdString();
  }
  for (QWidget* w : order)
    EXPECT_TRUE(d.rect().contains(w->geometry())) << w->objectName().toStdString();
  EXPECT_EQ(d.minimumSize(), d.maximumSize()) << "fixed size";
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_NEAR(d.frameGeometry().center().x(), screen.center().x(), 2);
  EXPECT_NEAR(d.frameGeometry().center().y(), screen.center().y(), 2);
  EXPECT_GT(ok->x(), credits->geometry().right()) << "buttons stand right of the rows";
}

}  // namespace
}  // namespace mw
