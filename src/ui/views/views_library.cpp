// The entry of markwell-views.so: the overview, the print/export dialog and the print dialog.
#include <QPrintDialog>

#include "ui/overview/overview_window.h"
#include "ui/printing/export_file_dialog.h"
#include "ui/views/views.h"

extern "C" Q_DECL_EXPORT const mw::Views* markwell_views() {
  static const mw::Views views{
      .NewOverview = [](mw::BookDocument& doc, mw::SettingsStore& settings, mw::Prompts& prompts,
                        std::function<void(const QString&)> selectSemester,
                        QWidget* parent) -> QWidget* {
        return new mw::OverviewWindow(doc, settings, prompts, std::move(selectSemester), parent);
      },
      .RunExportDialog = [](const mw::GradeBook& book, mw::Prompts& prompts,
                            std::function<void(const QString&)> setMainStatus, QWidget* parent) {
        mw::ExportFileDialog dialog(book, prompts, std::move(setMainStatus), parent);
        dialog.exec();
      },
      .SetUpPrinter = [](QPrinter& printer, const QString& title, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(title);
        return dialog.exec() == QDialog::Accepted;
      },
  };
  return &views;
}
