#pragma once
// Prompts for the window benchmarks: the measured commands ask nothing, and anything asked is
// answered as a cancel.
#include "app/prompts.h"

namespace mw::bench {

class NoPrompts : public Prompts {
 public:
  QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
  bool AskYesNo(const QString&, const QString&, bool) override { return false; }
  SaveChoice AskSaveChanges(const QString&) override { return SaveChoice::Cancel; }
  void Message(const QString&, const QString&, Icon) override {}
  QString OpenFileName(const FileDialog&) override { return {}; }
  QString SaveFileName(const FileDialog&) override { return {}; }
  std::optional<QString> GetPassword(PromptMode, const QString&) override { return std::nullopt; }
  std::optional<table::ColumnMapping> PreviewClasses(const ClassesPreview&) override {
    return std::nullopt;
  }
};

}  // namespace mw::bench
