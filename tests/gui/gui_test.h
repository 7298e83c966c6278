#pragma once
// What the window tests share: the Qt classes they drive, a started main window over settings
// kept in memory whose questions are answered by script, and small helpers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <memory>
#include <vector>

#include "scripted_prompts.h"
#include "settings/settings_store.h"
#include "ui/main_window/main_screen.h"
#include "ui/overview/overview_window.h"

namespace mw::test {

// A main window over settings kept in memory, whose questions are answered by script.
struct Window {
  // Starts the window as a user does, then gives it gb when there is one, and shows it; true
  // once it is on the screen.
  bool Start(std::optional<GradeBook> gb = std::nullopt) {
    w->StartUp(QString());
    if (gb) w->Document().Reset(std::move(*gb));
    w->show();
    return QTest::qWaitForWindowExposed(w.get());
  }
  template <typename T = QListWidget>
  T* Main(const char* name) { return w->findChild<T*>(QLatin1String(name)); }
  QString Text(const char* label) { return Main<QLabel>(label)->text(); }
  // The overview the window's command opens.
  OverviewWindow* OpenOverview() {
    w->Overview_Click();
    return w->findChild<OverviewWindow*>();
  }

  MemorySettingsStore settings;
  ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> w = std::make_unique<MainScreen>(settings, &prompts);
};
class MainWindowTest : public ::testing::Test, protected Window {};

// The texts of a list's entries.
inline QStringList Entries(const QListWidget* l) {
  QStringList out;
  for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
  return out;
}

// Writes a file whole; a failure is the test's.
inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << path.toStdString();
}

// The lines pdftotext gives back for each page of a PDF file, without trailing blanks and
// without empty lines (it does not keep their number); nothing without pdftotext.
inline std::vector<QStringList> PdfPages(const QString& pdf) {
  QProcess run;
  run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!run.waitForFinished(20000) || run.exitCode() != 0) return {};
  std::vector<QStringList> pages;
  for (const QString& page : QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\f'))) {
    QStringList lines;
    for (QString l : page.split(QLatin1Char('\n'))) {
      while (!l.isEmpty() && l.back().isSpace()) l.chop(1);
      if (!l.isEmpty()) lines << l;
    }
    if (!lines.isEmpty()) pages.push_back(lines);
  }
  return pages;
}

}  // namespace mw::test
