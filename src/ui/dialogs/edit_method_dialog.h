#pragma once
// The grading method editor: add and delete methods, and edit the 13 grade point values of one
// method at a time, on a list of methods (the main window hands in a copy and takes what the
// editor changed as one step). Value edits reach a method only through "Save Changes to
// Current Method" or the question asked at OK.
#include <QDialog>

#include <array>

#include <vector>

#include "model/method.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace mw {

class Prompts;

class EditMethodDialog : public QDialog {
  Q_OBJECT

 public:
  EditMethodDialog(std::vector<Method>& methods, Prompts& prompts, QWidget* parent = nullptr);

  // The handlers, public so that the main window's tests and our own can drive them directly.
  void MethodListBox_Click();
  void MethodListBox_KeyDown(int key);
  void AddMethod_Click();
  // Adds a copy of a published scale or of one of the methods, under a name asked for.
  void AddFromScale_Click();
  // Stores the boxes' values in the selected method; false (and nothing stored) when one of
  // them lies outside the range credits and grade points may take (IsSafeAmount).
  bool UpdateCurrent_Click();
  void Return_Click();

  // True when the boxes differ from the selected method's values (false with none selected).
  bool MethodChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The method named by the selected entry, or null when nothing is selected or the name is
  // not (any longer) in the list.
  Method* SelectedMethod();
  int SelectedRow() const;
  void ShowMethod(const Method& m);
  // Asks for a new method's name (defaultName shown), adds the method with every value 0 and
  // lists it; empty when cancelled or refused (the refusal shown).
  QString AddNamedMethod(const QString& defaultName);

  std::vector<Method>& methods_;
  Prompts& prompts_;

  QLabel* Label2 = nullptr;
  QListWidget* MethodListBox = nullptr;
  QPushButton* UpdateCurrent = nullptr;
  QPushButton* AddMethod = nullptr;
  QPushButton* AddFromScale = nullptr;
  QPushButton* Return = nullptr;
  std::array<QLabel*, kGradeCount> Label1{};
  std::array<QLineEdit*, kGradeCount> Text1{};
};

}  // namespace mw
