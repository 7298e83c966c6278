#pragma once
// Box layouts written as nested lists, in the order the boxes are filled:
//   Column({Label1, List, Row({SelectLabel, AllButton, Stretch{}}), Space{6}}, dialog)
#include <QBoxLayout>
#include <initializer_list>
#include <variant>

namespace mw {

struct Stretch {
  int factor = 1;
};
struct Space {
  int pixels;
};
// A widget or layout with a stretch factor (and for a widget, an alignment) in its box.
struct Stretched {
  std::variant<QWidget*, QLayout*> item;
  int factor = 0;
  Qt::Alignment alignment = {};
};

using BoxItem = std::variant<QWidget*, QLayout*, Space, Stretch, Stretched>;

inline void FillBox(QBoxLayout* box, std::initializer_list<BoxItem> items) {
  for (const BoxItem& item : items) {
    if (auto* w = std::get_if<QWidget*>(&item)) box->addWidget(*w);
    else if (auto* l = std::get_if<QLayout*>(&item)) box->addLayout(*l);
    else if (auto* space = std::get_if<Space>(&item)) box->addSpacing(space->pixels);
    else if (auto* stretch = std::get_if<Stretch>(&item)) box->addStretch(stretch->factor);
    else if (auto* s = std::get_if<Stretched>(&item)) {
      if (auto* sw = std::get_if<QWidget*>(&s->item)) box->addWidget(*sw, s->factor, s->alignment);
      else box->addLayout(std::get<QLayout*>(s->item), s->factor);
    }
  }
}

inline QHBoxLayout* Row(std::initializer_list<BoxItem> items, QWidget* parent = nullptr) {
  auto* box = new QHBoxLayout(parent);
  FillBox(box, items);
  return box;
}

inline QVBoxLayout* Column(std::initializer_list<BoxItem> items, QWidget* parent = nullptr) {
  auto* box = new QVBoxLayout(parent);
  FillBox(box, items);
  return box;
}

}  // namespace mw
