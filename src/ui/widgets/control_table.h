#pragma once
// A window's controls declared as a table: each row names the member that takes the control
// (the member's type is the control's kind), its object name, its place in twips, its caption,
// tooltip and accessible name. MakeControls makes the controls in the table's order, which is
// also the order Tab follows until the window sets its own.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <cstddef>
#include <initializer_list>
#include <type_traits>
#include <variant>

namespace mw {

// A place in twips (1/1440 inch). All zero: the control is placed by a layout.
struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

// Twips in pixels at a scale of the screen's logical dots per inch to 96.
inline int TwipsToPx(int twips, double scale) { return qRound(twips * scale / 15.0); }

template <class Owner>
struct Control {
  std::variant<QLabel* Owner::*, QPushButton* Owner::*, QListWidget* Owner::*,
               QComboBox* Owner::*, QLineEdit* Owner::*, QGroupBox* Owner::*,
               QCheckBox* Owner::*, QRadioButton* Owner::*, QFrame* Owner::*>
      member;
  const char* name;
  TwipsRect place{};
  const char* caption = "";  // a group box's title, or the text of any other kind
  const char* tip = "";
  const char* accessible = "";
};

struct NoSetup {
  void operator()(QWidget*) const {}
};

// For a dialog whose buttons Enter presses only when they have the focus.
struct NoAutoDefault {
  void operator()(QPushButton* b) const { b->setAutoDefault(false); }
  void operator()(QWidget*) const {}
};

// Makes each row's control as a child of parent and stores it in owner's member. setup then
// runs with the control as its own type, for what the window gives every control of a kind.
template <class Owner, std::size_t N, class Setup = NoSetup>
void MakeControls(Owner& owner, QWidget* parent, const Control<Owner> (&rows)[N],
                  Setup&& setup = {}, double scale = 1.0) {
  for (const Control<Owner>& c : rows) {
    std::visit(
        [&](auto member) {
          using W = std::remove_pointer_t<std::remove_reference_t<decltype(owner.*member)>>;
          auto* w = new W(parent);
          owner.*member = w;
          w->setObjectName(QLatin1String(c.name));
          if (c.place.width > 0)
            w->setGeometry(TwipsToPx(c.place.left, scale), TwipsToPx(c.place.top, scale),
                           TwipsToPx(c.place.width, scale), TwipsToPx(c.place.height, scale));
          const QString caption = QString::fromUtf8(c.caption);
          if constexpr (std::is_same_v<W, QGroupBox>) {
            w->setTitle(caption);
          } else if constexpr (requires { w->setText(caption); }) {
            if (!caption.isEmpty()) w->setText(caption);
          }
          if (*c.tip) w->setToolTip(QString::fromUtf8(c.tip));
          if (*c.accessible) w->setAccessibleName(QString::fromUtf8(c.accessible));
          setup(w);
        },
        c.member);
  }
}

// Tab goes from each control to the next, in the order given.
inline void ChainTabOrder(std::initializer_list<QWidget*> order) {
  for (auto it = order.begin(); it != order.end() && it + 1 != order.end(); ++it)
    QWidget::setTabOrder(*it, *(it + 1));
}

}  // namespace mw
