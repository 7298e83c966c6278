// "Markwell Options": filling from the settings store, Apply/OK/Cancel, and the current file
// button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
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
    written.push_back(std::string(key));
    MemorySettingsStore::WriteSetting(section, key, value);
  }
};

class OptionsDialogTest : public ::testing::Test {
 protected:
  GradeBook gb;
  RecordingStore store;
  test::ScriptedPrompts prompts;

  std::string Stored(const char* key) { return store.ReadSetting("Options", key, "<absent>"); }

  struct Controls {
    QComboBox* grade;
    QLineEdit* credits;
    QCheckBox* protect;
    QCheckBox* autoOpen;
    QLineEdit* fileName;
    QPushButton *currFile, *ok, *cancel, *apply;
  };
  static Controls Find(OptionsDialog& d) {
    Controls c{d.findChild<QComboBox*>("GradeListBox"), d.findChild<QLineEdit*>("CreditBox"),
               d.findChild<QCheckBox*>("Passprotect"), d.findChild<QCheckBox*>("FileNameCheck"),
               d.findChild<QLineEdit*>("FileNameBox"), d.findChild<QPushButton*>("CurrFileButton"),
               d.findChild<QPushButton*>("cmdOK"), d.findChild<QPushButton*>("cmdCancel"),
               d.findChild<QPushButton*>("cmdApply")};
    EXPECT_TRUE(c.grade && c.credits && c.protect && c.autoOpen && c.fileName && c.currFile &&
                c.ok && c.cancel && c.apply);
    return c;
  }
};

TEST_F(OptionsDialogTest, OpensWithDefaultsOrWhatIsStored) {
  gb.FullFileName = "/home/me/grades.mw";
  {
    OptionsDialog d(gb, store, prompts);
    const Controls c = Find(d);
    d.show();
    EXPECT_EQ(d.windowTitle(), "Markwell Options");
    EXPECT_EQ(c.grade->count(), 13);
    EXPECT_EQ(c.grade->currentText(), "A");
    EXPECT_FALSE(c.grade->isEditable());
    EXPECT_EQ(c.credits->text(), "1");
    EXPECT_FALSE(c.autoOpen->isChecked());
    EXPECT_EQ(c.fileName->text(), "/home/me/grades.mw");
    EXPECT_FALSE(c.protect->isChecked());
  }
  EXPECT_TRUE(store.written.empty()) << "opening writes nothing";

  store.WriteSetting("Options", "DefGrade", "12");
  store.WriteSetting("Options", "DefCredits", "3.50");
  store.WriteSetting("Options", "AutoOpen", "1");
  store.WriteSetting("Options", "OpenFileName", "");
  gb.IsPassProtected = true;
  OptionsDialog d(gb, store, prompts);
  const Controls c = Find(d);
  d.show();
  EXPECT_EQ(c.grade->currentText(), "E");
  EXPECT_EQ(c.credits->text(), "3.50") << "shown exactly as stored";
  EXPECT_TRUE(c.autoOpen->isChecked());
  EXPECT_EQ(c.fileName->text(), "") << "a stored empty name is not replaced by the open file";
  EXPECT_TRUE(c.protect->isChecked());

  // A value the program never writes opens as the default.
  d.hide();
  store.WriteSetting("Options", "DefGrade", "13");
  store.WriteSetting("Options", "AutoOpen", "2");
  d.show();
  EXPECT_EQ(c.grade->currentText(), "A");
  EXPECT_FALSE(c.autoOpen->isChecked());
}

TEST_F(OptionsDialogTest, ApplyWritesInOrderNormalisesCreditsAndStaysOpen) {
  OptionsDialog d(gb, store, prompts);
  const Controls c = Find(d);
  d.show();
  c.grade->setCurrentIndex(3);
  c.credits->setText("2.50");
  c.fileName->setText("  /tmp/with blanks.mw ");
  c.autoOpen->setChecked(true);
  c.protect->setChecked(true);
  c.apply->click();

  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(store.written,
            (std::vector<std::string>{"DefGrade", "DefCredits", "OpenFileName", "AutoOpen"}));
  EXPECT_EQ(Stored("DefGrade"), "3");
  EXPECT_EQ(c.credits->text(), "2.5");
  EXPECT_EQ(Stored("DefCredits"), "2.5");
  EXPECT_EQ(Stored("OpenFileName"), "  /tmp/with blanks.mw ");
  EXPECT_EQ(Stored("AutoOpen"), "1");
  EXPECT_TRUE(gb.IsPassProtected);
  EXPECT_EQ(ReadDefCredits(store), 2.5) << "the next new class sees it at once";

  // Whatever is typed becomes a number.
  const std::pair<const char*, const char*> credits[] = {
      {"letters", "0"}, {"", "0"}, {" 3 credits", "3"}, {"-1.25", "-1.25"}, {"&H10", "16"},
      {"1/3", "1"}, {"2 . 5", "2.5"}, {"1e999", "0"}, {"1e2", "100"}};
  for (auto [typed, shown] : credits) {
    c.credits->setText(typed);
    c.apply->click();
    EXPECT_EQ(c.credits->text(), shown) << typed;
    EXPECT_EQ(Stored("DefCredits"), shown) << typed;
  }

  // Unchecking writes 0 and turns protection off; an empty file name is stored as empty.
  c.autoOpen->setChecked(false);
  c.protect->setChecked(false);
  c.fileName->clear();
  c.apply->click();
  EXPECT_EQ(Stored("AutoOpen"), "0");
  EXPECT_EQ(Stored("OpenFileName"), "");
  EXPECT_FALSE(gb.IsPassProtected);

  // Cancel after Apply keeps what Apply wrote.
  c.credits->setText("9");
  c.cancel->click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(Stored("DefCredits"), "100");
}

