#pragma once
// Small helpers shared by the main window's source files.
#include <QString>
#include <string>

namespace mw::main_window {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

// Guards a code fill of the widgets: their change notifications are ignored meanwhile.
class Syncing {
 public:
  explicit Syncing(int& counter) : counter_(counter) { ++counter_; }
  ~Syncing() { --counter_; }
  Syncing(const Syncing&) = delete;
  Syncing& operator=(const Syncing&) = delete;

 private:
  int& counter_;
};

}  // namespace mw::main_window
