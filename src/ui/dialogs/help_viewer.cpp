#include "ui/dialogs/help_viewer.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/prompts.h"

namespace mw {

namespace {

const QString kViewerName = QStringLiteral("HelpViewer");

// The help text, which Tab and Shift+Tab leave for the buttons at once. Ctrl+Tab and
// Ctrl+Shift+Tab go from link to link, and Enter follows the link.
class HelpText : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

 protected:
  bool focusNextPrevChild(bool next) override { return QTextEdit::focusNextPrevChild(next); }

  void keyPressEvent(QKeyEvent* event) override {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
      QTextBrowser::focusNextPrevChild(
          !(event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier)));
      return;
    }
    QTextBrowser::keyPressEvent(event);
  }
};

// A plain window around a text browser, with Back, Contents and Close. There is one at a
// time. A modal dialog blocks every window but its own, so while one is open the viewer
// belongs to it (AttachTo), and it moves back to the window beneath when the dialog closes.
class HelpWindow : public QDialog {
 public:
  HelpWindow(const QString& path, QWidget* parent) : QDialog(parent) {
    setObjectName(kViewerName);
    setWindowTitle(QStringLiteral("Markwell Help"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    browser_ = new HelpText(this);
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

  void AttachTo(QWidget* owner) {
    if (owner == parentWidget()) return;
    if (QWidget* old = parentWidget()) old->removeEventFilter(this);
    const bool wasVisible = isVisible();
    const QRect frame = geometry();
    setParent(owner, windowFlags());  // a window of its own still, over the new owner
    if (owner) owner->installEventFilter(this);
    if (wasVisible) {
      setGeometry(frame);
      show();
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* owner = parentWidget();
    if (watched == owner && event->type() == QEvent::Hide && owner->isModal()) {
      QWidget* beneath = owner->parentWidget();
      AttachTo(beneath ? beneath->window() : nullptr);
    }
    return QDialog::eventFilter(watched, event);
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
  static QPointer<HelpWindow> viewer;
  // Over the open modal dialog, if any: a window that is not its own would not take input.
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = parent;
  if (viewer && !viewer->isVisible()) {  // closed, and on its way out
    viewer->deleteLater();
    viewer = nullptr;
  }
  if (!viewer) viewer = new HelpWindow(path, nullptr);
  viewer->AttachTo(owner);
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
  return viewer;
}

}  // namespace mw
