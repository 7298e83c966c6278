#include "ui/views/views.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <dlfcn.h>

namespace mw {
namespace {

const Views* linked = nullptr;

}  // namespace

void LinkViews(const Views* views) { linked = views; }

const Views* OpenViewsLibrary(const QStringList& paths, QString* error) {
  for (const QString& path : paths) {
    if (!QFileInfo::exists(path)) continue;
    // Every symbol is bound now, so that a library that does not fit fails here and not in
    // the middle of drawing a window.
    void* library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      if (error) *error = QString::fromLocal8Bit(dlerror());
      return nullptr;
    }
    using Entry = const Views* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(library, "markwell_views"));
    const Views* views = entry ? entry() : nullptr;
    if (!views || views->size != sizeof(Views) || std::strcmp(views->version, MARKWELL_VERSION)) {
      if (error) *error = path + QStringLiteral(" belongs to another version of Markwell.");
      dlclose(library);
      return nullptr;
    }
    return views;  // kept open for the rest of the run
  }
  if (error) *error = QStringLiteral("%1 is missing.").arg(paths.value(0));
  return nullptr;
}

const Views* FindViews(QString* error) {
  if (linked) return linked;
  static const Views* opened = nullptr;
  if (!opened) {
    // Beside the program in the build folder; in the library folder when installed.
    const QString dir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    opened = OpenViewsLibrary({dir + QStringLiteral("markwell-views.so"),
                               dir + QStringLiteral(MARKWELL_VIEWS_FROM_PROGRAM "/markwell-views.so")},
                              error);
  }
  return opened;
}

}  // namespace mw
