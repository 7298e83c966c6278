#pragma once
// Small helpers shared by the main window's source files.
#include <QListWidgetItem>
#include <QString>
#include <string>

#include "qtext/text.h"

namespace mw::main_window {

using mw::Q;

// An entry of the class list: the list keeps its entries in alphabetical order without regard
// to letter case (names equal but for case keep a fixed order among themselves).
class ClassListItem : public QListWidgetItem {
 public:
  using QListWidgetItem::QListWidgetItem;
  bool operator<(const QListWidgetItem& other) const override {
    const int c = QString::compare(text(), other.text(), Qt::CaseInsensitive);
    if (c != 0) return c < 0;
    return text() < other.text();
  }
};

}  // namespace mw::main_window
