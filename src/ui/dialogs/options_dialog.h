#pragma once
// "Markwell Options": the default grade and credits of new classes, the file opened at
// start-up, and password protection of the open grade book. The dialog edits its controls
// only; Apply (or OK) writes the settings store and the grade book's IsPassProtected.
#include <QDialog>
#include <functional>

#include "app/prompts.h"
#include "model/gradebook.h"
#include "settings/settings_store.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mw {

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  OptionsDialog(const GradeBook& gb, SettingsStore& settings, Prompts& prompts,
                QWidget* parent = nullptr);

  // Showing the dialog fills its controls afresh and centres it on the screen.
  void setVisible(bool visible) override;

  // The Apply steps: writes the four preferences and IsPassProtected.
  void Apply();

  // A change of the protection goes here: the dialog never writes into the grade book.
  std::function<void(bool)> SetProtection;

 private:
  void Form_Load();
  void CenterOnScreen();
  void cmdOK_Click();
  void cmdApply_Click();
  void CurrFileButton_Click();

  const GradeBook& gb_;
  SettingsStore& settings_;
  Prompts& prompts_;

  QLabel* Label1;
  QComboBox* GradeListBox;
  QLabel* Label2;
  QLineEdit* CreditBox;
  QCheckBox* Passprotect;
  QCheckBox* FileNameCheck;
  QLineEdit* FileNameBox;
  QPushButton* CurrFileButton;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  QPushButton* cmdApply;
};

}  // namespace mw
