#include "ui/dialogs/help_viewer.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/prompts.h"

namespace mw {

namespace {

const QString kViewerName = QStringLiteral("HelpViewer");

// A plain window around a text browser, with Back, Contents and Close.
class HelpWindow : public QDialog {
 public:
  HelpWindow(const QString& path, QWidget* parent) : QDialog(parent) {
    setObjectName(kViewerName);
    setWindowTitle(QStringLiteral("Markwell Help"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpText"));
    browser_->setAccessibleName(QStringLiteral("Markwell Help"));
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl::fromLocalFile(path));

    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    back->setObjectName(QStringLiteral("HelpBack"));
    back->setEnabled(false);
    auto* home = new QPushButton(QStringLiteral("&Contents"), this);
    home->setObjectName(QStringLiteral("HelpContents"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("HelpClose"));
    for (QPushButton* b : {back, home, close}) b->setAutoDefault(false);

    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* top = new QVBoxLayout(this);
    top->addWidget(browser_, 1);
    top->addLayout(buttons);
    resize(760, 600);
  }

 private:
  QTextBrowser* browser_ = nullptr;
};

}  // namespace

QStringList HelpSearchFolders() {
  const QString appDir = QCoreApplication::applicationDirPath();
  QStringList folders{appDir};
  for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
    folders << QDir(data).filePath(QStringLiteral("markwell"));
  folders << QDir::cleanPath(appDir + QStringLiteral("/../share/markwell"));
  folders.removeDuplicates();
  return folders;
}

QString FindHelpFile(const QStringList& folders) {
  for (const QString& folder : folders) {
    if (folder.isEmpty()) continue;
    const QFileInfo file(QDir(folder).filePath(kHelpFileName));
    if (file.isFile() && file.isReadable()) return file.absoluteFilePath();
  }
  return {};
}

QWidget* ShowHelp(QWidget* parent, Prompts& prompts, const QStringList& folders) {
  const QString path = FindHelpFile(folders);
  if (path.isEmpty()) {
    prompts.Message(QStringLiteral("Help is unavailable: the help file \"") + kHelpFileName +
                        QStringLiteral("\" was not found next to the program or in the "
                                       "share/markwell folder where Markwell is installed."),
                    QStringLiteral("Markwell"), Prompts::Icon::None);
    return nullptr;
  }
  QWidget* viewer = parent ? parent->findChild<QWidget*>(kViewerName, Qt::FindDirectChildrenOnly)
                           : nullptr;
  if (!viewer) viewer = new HelpWindow(path, parent);
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
  return viewer;
}

}  // namespace mw
