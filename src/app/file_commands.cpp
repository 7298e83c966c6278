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
#include "storage/file_io.h"
#include "storage/gradebook_file.h"

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

// Sets both file names from a path chosen in the file dialog: the name shown is the file's
// name without its folder.
void TakeChosenPath(GradeBook& gb, const QString& path) {
  gb.FileName = QFileInfo(path).fileName().toStdString();
  gb.FullFileName = path.toStdString();
}

}  // namespace

FileCommands::FileCommands(GradeBook& gb, Prompts& prompts, SettingsStore& settings,
                           WindowHost& window)
    : gb_(gb), prompts_(prompts), settings_(settings), window_(window) {}

QString FileCommands::DialogStartPath() const {
  return lastDialogPath_.isEmpty() ? Q(gb_.FullFileName) : lastDialogPath_;
}

bool FileCommands::Save() {
  if (gb_.FullFileName.empty()) return SaveAs();
  return WriteCurrentFile();
}

bool FileCommands::SaveAs() {
  const QString path = prompts_.SaveFileName(
      MarkwellFileDialog(QStringLiteral("Markwell Save File"), DialogStartPath(), true));
  if (path.isEmpty()) return false;
  lastDialogPath_ = path;
  TakeChosenPath(gb_, path);
  window_.SetCaption(kCaptionPrefix + Q(gb_.FileName));
  // A new file always gets a freshly typed password.
  if (gb_.IsPassProtected) gb_.Password.clear();
  return WriteCurrentFile();
}

void FileCommands::Load() {
  const std::string previousName = gb_.FileName;
  const std::string previousFullName = gb_.FullFileName;
  const QString path = prompts_.OpenFileName(
      MarkwellFileDialog(QStringLiteral("Markwell Load File"), DialogStartPath(), false));
  if (path.isEmpty()) return;
  lastDialogPath_ = path;
  TakeChosenPath(gb_, path);
  if (!LoadGradeBook()) {
    gb_.FileName = previousName;
    gb_.FullFileName = previousFullName;
  }
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

  gb_.FileName = shownName.empty() ? path : shownName;
  gb_.FullFileName = path;
  const bool ok = LoadGradeBook();
  window_.RefreshFigures();
  if (!ok) {
    gb_.FileName.clear();
    gb_.FullFileName.clear();
  }
}

bool FileCommands::LoadGradeBook() {
  const QString readError =
      QStringLiteral("Error reading in file \"") + Q(gb_.FullFileName) + QStringLiteral("\"!");

  std::string bytes;
  if (!ReadFileBytes(gb_.FullFileName, bytes) || bytes.empty()) {
    prompts_.Message(readError, QStringLiteral("Error!"), Prompts::Icon::Critical);
    return false;
  }

  const QString fileName = Q(gb_.FileName);
  PasswordPrompt askPassword = [this, &fileName](PromptMode mode) -> std::optional<std::string> {
    const std::optional<QString> answer = prompts_.GetPassword(mode, fileName);
    if (!answer) return std::nullopt;  // closed by its frame
    return answer->toStdString();
  };
  DecodeResult result = DecodeGradeBook(bytes, gb_.Password, askPassword);

  switch (result.status) {
    case DecodeStatus::Cancelled:
      window_.SetStatusText(QStringLiteral("Did not open file \"") + Q(gb_.FullFileName) +
                            QStringLiteral("\"!"));
      gb_.Password.clear();
      return false;
    case DecodeStatus::Error:
      prompts_.Message(readError, QStringLiteral("Error!"), Prompts::Icon::Critical);
      return false;
    case DecodeStatus::Ok:
      break;
  }

  // The file's document replaces the open one whole; the file names stay those just chosen.
  std::string name = std::move(gb_.FileName), fullName = std::move(gb_.FullFileName);
  gb_ = std::move(result.book);
  gb_.FileName = std::move(name);
  gb_.FullFileName = std::move(fullName);
  gb_.SelectAllSemesters();
  gb_.IsPassProtected = result.isProtected;
  gb_.Password = result.isProtected ? std::move(result.password) : std::string();

  window_.SetStatusText(QStringLiteral("Sucessfully loaded from file ") + fileName +
                        (result.isProtected ? QStringLiteral(". (password-protected)")
                                            : QStringLiteral(".")));
  window_.SetCaption(kCaptionPrefix + fileName);
  window_.ShowLoadedGradeBook();
  return true;
}

bool FileCommands::WriteCurrentFile() {
  const QString fullName = Q(gb_.FullFileName);
  EncodeResult encoded;
  if (gb_.IsPassProtected) {
    // A password held from a file saved elsewhere with more than six characters cannot key a
    // save (a near miss would pass the key and read wrong values): ask for a new one.
    if (PasswordRefusal(PromptMode::Save, gb_.Password)) gb_.Password.clear();
    while (gb_.Password.empty()) {
      const std::optional<QString> answer = prompts_.GetPassword(PromptMode::Save, Q(gb_.FileName));
      if (!answer) break;  // closed by its frame: unchanged
      // The prompt refuses what no file can be keyed with; should one get through, say why.
      if (const auto why = PasswordRefusal(PromptMode::Save, answer->toStdString())) {
        prompts_.Message(Q(*why));
        continue;
      }
      gb_.Password = answer->toStdString();
      break;
    }
    if (gb_.Password.empty()) {
      window_.SetStatusText(QStringLiteral("No password entered; did not save file \"") +
                            fullName +
                            QStringLiteral("\"! (Turn off password-protection in the Options "
                                           "menu.)"));
      return false;
    }
    encoded = EncodeProtected(gb_, gb_.Password);
  } else {
    encoded = EncodePlain(gb_);
  }

  if (!encoded.ok || !WriteFileAtomically(gb_.FullFileName, encoded.bytes)) {
    prompts_.Message(QStringLiteral("Error saving to file \"") + fullName +
                         QStringLiteral("\"! (Read-only?)"),
                     QStringLiteral("Error!"), Prompts::Icon::Critical);
    return false;
  }

  const QString fileName = Q(gb_.FileName);
  window_.SetCaption(kCaptionPrefix + fileName);
  window_.SetStatusText(QStringLiteral("Sucessfully saved to file ") + fileName +
                        (gb_.IsPassProtected ? QStringLiteral(". (password-protected)")
                                             : QStringLiteral(".")));
  window_.MarkSaved();
  return true;
}

}  // namespace mw
