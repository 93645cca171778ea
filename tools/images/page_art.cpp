// Images the pages paint with: push-button faces, bars, check marks, icons,
// the header band, the home picture and the scan animation.

#include "glyphs.h"
#include "image_set.h"
#include "paint_kit.h"
#include "theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace {

// A blue push-button face (the pages write white bold text on it);
// states 1 normal, 2 hover, 3 pressed.
QImage push_button(int width, int height, int state)
{
  QImage image = blank_image(width, height);
  QPainter painter(&image);
  begin_smooth(painter);
  const QRectF face(0.5, 0.5, width - 1, height - 1.5);
  painter.drawImage(0, 0, soft_shadow(rounded_rect(face, 4), image.size(), 1, 0, 1,
                                      with_alpha(theme::shadow, state == 3 ? 0 : 70)));
  QLinearGradient fill(0, 0, 0, height);
  switch (state) {
  case 1:
    fill.setColorAt(0, theme::button_light);
    fill.setColorAt(1, theme::button_dark);
    break;
  case 2:
    fill.setColorAt(0, mix(theme::button_light, Qt::white, 0.22));
    fill.setColorAt(1, mix(theme::button_dark, Qt::white, 0.16));
    break;
  default:
    fill.setColorAt(0, mix(theme::button_dark, Qt::black, 0.12));
    fill.setColorAt(1, theme::button_dark);
    break;
  }
  painter.setPen(QPen(state == 3 ? mix(theme::button_edge, Qt::black, 0.15) : theme::button_edge, 1));
  painter.setBrush(fill);
  painter.drawPath(rounded_rect(face, 4));
  // Inner light along the top, or an inner shadow when pressed.
  painter.setPen(QPen(state == 3 ? with_alpha(theme::shadow, 70) : with_alpha(Qt::white, 110), 1));
  painter.drawLine(QPointF(4, 1.5), QPointF(width - 4, 1.5));
  return image;
}

