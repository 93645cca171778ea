// Draws every image of the program into <resources>/images/, writes the
// resource list <resources>/resources.qrc, and leaves the animation frames and
// window icon sizes in <work> for ImageMagick to pack (see generate.sh).

#include "image_set.h"
#include "labels.h"
#include "paint_kit.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

// Made by generate.sh from what this program leaves in <work>.
const QStringList packed_by_imagemagick = {"recovery/ani.gif", "top.ico"};

bool fonts_present()
{
  QStringList needed = {"Noto Sans"};
  for (const language_labels& language : all_languages())
    needed << language.family;
  needed.removeDuplicates();
  const QStringList installed = QFontDatabase::families();
  bool present = true;
  for (const QString& family : needed)
    if (!installed.contains(family)) {
      std::fprintf(stderr, "missing font family \"%s\" (see README.md)\n", qPrintable(family));
      present = false;
    }
  return present;
}

bool write_images(const image_list& images, const QString& root)
{
  for (const named_image& item : images)
    if (!save_png(item.image, root + "/images/" + item.path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(item.path));
      return false;
    }
  return true;
}

bool write_numbered(const std::vector<QImage>& images, const QString& folder, const char* stem)
{
  QDir().mkpath(folder);
  for (size_t i = 0; i < images.size(); ++i)
    if (!save_png(images[i], QString("%1/%2_%3.png").arg(folder, stem).arg(i, 2, 10, QChar('0'))))
      return false;
  return true;
}

bool write_qrc(QStringList paths, const QString& root)
{
  std::sort(paths.begin(), paths.end());
  QFile file(root + "/resources.qrc");
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
    return false;
  QTextStream out(&file);
  out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
  for (const QString& path : paths)
    out << "  <file>images/" << path << "</file>\n";
  out << "</qresource>\n</RCC>\n";
  return out.status() == QTextStream::Ok;
}

}  // namespace

int main(int argc, char** argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");  // draws only, never shows a window
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <resources folder> <work folder>\n", argv[0]);
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString work = QString::fromLocal8Bit(argv[2]);
  if (!fonts_present())
    return 1;

  image_list images = skin_images();
  for (image_list more : {page_images(), language_images()})
    for (named_image& image : more)
      images.push_back(std::move(image));

  QDir(root + "/images").removeRecursively();
  QStringList paths = packed_by_imagemagick;
  for (const named_image& image : images)
    paths << image.path;
  if (!write_images(images, root) || !write_numbered(animation_frames(), work, "frame") ||
      !write_numbered(window_icon_sizes(), work, "icon") || !write_qrc(paths, root)) {
    std::fprintf(stderr, "writing failed\n");
    return 1;
  }
  return 0;
}
