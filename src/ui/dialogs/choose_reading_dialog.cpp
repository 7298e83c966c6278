#include "ui/dialogs/choose_reading_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mw {

ChooseReadingDialog::ChooseReadingDialog(const QString& question, const QStringList& readings,
                                         QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("ChooseReadingDialog"));
  setWindowTitle(QStringLiteral("Markwell"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(question, this);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* row = new QHBoxLayout;
  layout->addLayout(row);
  for (int i = 0; i < readings.size(); ++i) {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(frame);
    auto* text = new QLabel(readings[i], frame);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(text, 1);
    auto* open = new QPushButton(i == 0 ? QStringLiteral("Open the &left one")
                                        : QStringLiteral("Open the &right one"),
                                 frame);
    open->setAccessibleName(QStringLiteral("Open: ") + readings[i].section(QChar('\n'), 0, 0));
    open->setAccessibleDescription(readings[i]);
    connect(open, &QPushButton::clicked, this, [this, i] {
      chosen_ = i;
      accept();
    });
    column->addWidget(open);
    row->addWidget(frame);
  }
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(cancel, 0, Qt::AlignRight);
}

}  // namespace mw
