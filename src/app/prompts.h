#pragma once
// Every question a command asks goes through this interface: the program answers it with Qt
// dialogs (QtPrompts), the tests from a script.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "storage/password.h"
#include "table/import.h"

class QPrinter;

namespace mw {

class Prompts {
 public:
  enum class Icon { None, Critical };
  enum class SaveChoice { Save, Discard, Cancel };

  // The preview of classes about to be added from a table (a paste or an import).
  struct ClassesPreview {
    QString title;                    // "Paste Classes"
    QString acceptText;               // the button that adds: "Paste", "Import"
    const table::Table* table = nullptr;
    table::ColumnMapping mapping;     // the mapping the preview starts with
    bool mappable = false;            // the user may change the mapping
    // The plan under a mapping: every row, accepted or refused with its reason.
    std::function<table::ImportPlan(const table::ColumnMapping&)> plan;
  };

  struct FileDialog {
    QString title;
    QStringList filters;        // Qt filter syntax, the first is the initial one
    QString defaultSuffix;      // added to a name typed without an extension
    QString initialPath;        // the dialog's file name when it opens
    bool confirmOverwrite = false;
  };

  virtual ~Prompts() = default;

  // A modal input box with a one-line answer field; Cancel answers empty text.
  virtual QString InputBox(const QString& prompt, const QString& title,
                           const QString& defaultText) = 0;
  // A modal question with Yes and No and no icon; true for Yes. Enter answers Yes, or No when
  // defaultYes is false.
  virtual bool AskYesNo(const QString& text, const QString& title, bool defaultYes = true) = 0;
  // A modal question with Save, Discard and Cancel (Escape and the close box: Cancel).
  virtual SaveChoice AskSaveChanges(const QString& text) = 0;
  // A modal message box with OK.
  virtual void Message(const QString& text, const QString& title = QStringLiteral("Markwell"),
                       Icon icon = Icon::None) = 0;
  // File dialogs: the chosen path, or empty text when cancelled.
  virtual QString OpenFileName(const FileDialog& dialog) = 0;
  virtual QString SaveFileName(const FileDialog& dialog) = 0;
  // The password prompt (to save with, to open fileName, again after a wrong one). Returns
  // the typed text on OK, empty text on Cancel, and nothing when the prompt was closed by its
  // frame. A typed password that PasswordRefusal refuses is never answered: the prompt says
  // why and asks again.
  virtual std::optional<QString> GetPassword(PromptMode mode, const QString& fileName) = 0;
  // A modal choice of one entry of a list, each with a longer description shown beside it
  // while it is current; the chosen position, or -1 when cancelled. Without a chooser of its
  // own, an asker cancels.
  virtual int ChooseItem(const QString& prompt, const QString& title, const QStringList& items,
                         const QStringList& details) {
    (void)prompt;
    (void)title;
    (void)items;
    (void)details;
    return -1;
  }
  // Shows the preview; the mapping to add the classes with, or nothing when cancelled.
  virtual std::optional<table::ColumnMapping> PreviewClasses(const ClassesPreview& preview) = 0;
  // Two readings of one protected file side by side (each a few lines: its classes, credits
  // and overall GPA), with the question above them: the position of the reading chosen, or
  // nothing for Cancel. Without a chooser of its own, an asker cancels.
  virtual std::optional<int> ChooseReading(const QString& question, const QStringList& readings) {
    (void)question;
    (void)readings;
    return std::nullopt;
  }
  // The print dialog: sets printer up for the printer or file the user chooses; false when
  // cancelled. Without a print dialog of its own, an asker cancels.
  virtual bool SetUpPrinter(QPrinter& printer, const QString& title) {
    (void)printer;
    (void)title;
    return false;
  }
};

}  // namespace mw
