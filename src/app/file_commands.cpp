// Load, Save, Save As, Quit and the start-up load.
#include "app/file_commands.h"

namespace mw {

FileCommands::FileCommands(GradeBook& gb, Prompts& prompts, SettingsStore& settings,
                           WindowHost& window)
    : gb_(gb), prompts_(prompts), settings_(settings), window_(window) {}

void FileCommands::Save() {}
void FileCommands::SaveAs() {}
void FileCommands::Load() {}

bool FileCommands::ConfirmQuit() {
  return prompts_.AskYesNo(QStringLiteral("Are you sure you want to quit Markwell?"),
                           QStringLiteral("Quit Markwell"));
}

void FileCommands::StartupLoad(const QString&) {}

bool FileCommands::LoadGradeBook() { return false; }

}  // namespace mw
