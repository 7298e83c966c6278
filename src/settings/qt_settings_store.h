#pragma once
// The per-user settings store of the program, over QSettings: organisation and application
// "Markwell", one group per section, the platform's native format (on Linux the file
// ~/.config/Markwell/Markwell.conf). Every call opens the store afresh, so a value written
// is seen by the next reader at once.
#include <QString>
#include <memory>

#include "settings/settings_store.h"

class QSettings;

namespace mw {

class QtSettingsStore : public SettingsStore {
 public:
  // The user's own store.
  QtSettingsStore();
  // A store held in the given INI file (tests use a temporary one).
  explicit QtSettingsStore(const QString& filePath);

  std::string ReadSetting(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const override;
  void WriteSetting(std::string_view section, std::string_view key,
                    std::string_view value) override;

  // Where the values are kept.
  QString FilePath() const;

 private:
  std::unique_ptr<QSettings> Open() const;

  QString filePath_;  // empty: the user's native store
};

}  // namespace mw
