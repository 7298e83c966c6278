#pragma once
// The main window with a grade book in use (a semester, a class and a second group, so that
// the lists and the class panel show text), and every dialog it opens, for the checks that
// go over all windows alike.
#include <QAbstractButton>
#include <memory>
#include <utility>
#include <vector>

#include "gui_test.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/choose_reading_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/printing/export_file_dialog.h"
#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/sheet/classes_preview_dialog.h"
#include "ui/sheet/sheet_window.h"

namespace mw::test {

struct EveryWindow : Window {
  std::vector<Method> methods;
  table::Table pasted;               // the rows the preview dialog shows
  Prompts::ClassesPreview preview;

  EveryWindow() {
    w->StartUp(QString());
    prompts.inputs = {"Fall 2026", "Introduction to Linear Algebra", "Major"};
    for (const char* button : {"AddSemesterButton", "AddClassButton", "AddGroup"})
      w->findChild<QAbstractButton*>(QLatin1String(button))->click();
    prompts.asked.clear();
  }

  // Each dialog by the name its picture is saved under.
  std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> Dialogs() {
    const GradeBook& gb = w->Book();
    methods = gb.Methods;  // the method editor works on a copy, as the window gives it
    auto password = std::make_unique<GetPasswordDialog>(w.get());
    password->PromptMode = PromptMode::Open;
    password->FileName = QStringLiteral("/home/student/grades/Fall 2026.mw");
    std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> out;
    out.emplace_back("options_dialog", std::make_unique<OptionsDialog>(gb, settings, prompts, w.get()));
    out.emplace_back("get_password_dialog", std::move(password));
    out.emplace_back("edit_method_dialog", std::make_unique<EditMethodDialog>(methods, prompts, w.get()));
    out.emplace_back("export_file_dialog",
                     std::make_unique<ExportFileDialog>(gb, prompts, [](const QString&) {}, w.get()));
    out.emplace_back("about_dialog", std::make_unique<AboutDialog>(prompts, w.get()));
    auto sheet = std::make_unique<SheetWindow>(w->Document(), prompts, &settings, w.get());
    sheet->setAttribute(Qt::WA_DeleteOnClose, false);
    out.emplace_back("class_sheet", std::move(sheet));
    pasted = table::ParsePastedText("Fall 2026\tPhysics\t4\tb+\nFall 2026\tChemistry\tfour\tA\n");
    preview.title = QStringLiteral("Import Classes");
    preview.acceptText = QStringLiteral("Import");
    preview.table = &pasted;
    preview.mapping = table::GuessMapping(pasted);
    preview.mappable = true;
    preview.plan = [this](const table::ColumnMapping& m) {
      return table::PlanImport(w->Book(), pasted, m, "Fall 2026");
    };
    out.emplace_back("classes_preview_dialog", std::make_unique<ClassesPreviewDialog>(preview, w.get()));
    out.emplace_back("choose_reading_dialog",
                     std::make_unique<ChooseReadingDialog>(
                         QStringLiteral("The password reads this file in two ways, and both give a grade "
                                        "book. Which one is yours?"),
                         QStringList{QStringLiteral("With the whole password\nClasses: 2\nCredits: 7\n"
                                                    "Overall GPA: 3.5\n\nMath: 4 credits\nArt: 3 credits"),
                                     QStringLiteral("With its first 6 characters\nClasses: 2\nCredits: "
                                                    "11.2734375\nOverall GPA: 3.621\n\nMath: 6.5390625 "
                                                    "credits\nArt: 4.734375 credits")},
                         w.get()));
    return out;
  }
};

}  // namespace mw::test
