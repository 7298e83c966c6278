// The preference readers and the QSettings store behind them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/qt_settings_store.h"
#include "settings/settings_store.h"

namespace mw {
namespace {

TEST(SettingsReaders, EmptyStoreGivesEveryReadersDefault) {
  MemorySettingsStore store;
  EXPECT_EQ(ReadDefGrade(store), 1);
  EXPECT_EQ(ReadDefCredits(store), 1.0);
  EXPECT_EQ(ReadAutoOpen(store), 0.0);
  EXPECT_EQ(ReadAutoOpenCheck(store), 0);
  EXPECT_EQ(ReadOpenFileName(store, ""), "");
  EXPECT_EQ(ReadOpenFileName(store, "/home/a/b.mw"), "/home/a/b.mw");
  EXPECT_TRUE(store.values.empty()) << "reading must not create keys";
}

TEST(SettingsReaders, DefGradeRoundsToEvenAndFallsBackOutsideTheGradeList) {
  MemorySettingsStore store;
  auto grade = [&](const char* text) {
    store.WriteSetting("Options", "DefGrade", text);
    return ReadDefGrade(store);
  };
  EXPECT_EQ(grade("0"), 0);
  EXPECT_EQ(grade("12"), 12);
  EXPECT_EQ(grade(" 7 "), 7);
  EXPECT_EQ(grade("2.5"), 2);
  EXPECT_EQ(grade("3.5"), 4);
  EXPECT_EQ(grade("12.4"), 12);
  for (const char* bad : {"13", "-1", "12.6", "abc", "", "3x", "70000", "1e400"})
    EXPECT_EQ(grade(bad), 1) << bad;
  // Another section's key of the same name is not the preference.
  store.values.clear();
  store.WriteSetting("Other", "DefGrade", "5");
  EXPECT_EQ(ReadDefGrade(store), 1);
}

TEST(SettingsReaders, NumbersConvertOrFallBack) {
  MemorySettingsStore store;
  store.WriteSetting("Options", "DefCredits", "2.5");
  EXPECT_EQ(ReadDefCredits(store), 2.5);
  store.WriteSetting("Options", "DefCredits", "0");
  EXPECT_EQ(ReadDefCredits(store), 0.0);
  store.WriteSetting("Options", "DefCredits", "-4");
  EXPECT_EQ(ReadDefCredits(store), -4.0);
  for (const char* bad : {"abc", "", "2,5", "1e400", "3 credits"}) {
    store.WriteSetting("Options", "DefCredits", bad);
    EXPECT_EQ(ReadDefCredits(store), 1.0) << bad;
  }

  // Start-up compares the number with 1; the check box only knows 0 and 1.
  store.WriteSetting("Options", "AutoOpen", "1");
  EXPECT_EQ(ReadAutoOpen(store), 1.0);
  EXPECT_EQ(ReadAutoOpenCheck(store), 1);
  store.WriteSetting("Options", "AutoOpen", "1.2");
  EXPECT_NE(ReadAutoOpen(store), 1.0);
  EXPECT_EQ(ReadAutoOpenCheck(store), 1);
  for (const char* off : {"0", "2", "-1", "yes", ""}) {
    store.WriteSetting("Options", "AutoOpen", off);
    EXPECT_NE(ReadAutoOpen(store), 1.0) << off;
    EXPECT_EQ(ReadAutoOpenCheck(store), 0) << off;
  }

  // A stored empty file name is a value, not an absent key.
  store.WriteSetting("Options", "OpenFileName", "");
  EXPECT_EQ(ReadOpenFileName(store, "/home/a/b.mw"), "");
}

TEST(QtSettingsStore, KeepsTextValuesInItsFileAcrossInstances) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("sub/Markwell.conf");
  {
    QtSettingsStore store(path);
    EXPECT_EQ(store.ReadSetting("Options", "DefCredits", "1"), "1");
    EXPECT_FALSE(QFile::exists(path)) << "reading must not create the store";
    store.WriteSetting("Options", "DefCredits", "3");
    store.WriteSetting("Options", "DefCredits", "3.5");
    EXPECT_EQ(store.ReadSetting("Options", "DefCredits", "1"), "3.5");
    EXPECT_EQ(ReadDefCredits(store), 3.5);
  }
  // Texts that an INI file or QSettings could mangle come back unchanged.
  const std::vector<std::string> awkward = {
      "", " padded ", "/home/me/My Grades, 2024.mw", "@start", "C:\\Users\\me\\g.mw",
      "semi;colon=equals", "Ünïcödé/目录/файл.mw", "\"quoted\"", "#not a comment"};
  {
    QtSettingsStore writer(path);
    for (size_t i = 0; i < awkward.size(); ++i)
      writer.WriteSetting("Options", "Key" + std::to_string(i), awkward[i]);
  }
  QtSettingsStore reader(path);
  EXPECT_EQ(reader.ReadSetting("Options", "DefCredits", "1"), "3.5");
  for (size_t i = 0; i < awkward.size(); ++i)
    EXPECT_EQ(reader.ReadSetting("Options", "Key" + std::to_string(i), "absent"), awkward[i]);
  EXPECT_EQ(reader.ReadSetting("Other", "DefCredits", "absent"), "absent");
  EXPECT_EQ(reader.FilePath(), path);

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("[Options]"));
  EXPECT_TRUE(text.contains("DefCredits=3.5"));
}

TEST(QtSettingsStore, ReadsAHandEditedFileWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Markwell.conf");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Options]\nOpenFileName=/home/me/a,b.mw\nDefGrade=4\n");
  file.close();
  QtSettingsStore store(path);
  EXPECT_EQ(store.ReadSetting("Options", "OpenFileName", ""), "/home/me/a,b.mw");
  EXPECT_EQ(ReadDefGrade(store), 4);
}

TEST(QtSettingsStore, UsersStoreIsTheMarkwellConfigFile) {
  // Only the location is asked: nothing is read from or written to the user's store.
  QtSettingsStore store;
  EXPECT_TRUE(store.FilePath().endsWith("Markwell/Markwell.conf")) << store.FilePath().toStdString();
}

}  // namespace
}  // namespace mw
