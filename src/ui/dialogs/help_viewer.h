#pragma once
// The help command: finds the help document markwell.html and shows it in a viewer window of
// the program's own.
#include <QString>
#include <QStringList>

class QWidget;

namespace mw {

class Prompts;

// The help document's file name.
inline const QString kHelpFileName = QStringLiteral("markwell.html");

// Where the help document is looked for, in order: the program's folder, the markwell folder
// of every generic data location (<prefix>/share/markwell when installed), and
// <program folder>/../share/markwell.
QStringList HelpSearchFolders();
// The full path of the first readable help document in folders; empty when there is none.
QString FindHelpFile(const QStringList& folders);

// Opens the help document in the viewer window (raising the one already open over parent), or
// tells the user through prompts that it is missing. Returns the viewer, or null.
QWidget* ShowHelp(QWidget* parent, Prompts& prompts, const QStringList& folders);
inline void ShowHelp(QWidget* parent, Prompts& prompts) {
  ShowHelp(parent, prompts, HelpSearchFolders());
}

}  // namespace mw
