#pragma once
// The About box: the program's name, version and description, an author line and a web-site
// line, and a button that starts the system's own system-information tool.
#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mw {

class Prompts;

// How the system-information tool is found and started: the first name of candidates that
// findExecutable turns into a path is started with startDetached (true when it started).
struct SysInfoLauncher {
  QStringList candidates;
  std::function<QString(const QString& name)> findExecutable;
  std::function<bool(const QString& path)> startDetached;

  // The well-known tools of the platform, looked up on PATH, started as separate processes.
  static SysInfoLauncher System();
};

// "Version " followed by the build's major, minor and revision numbers.
QString VersionText();

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(Prompts& prompts, QWidget* parent = nullptr);

  void SetSysInfoLauncher(SysInfoLauncher launcher) { launcher_ = std::move(launcher); }

  void cmdOK_Click();
  void cmdSysInfo_Click() { StartSysInfo(); }
  // Starts the system-information tool, or says that it is unavailable.
  void StartSysInfo();

 private:
  Prompts& prompts_;
  SysInfoLauncher launcher_;

  QLabel* picIcon = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblDescription = nullptr;
  QLineEdit* Text1 = nullptr;
  QFrame* Line1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdSysInfo = nullptr;
};

}  // namespace mw
