#include "CGdiPlusBitmap.h"

#include "ResourceRegistry.h"

namespace orv {

bool CGdiPlusBitmap::LoadFile(const QString& path) {
  image_ = QImage(path);
  if (!image_.isNull()) image_ = image_.convertToFormat(QImage::Format_ARGB32);
  return IsLoaded();
}

bool CGdiPlusBitmapResource::Load(int id, art::ArtType type) {
  Empty();
  id_ = id;
  QImage img = LoadResourceImage(type, id);
  if (img.isNull()) return false;
  image_ = img.convertToFormat(QImage::Format_ARGB32);
  return true;
}

}  // namespace orv
