#include "ui/sheet/sheet_commands.h"

#include <QFile>
#include <QFileInfo>

#include "table/import.h"
#include "table/table.h"

namespace mw {

namespace {

// Shows the preview and adds what the user accepted as one step.
QString AddFromTable(BookDocument& doc, Prompts& prompts, const table::Table& rows,
                     const std::string& currentSemester, const QString& title, const QString& verb,
                     bool mappable) {
  Prompts::ClassesPreview preview;
  preview.title = title;
  preview.acceptText = verb;
  preview.table = &rows;
  preview.mapping = table::GuessMapping(rows);
  preview.mappable = mappable;
  preview.plan = [&doc, &rows, currentSemester](const table::ColumnMapping& m) {
    return table::PlanImport(doc.Book(), rows, m, currentSemester);
  };
  const auto mapping = prompts.PreviewClasses(preview);
  if (!mapping) return {};
  const table::ImportPlan plan = table::PlanImport(doc.Book(), rows, *mapping, currentSemester);
  const auto result = doc.Run(edit::AddClasses(doc.Book(), plan.Accepted(), verb.toStdString()));
  return QString::fromStdString(result.status);
}

}  // namespace

QString PasteClasses(BookDocument& doc, Prompts& prompts, const QString& text,
                     const std::string& currentSemester) {
  const table::Table rows = table::ParsePastedText(text.toStdString());
  if (rows.rows.empty()) return QStringLiteral("The clipboard holds no rows to paste.");
  return AddFromTable(doc, prompts, rows, currentSemester, QStringLiteral("Paste Classes"),
                      QStringLiteral("Paste"), false);
}

QString ImportClasses(BookDocument& doc, Prompts& prompts) {
  Prompts::FileDialog dialog;
  dialog.title = QStringLiteral("Import Classes");
  dialog.filters = {QStringLiteral("Tables (*.csv *.tsv *.txt *.ods *.xlsx)"),
                    QStringLiteral("All Files (*)")};
  const QString path = prompts.OpenFileName(dialog);
  if (path.isEmpty()) return {};
  const table::ReadResult read = table::ReadTableFile(path.toStdString());
  if (!read.ok()) {
    prompts.Message(QFileInfo(path).fileName() + QStringLiteral(": ") +
                        QString::fromStdString(read.error),
                    QStringLiteral("Error!"), Prompts::Icon::Critical);
    return {};
  }
  const std::string current = doc.CurrentSemester().value_or(std::string());
  return AddFromTable(doc, prompts, read.table, current, QStringLiteral("Import Classes"),
                      QStringLiteral("Import"), true);
}

QString ExportClassesCsv(const GradeBook& book, Prompts& prompts) {
  Prompts::FileDialog dialog;
  dialog.title = QStringLiteral("Export Classes as CSV");
  dialog.filters = {QStringLiteral("CSV Files (*.csv)"), QStringLiteral("All Files (*)")};
  dialog.defaultSuffix = QStringLiteral("csv");
  dialog.confirmOverwrite = true;
  const QString path = prompts.SaveFileName(dialog);
  if (path.isEmpty()) return {};
  const std::string csv = table::ClassesCsv(book);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) ||
      !file.flush()) {
    prompts.Message(
        QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString(),
        QStringLiteral("Error!"), Prompts::Icon::Critical);
    return {};
  }
  return QStringLiteral("Classes exported to ") + QFileInfo(path).fileName() + QStringLiteral(".");
}

}  // namespace mw
