#pragma once
// What the window tests share: the Qt classes they drive, and a started main window over
// settings kept in memory whose questions are answered by script.
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

namespace mw::test {

class MainWindowTest : public ::testing::Test {
 protected:
  // Starts the window as a user does, then gives it gb when there is one, and shows it.
  void Start(std::optional<GradeBook> gb = std::nullopt) {
    w->StartUp(QString());
    if (gb) w->Document().Reset(std::move(*gb));
    w->show();
  }
  template <typename T = QListWidget>
  T* Main(const char* name) { return w->findChild<T*>(QLatin1String(name)); }

  MemorySettingsStore settings;
  ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> w = std::make_unique<MainScreen>(settings, &prompts);
};

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
