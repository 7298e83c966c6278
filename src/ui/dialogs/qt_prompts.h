#pragma once
// The program's answers to every question a command asks: Qt's input box, message boxes and
// file dialogs, and the password prompt, each modal over the given parent.
#include <QPointer>
#include <QWidget>

#include "app/prompts.h"

namespace mw {

class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent);

  QString InputBox(const QString& prompt, const QString& title,
                   const QString& defaultText) override;
  bool AskYesNo(const QString& text, const QString& title, bool defaultYes = true) override;
  SaveChoice AskSaveChanges(const QString& text) override;
  void Message(const QString& text, const QString& title = QStringLiteral("Markwell"),
               Icon icon = Icon::None) override;
  QString OpenFileName(const FileDialog& dialog) override;
  QString SaveFileName(const FileDialog& dialog) override;
  std::optional<QString> GetPassword(PromptMode mode, const QString& fileName) override;
  std::optional<int> ChooseReading(const QString& question, const QStringList& readings) override;
  bool SetUpPrinter(QPrinter& printer, const QString& title) override;
  int ChooseItem(const QString& prompt, const QString& title, const QStringList& items,
                 const QStringList& details) override;
  std::optional<table::ColumnMapping> PreviewClasses(const ClassesPreview& preview) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace mw
