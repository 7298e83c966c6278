#pragma once
// Load, Save, Save As, Quit and the start-up load.
#include <QString>

#include "app/book_document.h"
#include "app/prompts.h"
#include "settings/settings_store.h"
#include "storage/book_files.h"
#include "storage/file_io.h"

namespace mw {

// What the file commands need of the main window.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual void SetCaption(const QString& caption) = 0;
  virtual void SetStatusText(const QString& text) = 0;
  // Recompute the figures only (UpdateGPABoxes). A loaded book reaches the window through the
  // document.
  virtual void RefreshFigures() = 0;
};

class FileCommands {
 public:
  FileCommands(BookDocument& doc, Prompts& prompts, SettingsStore& settings, WindowHost& window);

  // True when the grade book was written.
  bool Save();
  bool SaveAs();
  void Load();
  // Asks "Are you sure you want to quit Markwell?"; true when the user answered Yes.
  bool ConfirmQuit();
  // Loads the file named on the command line (the arguments joined by single blanks), or the
  // one the settings name; runs before the window is shown.
  void StartupLoad(const QString& argumentText);
  // Loads the file at fullFileName, shown as fileName; false when nothing was loaded (the open
  // grade book is then unchanged, but for a cancelled password prompt, which forgets the
  // password held).
  bool LoadGradeBook(const std::string& fileName, const std::string& fullFileName);

 private:
  BookDocument& doc_;
  Prompts& prompts_;
  SettingsStore& settings_;
  WindowHost& window_;
  QString lastDialogPath_;  // the file dialog keeps its last file name between uses
  // FullFileName as this program last loaded or saved it: a save over a file that changed
  // since asks first.
  std::string stampedPath_;
  FileStamp stamp_;

  // The file dialog's starting name: the last one chosen, else FullFileName.
  QString DialogStartPath() const;
  // Writes the whole grade book to FullFileName, plain or protected as IsPassProtected says.
  bool WriteCurrentFile();
  // Loads path into the book `into`; the status, and the reading error in why.
  LoadStatus LoadFrom(GradeBook& into, const std::string& path, std::string& why);
  void Stamp();
};

}  // namespace mw
