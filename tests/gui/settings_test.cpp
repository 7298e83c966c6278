// The preference readers and the QSettings store behind them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/qt_settings_store.h"

namespace mw {
namespace {

TEST(SettingsReaders, ConvertStoredTextOrFallBackToTheDefault) {
  MemorySettingsStore store;
  EXPECT_EQ(ReadDefGrade(store), 1);
  EXPECT_EQ(ReadDefCredits(store), 1.0);
  EXPECT_EQ(ReadAutoOpen(store), 0.0);
  EXPECT_EQ(ReadOpenFileName(store, "/a/b.mw"), "/a/b.mw");
  EXPECT_TRUE(store.values.empty()) << "reading creates no keys";

  auto set = [&](const char* key, const char* text) { store.WriteSetting("Options", key, text); };
  const std::pair<const char*, int> grades[] = {{"0", 0},   {"12", 12},  {"2.5", 2},  {"3.5", 4},
                                                {"13", 1},  {"-1", 1},   {"12.6", 1}, {"abc", 1},
                                                {"", 1},    {"70000", 1}};
  for (auto [text, grade] : grades) {
    set("DefGrade", text);
    EXPECT_EQ(ReadDefGrade(store), grade) << text;
  }
  const std::pair<const char*, double> credits[] = {
      {"2.5", 2.5}, {"-4", -4}, {"0", 0}, {"abc", 1}, {"2,5", 1}, {"3 credits", 1}, {"", 1}};
  for (auto [text, value] : credits) {
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
  set("OpenFileName", "");
  EXPECT_EQ(ReadOpenFileName(store, "/a/b.mw"), "") << "an empty name is a value";
  store.values.clear();
  store.WriteSetting("Other", "DefGrade", "5");
  EXPECT_EQ(ReadDefGrade(store), 1) << "only the Options section counts";
}

TEST(QtSettingsStore, KeepsTextsUnchangedInItsFileAcrossInstances) {
  QTemporaryDir dir;
  const QString path = dir.filePath("sub/Markwell.conf");
  const std::vector<std::string> texts = {
      "", " padded ", "/home/me/My Grades, 2024.mw", "@start", "C:\\Users\\g.mw",
      "semi;colon=equals", "Ünïcödé/目录.mw", "\"quoted\"", "#not a comment"};
  {
    QtSettingsStore store(path);
    EXPECT_EQ(store.ReadSetting("Options", "DefCredits", "1"), "1");
    EXPECT_FALSE(QFile::exists(path)) << "reading creates no store";
    store.WriteSetting("Options", "DefCredits", "3");
    store.WriteSetting("Options", "DefCredits", "3.5");
    for (size_t i = 0; i < texts.size(); ++i)
      store.WriteSetting("Options", "Key" + std::to_string(i), texts[i]);
  }
  QtSettingsStore store(path);
  EXPECT_EQ(ReadDefCredits(store), 3.5);
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(store.ReadSetting("Options", "Key" + std::to_string(i), "absent"), texts[i]);
  EXPECT_EQ(store.ReadSetting("Other", "DefCredits", "absent"), "absent");

  // A hand-edited file with an unquoted comma is read whole.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("[Options]"));
  file.close();
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Options]\nOpenFileName=/home/me/a,b.mw\n");
  file.close();
  EXPECT_EQ(store.ReadSetting("Options", "OpenFileName", ""), "/home/me/a,b.mw");
}

}  // namespace
}  // namespace mw