// Diagonal stripes that tile in both directions, so the bar looks the same
// wherever its rows fall on the texture.
QImage progress_fill()
{
  constexpr int side = 12;
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(theme::button_light);
  QPainter painter(&image);
  begin_smooth(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(mix(theme::button_light, Qt::white, 0.32));
  for (int shift = -2 * side; shift <= 2 * side; shift += side) {
    QPolygonF stripe;
    stripe << QPointF(shift, side) << QPointF(shift + side / 2.0, side)
           << QPointF(shift + side + side / 2.0, 0) << QPointF(shift + side, 0);
    painter.drawPolygon(stripe);
  }
  return image;
}

// A bar filling: shaded like a tube, so its first and last rows match and the
// row the page repeats below it blends in.
QImage level_fill(const QColor& base)
{
  constexpr int height = 18;
  QImage image(4, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y) {
    const qreal t = (y + 0.5) / height;
    const qreal light = std::sin(t * std::numbers::pi);       // 0 at the edges, 1 inside
    const qreal sheen = std::exp(-std::pow((t - 0.3) / 0.12, 2));  // highlight above centre
    QColor row = mix(mix(base, Qt::black, 0.28), base, light);
    row = mix(row, Qt::white, 0.45 * sheen);
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColor(x, y, row);
  }
  return image;
}

QImage check_box(bool checked)
{
  QImage image = blank_image(14, 14);
  QPainter painter(&image);
  begin_smooth(painter);
  const QRectF box(0.5, 0.5, 13, 13);
  QLinearGradient fill(0, 0, 0, 14);
  if (checked) {
    fill.setColorAt(0, theme::button_light);
    fill.setColorAt(1, theme::button_dark);
  } else {
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, theme::header);
  }
  painter.setPen(QPen(checked ? theme::button_edge : QColor(112, 152, 206), 1));
  painter.setBrush(fill);
  painter.drawPath(rounded_rect(box, 2.5));
  if (checked) {
    painter.setPen(QPen(Qt::white, 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    QPolygonF tick;
    tick << QPointF(3.6, 7.2) << QPointF(6, 9.8) << QPointF(10.6, 4.2);
    painter.drawPolyline(tick);
  }
  return image;
}

QImage icon(int side, void (*draw)(QPainter&, const QRectF&))
{
  QImage image = blank_image(side, side);
  QPainter painter(&image);
  draw(painter, QRectF(0, 0, side, side));
  return image;
}

// Light blue fading to white: the band along the top of every page.
QImage band()
{
  QImage image(5, 50, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  QLinearGradient fill(0, 0, 0, 50);
  fill.setColorAt(0, theme::bar_back);
  fill.setColorAt(1, Qt::white);
  painter.fillRect(image.rect(), fill);
  return image;
}

// The home page writes three lines on this panel, their base lines 50, 100
// and 150 pixels down from its top and starting 15 pixels in.
QImage home_panel()
{
  constexpr int width = 692, height = 188;
  QImage image = blank_image(width, height);
  QPainter painter(&image);
  begin_smooth(painter);
  const QRectF card(1.5, 1.5, width - 3, height - 4);
  painter.drawImage(0, 0, soft_shadow(rounded_rect(card, 8), image.size(), 1, 0, 1,
                                      with_alpha(theme::shadow, 40)));
  QLinearGradient fill(0, 0, 0, height);
  fill.setColorAt(0, Qt::white);
  fill.setColorAt(1, theme::row_tint);
  painter.setPen(QPen(mix(theme::border, Qt::white, 0.35), 1));
  painter.setBrush(fill);
  painter.drawPath(rounded_rect(card, 8));

  // A faint emblem on the right, clear of the text.
  draw_emblem_ghost(painter, QRectF(width - 166, 24, 140, 140), with_alpha(theme::border, 70));

  // The three lines sit in bands with a fine rule between them and a marker
  // in the margin left of each line.
  painter.setPen(QPen(theme::grid, 1, Qt::DotLine));
  for (int y : {75, 125})
    painter.drawLine(QPointF(14, y + 0.5), QPointF(width - 190, y + 0.5));
  painter.setPen(Qt::NoPen);
  for (int base : {50, 100, 150}) {
    painter.setBrush(theme::note_text);
    painter.drawRoundedRect(QRectF(5, base - 11, 3, 13), 1.5, 1.5);
  }
  return image;
}

}  // namespace

image_list page_images()
{
  image_list images;
  for (int state = 1; state <= 3; ++state) {
    images.push_back({QString("partition_search/btn_wai_%1.png").arg(state), push_button(100, 30, state)});
    images.push_back({QString("partition_search/btn_start_%1.png").arg(state), push_button(80, 30, state)});
  }
  images.push_back({"partition_search/loding_on.png", progress_fill()});
  images.push_back({"partition_search/green.png", level_fill(QColor(70, 182, 112))});
  images.push_back({"partition_search/red.png", level_fill(QColor(226, 72, 62))});
  images.push_back({"partition_search/check1.png", check_box(false)});
  images.push_back({"partition_search/check2.png", check_box(true)});
  images.push_back({"partition_search/drives.png", icon(20, draw_drive)});
  images.push_back({"partition_search/icon_found1.png", icon(64, draw_drive_search)});
  images.push_back({"recovery/folder.png", icon(16, draw_folder)});
  images.push_back({"background/bai.png", band()});
  images.push_back({"home/wenzi.png", home_panel()});
  return images;
}

// A platter turning under a bright read sweep, drawn over the colours of the
// recovery page corner it covers; what is not part of the drawing stays clear.
std::vector<QImage> animation_frames()
{
  constexpr int width = 130, height = 86, frames = 16;
  const QPointF centre(48, 43);
  constexpr qreal radius = 24;
  const QImage page_band = band();
  std::vector<QImage> result;
  for (int frame = 0; frame < frames; ++frame) {
    QImage art = blank_image(width, height);
    {
      QPainter painter(&art);
      begin_smooth(painter);
      painter.drawImage(0, 0, soft_shadow(rounded_rect(QRectF(centre.x() - radius, centre.y() - radius,
                                                               2 * radius, 2 * radius),
                                                        radius),
                                           art.size(), 2, 0, 1.5, with_alpha(theme::shadow, 90)));
      // Platter and sweep turn counter-clockwise, the way the emblem's arrow points.
      const qreal angle = 90.0 + 360.0 * frame / frames;
      painter.save();
      painter.translate(centre);
      painter.rotate(90.0 - angle);
      painter.translate(-centre);
      draw_emblem(painter, QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius));
      painter.restore();
      QConicalGradient sweep(centre, angle);
      sweep.setColorAt(0, with_alpha(Qt::white, 0));
      sweep.setColorAt(0.8, with_alpha(Qt::white, 0));
      sweep.setColorAt(1, with_alpha(Qt::white, 150));
      painter.setPen(Qt::NoPen);
      painter.setBrush(sweep);
      painter.drawEllipse(centre, radius - 1.5, radius - 1.5);
      // The head rides on the leading edge of the sweep.
      const qreal a = angle * std::numbers::pi / 180.0;
      const QPointF head(centre.x() + (radius - 7) * std::cos(a), centre.y() - (radius - 7) * std::sin(a));
      painter.setBrush(QColor(255, 158, 38));
      painter.setPen(QPen(Qt::white, 1.2));
      painter.drawEllipse(head, 3.2, 3.2);
    }
    // GIF keeps one bit of alpha: blend the edges onto the page here, and
    // leave the faintest shadow out so it cannot touch the page's frame.
    art = art.convertToFormat(QImage::Format_ARGB32);
    QImage out(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const QColor ink = art.pixelColor(x, y);
        if (ink.alpha() < 12) {
          out.setPixel(x, y, qRgba(0, 0, 0, 0));
          continue;
        }
        const QColor ground = y < page_band.height() ? page_band.pixelColor(0, y) : QColor(Qt::white);
        QColor solid = mix(ground, QColor(ink.red(), ink.green(), ink.blue()), ink.alphaF());
        out.setPixel(x, y, qRgba(solid.red(), solid.green(), solid.blue(), 255));
      }
    result.push_back(out);
  }
  return result;
}
