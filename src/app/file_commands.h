#pragma once
// Load, Save, Save As, Quit and the start-up load.
#include <QString>

#include "app/prompts.h"
#include "model/gradebook.h"
#include "storage/book_files.h"
#include "settings/settings_store.h"
#include "storage/file_io.h"

namespace mw {

// What the file commands need of the main window.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual void SetCaption(const QString& caption) = 0;
  virtual void SetStatusText(const QString& text) = 0;
  // The grade book's content was replaced by a load: refill every list from the model, clear
  // the class panel (ClearClassDisplay) and recompute the figures (UpdateGPABoxes).
  virtual void ShowLoadedGradeBook() = 0;
  // Recompute the figures only (UpdateGPABoxes).
  virtual void RefreshFigures() = 0;
  // The grade book was written to its file: it no longer has unsaved changes.
  virtual void MarkSaved() = 0;
};

class FileCommands {
 public:
  FileCommands(GradeBook& gb, Prompts& prompts, SettingsStore& settings, WindowHost& window);

  // True when the grade book was written.
  bool Save();
  bool SaveAs();
  void Load();
  // Asks "Are you sure you want to quit Markwell?"; true when the user answered Yes.
  bool ConfirmQuit();
  // Loads the file named on the command line (the arguments joined by single blanks), or the
  // one the settings name; runs before the window is shown.
  void StartupLoad(const QString& argumentText);
  // Loads FullFileName; false when nothing was loaded (the open grade book is then unchanged).
  bool LoadGradeBook();

 private:
  GradeBook& gb_;
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
  // Loads path into the grade book; the status and the reading error it gives.
  LoadStatus LoadFrom(const std::string& path, std::string& why);
  void Stamp();
};

}  // namespace mw
