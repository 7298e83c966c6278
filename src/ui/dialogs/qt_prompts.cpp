#include "ui/dialogs/qt_prompts.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/dialogs/choose_reading_dialog.h"
#include "ui/dialogs/get_password_dialog.h"
#include "ui/sheet/classes_preview_dialog.h"
#include "ui/views/views.h"

namespace mw {

namespace {

QString RunFileDialog(QWidget* parent, const Prompts::FileDialog& d, bool save) {
  QFileDialog dialog(parent, d.title);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !d.confirmOverwrite);
  if (!d.filters.isEmpty()) {
    dialog.setNameFilters(d.filters);
    dialog.selectNameFilter(d.filters.first());
  }
  dialog.setDefaultSuffix(d.defaultSuffix);
  if (!d.initialPath.isEmpty()) dialog.selectFile(d.initialPath);
  if (dialog.exec() != QDialog::Accepted) return QString();
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

}  // namespace

QtPrompts::QtPrompts(QWidget* parent) : parent_(parent) {}

QString QtPrompts::InputBox(const QString& prompt, const QString& title,
                            const QString& defaultText) {
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(title);
  dialog.setLabelText(prompt);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(defaultText);
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.textValue();
}

bool QtPrompts::AskYesNo(const QString& text, const QString& title, bool defaultYes) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                  parent_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

Prompts::SaveChoice QtPrompts::AskSaveChanges(const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Markwell"), text,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
  }
}

void QtPrompts::Message(const QString& text, const QString& title, Icon icon) {
  QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, title,
                  text, QMessageBox::Ok, parent_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

QString QtPrompts::OpenFileName(const FileDialog& dialog) {
  return RunFileDialog(parent_, dialog, false);
}

QString QtPrompts::SaveFileName(const FileDialog& dialog) {
  return RunFileDialog(parent_, dialog, true);
}

std::optional<QString> QtPrompts::GetPassword(PromptMode mode, const QString& fileName) {
  GetPasswordDialog dialog(parent_);
  dialog.PromptMode = mode;
  dialog.FileName = fileName;
  dialog.exec();
  return dialog.Answer();
}

std::optional<int> QtPrompts::ChooseReading(const QString& question,
                                            const QStringList& readings) {
  ChooseReadingDialog dialog(question, readings, parent_);
  dialog.exec();
  return dialog.Chosen();
}

bool QtPrompts::SetUpPrinter(QPrinter& printer, const QString& title) {
  // Only the views print, so they are open by now.
  const Views* views = FindViews();
  return views && views->SetUpPrinter(printer, title, parent_);
}

int QtPrompts::ChooseItem(const QString& prompt, const QString& title, const QStringList& items,
                          const QStringList& details) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(title);
  auto* label = new QLabel(prompt, &dialog);
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("ChoiceList"));
  list->addItems(items);
  list->setTextElideMode(Qt::ElideRight);
  for (int i = 0; i < list->count(); ++i) list->item(i)->setToolTip(items[i]);
  label->setBuddy(list);
  auto* detail = new QLabel(&dialog);
  detail->setObjectName(QStringLiteral("ChoiceDetail"));
  detail->setTextFormat(Qt::PlainText);
  detail->setWordWrap(true);
  detail->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  detail->setMinimumWidth(detail->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  QObject::connect(list, &QListWidget::currentRowChanged, detail, [detail, &details](int row) {
    detail->setText(row >= 0 && row < details.size() ? details[row] : QString());
  });
  auto* middle = new QHBoxLayout;
  middle->addWidget(list, 1);
  middle->addWidget(detail, 1);
  auto* outer = new QVBoxLayout(&dialog);
  outer->addWidget(label);
  outer->addLayout(middle, 1);
  outer->addWidget(buttons);
  list->setCurrentRow(items.isEmpty() ? -1 : 0);
  dialog.resize(dialog.sizeHint().expandedTo(QSize(640, 360)));
  if (dialog.exec() != QDialog::Accepted) return -1;
  return list->currentRow();
}

std::optional<table::ColumnMapping> QtPrompts::PreviewClasses(const ClassesPreview& preview) {
  ClassesPreviewDialog dialog(preview, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Mapping();
}

}  // namespace mw
