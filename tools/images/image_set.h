#pragma once
// What each drawing module hands to the writer: images under their resource names.

#include <QImage>
#include <QString>
#include <vector>

struct named_image {
  QString path;  // below images/, e.g. "system/so.png"
  QImage image;
};
using image_list = std::vector<named_image>;

image_list skin_images();      // window edges, system buttons, logo
image_list page_images();      // page buttons, bars, marks, icons, pictures
image_list language_images();  // multilang/<code>/... and the home defaults

// Pictures that leave through ImageMagick: the animation frames (in order)
// and the window icon at each of its sizes (the first is the one a pixmap shows).
std::vector<QImage> animation_frames();
std::vector<QImage> window_icon_sizes();
