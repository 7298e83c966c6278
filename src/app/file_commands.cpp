// Load, Save, Save As, Quit and the start-up load.
//
// Every file is encoded whole in memory and then written atomically, so a save that fails for
// any reason leaves the previous file as it was. Every load decodes into a new grade book and
// replaces the open one only when the whole file was read, so a load that fails leaves the
// open grade book, its selection, its file names and the caption exactly as they were.
#include "app/file_commands.h"

#include <QFileInfo>
#include <string>
#include <utility>

#include "app/text.h"
#include "storage/book_files.h"

namespace mw {

namespace {

const QString kCaptionPrefix = QStringLiteral("Markwell - ");


Prompts::FileDialog MarkwellFileDialog(const QString& title, const QString& initialPath,
                                       bool confirmOverwrite) {
  Prompts::FileDialog dialog;
  dialog.title = title;
  dialog.filters = {QStringLiteral("Markwell Files (*.mw)"), QStringLiteral("All Files (*)")};
  dialog.defaultSuffix = QStringLiteral("mw");
  dialog.initialPath = initialPath;
  dialog.confirmOverwrite = confirmOverwrite;
  return dialog;
}

// The name shown for a path chosen in the file dialog: the file's name without its folder.
std::string ShownName(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

}  // namespace

FileCommands::FileCommands(BookDocument& doc, Prompts& prompts, SettingsStore& settings,
                           WindowHost& window)
    : doc_(doc), prompts_(prompts), settings_(settings), window_(window) {}

QString FileCommands::DialogStartPath() const {
  return lastDialogPath_.isEmpty() ? Q(doc_.Book().FullFileName) : lastDialogPath_;
}

bool FileCommands::Save() {
  if (doc_.Book().FullFileName.empty()) return SaveAs();
  return WriteCurrentFile();
}

bool FileCommands::SaveAs() {
  const QString path = prompts_.SaveFileName(
      MarkwellFileDialog(QStringLiteral("Markwell Save File"), DialogStartPath(), true));
  if (path.isEmpty()) return false;
  lastDialogPath_ = path;
  const GradeBook& gb = doc_.Book();
  // A new file always gets a freshly typed password.
  doc_.SetFileState(ShownName(path), path.toStdString(), gb.IsPassProtected,
                    gb.IsPassProtected ? std::string() : gb.Password);
  window_.SetCaption(kCaptionPrefix + Q(gb.FileName));
  return WriteCurrentFile();
}

void FileCommands::Load() {
  const QString path = prompts_.OpenFileName(
      MarkwellFileDialog(QStringLiteral("Markwell Load File"), DialogStartPath(), false));
  if (path.isEmpty()) return;
  lastDialogPath_ = path;
  LoadGradeBook(ShownName(path), path.toStdString());
}

bool FileCommands::ConfirmQuit() {
  return prompts_.AskYesNo(QStringLiteral("Are you sure you want to quit Markwell?"),
                           QStringLiteral("Quit Markwell"));
}

void FileCommands::StartupLoad(const QString& argumentText) {
  std::string path;
  std::string shownName;
  if (!argumentText.isEmpty()) {
    // The argument text is the path as it stands: not split, trimmed or cut to a file name. It
    // is kept as an absolute path, so that "Set to current file" works from any folder.
    path = QFileInfo(argumentText).absoluteFilePath().toStdString();
    shownName = argumentText.toStdString();
  } else if (ReadAutoOpen(settings_) == 1) {
    path = ReadOpenFileName(settings_, "");
  }
  if (path.empty()) return;

  LoadGradeBook(shownName.empty() ? path : shownName, path);
  window_.RefreshFigures();
}

bool FileCommands::LoadGradeBook(const std::string& shownName, const std::string& fullName) {
  const QString fileName = Q(shownName);
  const QString fullFileName = Q(fullName);
  const PasswordPrompt askPassword = [this, &fileName](PromptMode mode) -> std::optional<std::string> {
    const std::optional<QString> answer = prompts_.GetPassword(mode, fileName);
    if (!answer) return std::nullopt;  // closed by its frame
    return answer->toStdString();
  };
  // The file is read into a book of its own, which replaces the open one only when it loaded.
  const GradeBook& open = doc_.Book();
  GradeBook loaded;
  loaded.Password = open.Password;
  loaded.FileName = shownName;
  loaded.FullFileName = fullName;
  switch (LoadBookFile(loaded, fullName, askPassword)) {
    case LoadStatus::Cancelled:
      doc_.SetFileState(open.FileName, open.FullFileName, open.IsPassProtected, std::string());
      window_.SetStatusText(QStringLiteral("Did not open file \"") + fullFileName +
                            QStringLiteral("\"!"));
      return false;
    case LoadStatus::Unreadable:
      prompts_.Message(
          QStringLiteral("Error reading in file \"") + fullFileName + QStringLiteral("\"!"),
          QStringLiteral("Error!"), Prompts::Icon::Critical);
      return false;
    case LoadStatus::Loaded:
      break;
  }
  const bool isProtected = loaded.IsPassProtected;
  window_.SetStatusText(QStringLiteral("Sucessfully loaded from file ") + fileName +
                        (isProtected ? QStringLiteral(". (password-protected)")
                                     : QStringLiteral(".")));
  window_.SetCaption(kCaptionPrefix + fileName);
  doc_.Reset(std::move(loaded));
  return true;
}

bool FileCommands::WriteCurrentFile() {
  const GradeBook& gb = doc_.Book();
  const QString fullName = Q(gb.FullFileName);
  const QString fileName = Q(gb.FileName);
  const PasswordPrompt askPassword = [this, &fileName](PromptMode mode) -> std::optional<std::string> {
    const std::optional<QString> answer = prompts_.GetPassword(mode, fileName);
    if (!answer) return std::nullopt;  // closed by its frame: unchanged
    return answer->toStdString();
  };
  const auto tell = [this](const std::string& why) { prompts_.Message(Q(why)); };
  switch (doc_.SaveTo(gb.FullFileName, askPassword, tell)) {
    case SaveStatus::NoPassword:
      window_.SetStatusText(QStringLiteral("No password entered; did not save file \"") +
                            fullName +
                            QStringLiteral("\"! (Turn off password-protection in the Options "
                                           "menu.)"));
      return false;
    case SaveStatus::Unwritable:
      prompts_.Message(QStringLiteral("Error saving to file \"") + fullName +
                           QStringLiteral("\"! (Read-only?)"),
                       QStringLiteral("Error!"), Prompts::Icon::Critical);
      return false;
    case SaveStatus::Saved:
      break;
  }
  window_.SetCaption(kCaptionPrefix + fileName);
  window_.SetStatusText(QStringLiteral("Sucessfully saved to file ") + fileName +
                        (gb.IsPassProtected ? QStringLiteral(". (password-protected)")
                                            : QStringLiteral(".")));
  doc_.MarkSaved();
  return true;
}

}  // namespace mw
