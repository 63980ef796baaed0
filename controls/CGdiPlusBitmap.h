#pragma once
// Pictures of the image buttons: CGdiPlusBitmap owns one picture (or none);
// CGdiPlusBitmapResource loads it from the program's resources by number.
#include <QImage>

#include "ArtTable.h"

namespace orv {

class CGdiPlusBitmap {
 public:
  CGdiPlusBitmap() = default;
  explicit CGdiPlusBitmap(QImage image) : image_(std::move(image)) {}
  virtual ~CGdiPlusBitmap() = default;

  bool IsLoaded() const { return !image_.isNull(); }
  const QImage& Image() const { return image_; }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  void Empty() { image_ = QImage(); }
  // Loads a picture file; false (and empty) when it cannot be decoded.
  bool LoadFile(const QString& path);

 protected:
  QImage image_;
};

class CGdiPlusBitmapResource : public CGdiPlusBitmap {
 public:
  // Releases the previous picture, then loads resource `id` of `type`.
  // A missing or undecodable resource leaves the picture empty (and is
  // recorded by the resource registry).
  bool Load(int id, art::ArtType type = art::ArtType::Png);
  int ResourceId() const { return id_; }

 private:
  int id_ = 0;
};

}  // namespace orv