TEST_F(OptionsDialogTest, OkAppliesAndClosesWhileCancelAndTheFrameWriteNothing) {
  gb.IsPassProtected = true;
  {
    OptionsDialog d(gb, store, prompts);
    const Controls c = Find(d);
    d.show();
    c.protect->setChecked(false);
    c.credits->setText("4");
    c.cancel->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
  }
  {
    OptionsDialog d(gb, store, prompts);
    const Controls c = Find(d);
    d.show();
    c.protect->setChecked(false);
    d.close();
  }
  EXPECT_TRUE(gb.IsPassProtected);
  EXPECT_TRUE(store.written.empty());

  // Typed and not applied is gone at the next opening.
  OptionsDialog d(gb, store, prompts);
  const Controls c = Find(d);
  d.show();
  EXPECT_EQ(c.credits->text(), "1");
  c.credits->setText("4.0");
  c.protect->setChecked(false);
  QTest::keyClick(c.credits, Qt::Key_Return);  // Enter is OK
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(Stored("DefCredits"), "4");
  EXPECT_FALSE(gb.IsPassProtected);

  d.show();
  c.grade->setCurrentIndex(0);
  QTest::keyClick(c.grade, Qt::Key_Escape);  // Esc is Cancel
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(Stored("DefGrade"), "1");
}

TEST_F(OptionsDialogTest, CurrentFileButtonCopiesThePathOrSaysThereIsNone) {
  OptionsDialog d(gb, store, prompts);
  const Controls c = Find(d);
  d.show();
  c.fileName->setText("/kept.mw");
  c.currFile->click();
  EXPECT_EQ(c.fileName->text(), "/kept.mw");
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].text, "Current file has not been saved yet!");
  EXPECT_EQ(prompts.asked[0].title, "No Current File");
  EXPECT_EQ(prompts.asked[0].icon, Prompts::Icon::None);

  gb.FullFileName = "/home/me/saved.mw";
  c.currFile->click();
  EXPECT_EQ(c.fileName->text(), "/home/me/saved.mw");
  EXPECT_EQ(prompts.asked.size(), 1u);
  EXPECT_TRUE(store.written.empty());
}

TEST_F(OptionsDialogTest, NamesTabOrderAndPlacement) {
  OptionsDialog d(gb, store, prompts);
  const Controls c = Find(d);
  d.show();
  EXPECT_EQ(d.objectName(), "MWOptions");
  const std::vector<QWidget*> order = {c.ok,       c.cancel,   c.apply,    c.grade,  c.credits,
                                       c.autoOpen, c.fileName, c.currFile, c.protect};
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    EXPECT_EQ(next, order[i + 1]) << order[i]->objectName().toStdString();
  }
  EXPECT_TRUE(c.ok->isDefault());
  EXPECT_EQ(d.minimumSize(), d.maximumSize()) << "fixed size";

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_NEAR(d.frameGeometry().center().x(), screen.center().x(), 2);
  EXPECT_NEAR(d.frameGeometry().center().y(), screen.center().y(), 2);

  // The buttons stand in a column at the right of the first rows.
  EXPECT_LT(c.ok->y(), c.cancel->y());
  EXPECT_LT(c.cancel->y(), c.apply->y());
  EXPECT_GT(c.ok->x(), c.credits->geometry().right());
  EXPECT_LT(c.autoOpen->y(), c.fileName->y());
  EXPECT_LT(c.fileName->y(), c.currFile->y());
  for (QWidget* w : order) {
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    EXPECT_TRUE(d.rect().contains(w->geometry())) << w->objectName().toStdString();
  }
}

}  // namespace
}  // namespace mw
