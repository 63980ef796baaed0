// Draws every picture of the art table into a folder and writes the resource
// collection file that bundles them:  orv-artgen <output folder>
// With --icons it draws the application icon for the desktop's icon theme
// instead: <folder>/<n>x<n>/apps/orvpanel.png for the usual sizes.
// The pictures depend only on this program and the installed fonts, so a
// build reproduces them exactly.
#include <cstdio>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

#include "ArtPainter.h"
#include "ArtTable.h"

using namespace orv::art;

namespace {

QString RelativePath(const ArtRow& row) {
  return QStringLiteral("%1/%2.%3")
      .arg(QLatin1String(ArtFolder(row.type)))
      .arg(row.id)
      .arg(QLatin1String(ArtExtension(row.type)));
}

bool WriteIfChanged(const QString& path, const QByteArray& bytes) {
  QFile old(path);
  if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes) return true;
  old.close();
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(image)) return {};
  return bytes;
}

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

int WriteIcons(const QDir& out) {
  int failures = 0;
  for (const int size : kIconSizes) {
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    QDir().mkpath(out.filePath(folder));
    const QByteArray bytes = Encode(PaintAppIcon(size), "png");
    if (bytes.isEmpty() ||
        !WriteIfChanged(out.filePath(folder + QStringLiteral("/orvpanel.png")), bytes)) {
      std::fprintf(stderr, "orv-artgen: cannot make the %d-pixel icon\n", size);
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // fonts need the GUI application
  if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--icons")) {
    return WriteIcons(QDir(QString::fromLocal8Bit(argv[2])));
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: orv-artgen <output folder> | --icons <folder>\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  int failures = 0;
  QString qrc;
  QTextStream rc(&qrc);
  rc << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/orv\">\n";
  for (const ArtRow& row : ArtTable()) {
    const QString rel = RelativePath(row);
    QDir().mkpath(out.filePath(QLatin1String(ArtFolder(row.type))));
    QByteArray bytes;
    if (row.type == ArtType::Gif) {
      bool ok = false;
      bytes = PaintAnimation(row, &ok);
    } else {
      const QImage img = PaintArt(row);
      bytes = Encode(row.type == ArtType::Bitmap ? img.convertToFormat(QImage::Format_RGB32) : img,
                     row.type == ArtType::Bitmap ? "bmp" : "png");
    }
    if (bytes.isEmpty() || !WriteIfChanged(out.filePath(rel), bytes)) {
      std::fprintf(stderr, "orv-artgen: cannot make %s (%s)\n", qPrintable(rel), row.label);
      ++failures;
      continue;
    }
    rc << "  <file>" << rel << "</file>\n";
  }
  rc << "</qresource>\n</RCC>\n";
  rc.flush();
  if (!WriteIfChanged(out.filePath(QStringLiteral("orv_art.qrc")), qrc.toUtf8())) ++failures;
  return failures == 0 ? 0 : 1;
}
