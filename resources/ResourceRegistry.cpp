#include "ResourceRegistry.h"

#include <algorithm>
#include <mutex>

#include <QFile>

// Outside any namespace, as the resource compiler's functions are.
static void InitArtBundle() {
  Q_INIT_RESOURCE(orv_art);
}

namespace orv {

namespace {

std::mutex missing_mutex;
std::vector<std::pair<ArtType, int>>& Missing() {
  static std::vector<std::pair<ArtType, int>> missing;
  return missing;
}

void EnsureBundle() {
  static std::once_flag once;
  std::call_once(once, [] { InitArtBundle(); });
}

void RecordMissing(ArtType type, int id) {
  std::lock_guard lock(missing_mutex);
  auto& missing = Missing();
  const auto entry = std::make_pair(type, id);
  if (std::find(missing.begin(), missing.end(), entry) == missing.end()) missing.push_back(entry);
}

QString PathOf(ArtType type, int id) {
  return QStringLiteral(":/orv/%1/%2.%3")
      .arg(QLatin1String(art::ArtFolder(type)))
      .arg(id)
      .arg(QLatin1String(art::ArtExtension(type)));
}

}  // namespace

bool HasResource(ArtType type, int id) {
  EnsureBundle();
  return art::FindArt(type, id) != nullptr && QFile::exists(PathOf(type, id));
}

QString ResourcePath(ArtType type, int id) {
  if (!HasResource(type, id)) {
    RecordMissing(type, id);
    return {};
  }
  return PathOf(type, id);
}

QByteArray LoadResourceBytes(ArtType type, int id) {
  const QString path = ResourcePath(type, id);
  if (path.isEmpty()) return {};
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    RecordMissing(type, id);
    return {};
  }
  return f.readAll();
}

QImage LoadResourceImage(ArtType type, int id) {
  const QByteArray bytes = LoadResourceBytes(type, id);
  if (bytes.isEmpty()) return {};
  QImage img = QImage::fromData(bytes);
  if (img.isNull()) RecordMissing(type, id);
  return img;
}

std::vector<std::pair<ArtType, int>> MissingResources() {
  std::lock_guard lock(missing_mutex);
  return Missing();
}

void ClearMissingResources() {
  std::lock_guard lock(missing_mutex);
  Missing().clear();
}

}  // namespace orv
