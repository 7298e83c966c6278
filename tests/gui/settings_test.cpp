// The preference readers and the QSettings store behind them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/qt_settings_store.h"

namespace mw {
namespace {

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
