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

#include "model/figures.h"
#include "model/numtext.h"
#include "qtext/text.h"
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

// A reading of a protected file as the chooser shows it.
QString ReadingText(const QString& title, const GradeBook& book) {
  const BookFigures f = ComputeFigures(book, {});
  QString text = title + QStringLiteral("\nClasses: ") + QString::number(f.Classes) +
                 QStringLiteral("\nCredits: ") + Q(GeneralNumber(f.AllCredits)) +
                 QStringLiteral("\nOverall GPA: ") + Q(f.OverallText) + QStringLiteral("\n");
  int shown = 0;
  for (const Semester& s : book.Semesters) {
    for (const Class& c : s.Classes) {
      if (shown++ == 8) return text + QStringLiteral("...");
      QString name = Q(c.Name);
      if (name.size() > 40) name = name.left(39) + QChar(0x2026);  // the dialog stays narrow
      text += QStringLiteral("\n") + name + QStringLiteral(": ") + Q(GeneralNumber(c.Credits)) +
              QStringLiteral(" credits");
    }
  }
  return text;
}

}  // namespace

FileCommands::FileCommands(BookDocument& doc, Prompts& prompts, SettingsStore& settings,
                           WindowHost& window)
    : doc_(doc), prompts_(prompts), settings_(settings), window_(window) {}

QString FileCommands::DialogStartPath() const {
  return lastDialogPath_.isEmpty() ? Q(doc_.Book().FullFileName) : lastDialogPath_;
}

bool FileCommands::Save() {
  const std::string& path = doc_.Book().FullFileName;
  if (path.empty()) return SaveAs();
  // Another program may have written the file since this one read or wrote it.
  if (stampedPath_ == path && StampOf(path) != stamp_ &&
      !prompts_.AskYesNo(
          QStringLiteral("The file has changed on disk since it was opened. Overwrite it?"),
          QStringLiteral("Markwell"), false))
    return false;
  return WriteCurrentFile();
}

void FileCommands::Stamp() {
  stampedPath_ = doc_.Book().FullFileName;
  stamp_ = StampOf(stampedPath_);
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

LoadStatus FileCommands::LoadFrom(GradeBook& into, const std::string& path, std::string& why) {
  const QString fileName = Q(into.FileName);
  const PasswordPrompt askPassword = [this, &fileName](PromptMode mode) -> std::optional<std::string> {
    const std::optional<QString> answer = prompts_.GetPassword(mode, fileName);
    if (!answer) return std::nullopt;  // closed by its frame
    return answer->toStdString();
  };
  const ReadingChooser choose = [this](const GradeBook& whole,
                                       const GradeBook& six) -> std::optional<Reading> {
    const std::optional<int> chosen = prompts_.ChooseReading(
        QStringLiteral("The password reads this file in two ways, and both give a grade book. "
                       "Which one is yours?"),
        {ReadingText(QStringLiteral("With the whole password"), whole),
         ReadingText(QStringLiteral("With its first 6 characters"), six)});
    if (!chosen) return std::nullopt;
    return *chosen == 0 ? Reading::Whole : Reading::FirstSix;
  };
  return LoadBookFile(into, path, askPassword, choose, &why);
}

bool FileCommands::LoadGradeBook(const std::string& shownName, const std::string& fullName) {
  const QString fileName = Q(shownName);
  const QString fullFileName = Q(fullName);
  // The file is read into a book of its own, which replaces the open one only when it loaded.
  const GradeBook& open = doc_.Book();
  const auto fresh = [&] {
    GradeBook book;
    book.Password = open.Password;
    book.FileName = shownName;
    book.FullFileName = fullName;
    return book;
  };
  GradeBook loaded = fresh();
  std::string why;
  LoadStatus status = LoadFrom(loaded, fullName, why);
  if (status == LoadStatus::Unreadable) {
    prompts_.Message(QStringLiteral("Error reading in file \"") + fullFileName +
                         QStringLiteral("\"!") + (why.empty() ? QString() : "\n\n" + Q(why)),
                     QStringLiteral("Error!"), Prompts::Icon::Critical);
    // A save in place that did not finish keeps the old content beside the file: offered.
    const std::string copy = RecoveryCopyOf(fullName);
    if (!copy.empty() &&
        prompts_.AskYesNo(Q(RecoveryCopyText(copy)) +
                              QStringLiteral(" Open that copy? Saving then writes it back to \"") +
                              fullFileName + QStringLiteral("\"."),
                          QStringLiteral("Markwell"))) {
      loaded = fresh();
      status = LoadFrom(loaded, copy, why);
      if (status == LoadStatus::Unreadable)
        prompts_.Message(QStringLiteral("Error reading in file \"") + Q(copy) + QStringLiteral("\"!"),
                         QStringLiteral("Error!"), Prompts::Icon::Critical);
    }
  }
  switch (status) {
    case LoadStatus::Cancelled:
      doc_.SetFileState(open.FileName, open.FullFileName, open.IsPassProtected, std::string());
      window_.SetStatusText(QStringLiteral("Did not open file \"") + fullFileName +
                            QStringLiteral("\"!"));
      return false;
    case LoadStatus::Unreadable:
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
  Stamp();
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
  Stamp();
  window_.SetCaption(kCaptionPrefix + fileName);
  window_.SetStatusText(QStringLiteral("Sucessfully saved to file ") + fileName +
                        (gb.IsPassProtected ? QStringLiteral(". (password-protected)")
                                            : QStringLiteral(".")));
  doc_.MarkSaved();
  return true;
}

}  // namespace mw
