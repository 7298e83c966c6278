#pragma once
// Two readings of one protected file side by side, each with the button that opens it.
#include <QDialog>
#include <QStringList>
#include <optional>

namespace mw {

class ChooseReadingDialog : public QDialog {
 public:
  ChooseReadingDialog(const QString& question, const QStringList& readings,
                      QWidget* parent = nullptr);
  // The position of the reading chosen; nothing after Cancel or the close box.
  std::optional<int> Chosen() const { return chosen_; }

 private:
  std::optional<int> chosen_;
};

}  // namespace mw
