#pragma once
// The main window with a grade book in use (a semester, a class and a second group, so that
// the lists and the class panel show text), and every dialog it opens, for the checks that
// go over all windows alike.
#include <QAbstractButton>
#include <memory>
#include <utility>
#include <vector>

#include "scripted_prompts.h"
#include "settings/settings_store.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/choose_reading_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/dialogs/export_file_dialog.h"
#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/main_window/main_screen.h"

namespace mw::test {

struct EveryWindow {
  MemorySettingsStore settings;
  ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> main = std::make_unique<MainScreen>(settings, &prompts);

  EveryWindow() {
    main->StartUp(QString());
    prompts.inputs = {"Fall 2026", "Introduction to Linear Algebra", "Major"};
    for (const char* button : {"AddSemesterButton", "AddClassButton", "AddGroup"})
      main->findChild<QAbstractButton*>(QLatin1String(button))->click();
    prompts.asked.clear();
  }

  // Each dialog by the name its picture is saved under.
  std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> Dialogs() {
    GradeBook& gb = main->Book();
    auto password = std::make_unique<GetPasswordDialog>(main.get());
    password->PromptMode = PromptMode::Open;
    password->FileName = QStringLiteral("/home/student/grades/Fall 2026.mw");
    std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> out;
    out.emplace_back("options_dialog", std::make_unique<OptionsDialog>(gb, settings, prompts, main.get()));
    out.emplace_back("get_password_dialog", std::move(password));
    out.emplace_back("edit_method_dialog", std::make_unique<EditMethodDialog>(gb.Methods, prompts, main.get()));
    out.emplace_back("export_file_dialog",
                     std::make_unique<ExportFileDialog>(gb, prompts, [](const QString&) {}, main.get()));
    out.emplace_back("about_dialog", std::make_unique<AboutDialog>(prompts, main.get()));
    out.emplace_back("choose_reading_dialog",
                     std::make_unique<ChooseReadingDialog>(
                         QStringLiteral("The password reads this file in two ways, and both give a grade "
                                        "book. Which one is yours?"),
                         QStringList{QStringLiteral("With the whole password\nClasses: 2\nCredits: 7\n"
                                                    "Overall GPA: 3.5\n\nMath: 4 credits\nArt: 3 credits"),
                                     QStringLiteral("With its first 6 characters\nClasses: 2\nCredits: "
                                                    "11.2734375\nOverall GPA: 3.621\n\nMath: 6.5390625 "
                                                    "credits\nArt: 4.734375 credits")},
                         main.get()));
    return out;
  }
};

}  // namespace mw::test
