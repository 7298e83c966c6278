#pragma once
// A one-line label that shows as much of its text as fits, ending in "…" when it is cut; the
// whole text is then its tooltip. Its accessible description always carries the whole text.
#include <QLabel>

namespace mw {

class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(QWidget* parent = nullptr);

  void SetFullText(const QString& text);
  const QString& FullText() const { return full_; }

  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Elide();

  QString full_;
};

}  // namespace mw
