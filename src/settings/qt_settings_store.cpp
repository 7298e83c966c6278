#include "settings/qt_settings_store.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "qtext/text.h"

namespace mw {

namespace {


QString FullKey(std::string_view section, std::string_view key) {
  return Q(section) + QLatin1Char('/') + Q(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore() = default;

QtSettingsStore::QtSettingsStore(const QString& filePath) : filePath_(filePath) {}

std::unique_ptr<QSettings> QtSettingsStore::Open() const {
  if (filePath_.isEmpty())
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Markwell"), QStringLiteral("Markwell"));
  return std::make_unique<QSettings>(filePath_, QSettings::IniFormat);
}

std::string QtSettingsStore::ReadSetting(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) const {
  auto settings = Open();
  const QString k = FullKey(section, key);
  if (!settings->contains(k)) return std::string(defaultValue);
  const QVariant v = settings->value(k);
  // A hand-edited file may hold an unquoted comma, which QSettings reads as a list.
  if (v.typeId() == QMetaType::QStringList)
    return v.toStringList().join(QLatin1Char(',')).toStdString();
  return v.toString().toStdString();
}

void QtSettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                   std::string_view value) {
  auto settings = Open();
  settings->setValue(FullKey(section, key), Q(value));
  settings->sync();
}

QString QtSettingsStore::FilePath() const { return Open()->fileName(); }

}  // namespace mw
