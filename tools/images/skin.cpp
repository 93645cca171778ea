// The window's skin: a soft-shadowed frame cut into the four edge images,
// the system buttons that hang from its top edge, and the logo.

#include "glyphs.h"
#include "image_set.h"
#include "paint_kit.h"
#include "theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

// The frame is drawn whole at the size the edge images are cut from.
constexpr int skin_width = 800;
constexpr int band_height = 100;   // so.png
constexpr int side_height = 539;   // sl.png, sr.png
constexpr int bottom_height = 4;   // su.png
constexpr int side_width = 3;
constexpr int skin_height = band_height + side_height + bottom_height;

// The body lies 2 px in from the sides, 1 px from the top and 3 px from the
// bottom: the shadow falls as from a light above the window.
QImage whole_frame()
{
  const QRectF body(2, 1, skin_width - 4, skin_height - 4);
  const QPainterPath outline = rounded_rect(body, 5);
  QImage frame = soft_shadow(outline, QSize(skin_width, skin_height), 1, 0, 1,
                             with_alpha(theme::shadow, 120));
  QPainter painter(&frame);
  begin_smooth(painter);

  QLinearGradient fill(0, body.top(), 0, body.bottom());
  const qreal band_end = (band_height - body.top()) / body.height();
  fill.setColorAt(0, theme::band_top);
  fill.setColorAt(band_end - 0.0001, theme::band_bottom);
  fill.setColorAt(band_end, Qt::white);
  fill.setColorAt(1, Qt::white);
  painter.fillPath(outline, fill);

  // Glass sheen over the title strip.
  painter.save();
  painter.setClipPath(outline);
  QLinearGradient sheen(0, 1, 0, 26);
  sheen.setColorAt(0, with_alpha(Qt::white, 70));
  sheen.setColorAt(1, with_alpha(Qt::white, 0));
  painter.fillRect(QRectF(0, 1, skin_width, 25), sheen);
  painter.fillRect(QRectF(0, band_height - 2, skin_width, 1), with_alpha(theme::band_edge, 150));
  painter.fillRect(QRectF(0, band_height - 1, skin_width, 1), theme::border);
  painter.restore();

  QLinearGradient edge(0, body.top(), 0, body.bottom());
  edge.setColorAt(0, theme::band_edge);
  edge.setColorAt(band_end - 0.0001, theme::band_edge);
  edge.setColorAt(band_end, theme::border);
  edge.setColorAt(1, theme::border);
  painter.setPen(QPen(QBrush(edge), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(rounded_rect(body.adjusted(0.5, 0.5, -0.5, -0.5), 4.5));

  // The top row of the band catches the light.
  painter.setPen(QPen(with_alpha(Qt::white, 90), 1));
  painter.drawLine(QPointF(7, 2.5), QPointF(skin_width - 7, 2.5));
  return frame;
}

image_list edge_images()
{
  const QImage frame = whole_frame();
  const int right = skin_width - side_width;
  const int bottom = skin_height - bottom_height;
  // su.png: left corner, 4 columns of straight edge, right corner.
  QImage su = blank_image(10, bottom_height);
  {
    QPainter painter(&su);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, frame.copy(0, bottom, side_width, bottom_height));
    painter.drawImage(side_width, 0, frame.copy(skin_width / 2, bottom, 4, bottom_height));
    painter.drawImage(side_width + 4, 0, frame.copy(right, bottom, side_width, bottom_height));
  }
  return {
      {"system/so.png", frame.copy(0, 0, skin_width, band_height)},
      {"system/sl.png", frame.copy(0, band_height, side_width, side_height)},
      {"system/sr.png", frame.copy(right, band_height, side_width, side_height)},
      {"system/su.png", su},
  };
}

enum class glyph { close, maximize, restore, minimize, menu };

// Straight glyph strokes sit on whole pixels so they stay sharp at 1:1.
void draw_glyph(QPainter& painter, glyph kind, const QColor& color)
{
  painter.setBrush(Qt::NoBrush);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen pen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  painter.setPen(pen);
  switch (kind) {
  case glyph::close: {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color, 1.7, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(11, 6), QPointF(19, 14));
    painter.drawLine(QPointF(19, 6), QPointF(11, 14));
    break;
  }
  case glyph::maximize:
    painter.drawRect(10, 5, 9, 9);
    painter.drawLine(10, 6, 19, 6);
    break;
  case glyph::restore:
    // The back window shows only where the front one leaves it visible.
    painter.drawLine(12, 4, 19, 4);
    painter.drawLine(12, 5, 19, 5);
    painter.drawLine(19, 4, 19, 11);
    painter.drawLine(17, 11, 19, 11);
    painter.drawLine(12, 4, 12, 6);
    painter.drawRect(9, 8, 8, 7);
    painter.drawLine(9, 9, 17, 9);
    break;
  case glyph::minimize:
    painter.fillRect(10, 12, 10, 2, color);
    break;
  case glyph::menu:
    for (int y : {6, 10, 14})
      painter.fillRect(10, y, 10, 2, color);
    break;
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
}

// States 1 normal, 2 hover, 3 pressed. The close button turns red.
QImage system_button(glyph kind, int state)
{
  QImage image = blank_image(30, 21);
  QPainter painter(&image);
  begin_smooth(painter);
  const bool close = kind == glyph::close;
  if (state > 1) {
    QPainterPath tab;
    tab.addRoundedRect(QRectF(0.5, -4, 29, 24.5), 3, 3);
    QLinearGradient fill(0, 0, 0, 21);
    if (close) {
      fill.setColorAt(0, state == 2 ? QColor(240, 104, 92) : QColor(178, 40, 32));
      fill.setColorAt(1, state == 2 ? QColor(206, 46, 36) : QColor(150, 28, 22));
    } else {
      fill.setColorAt(0, state == 2 ? with_alpha(Qt::white, 86) : with_alpha(theme::shadow, 110));
      fill.setColorAt(1, state == 2 ? with_alpha(Qt::white, 40) : with_alpha(theme::shadow, 70));
    }
    painter.fillPath(tab, fill);
    painter.setPen(QPen(state == 2 ? with_alpha(Qt::white, 110) : with_alpha(theme::shadow, 90), 1));
    painter.drawPath(tab);
  }
  const int drop = state == 3 ? 1 : 0;
  painter.translate(0, drop);
  if (state == 1) {
    painter.save();
    painter.translate(0, 1);
    draw_glyph(painter, kind, with_alpha(theme::shadow, 90));
    painter.restore();
  }
  draw_glyph(painter, kind, with_alpha(Qt::white, state == 1 ? 235 : 255));
  return image;
}

image_list system_buttons()
{
  const struct {
    const char* name;
    glyph kind;
  } buttons[] = {
      {"quiButton", glyph::close},     {"maxButton", glyph::maximize},
      {"resumeButton", glyph::restore}, {"minButton", glyph::minimize},
      {"settingButton", glyph::menu},
  };
  image_list images;
  for (const auto& button : buttons)
    for (int state = 1; state <= 3; ++state)
      images.push_back({QString("system/%1%2.png").arg(button.name).arg(state),
                        system_button(button.kind, state)});
  return images;
}

// The emblem over a soft glow, the product name under it.
QImage logo()
{
  QImage image = blank_image(107, 77);
  QPainter painter(&image);
  begin_smooth(painter);
  // The glow fades out before the image's edges, so no edge shows on the band.
  QRadialGradient glow(QPointF(53.5, 38.5), 38);
  glow.setColorAt(0, with_alpha(Qt::white, 60));
  glow.setColorAt(1, with_alpha(Qt::white, 0));
  painter.fillRect(image.rect(), glow);

  const QRectF emblem(34.5, 2, 38, 38);
  painter.drawImage(QPointF(0, 1), soft_shadow(rounded_rect(emblem, 19), image.size(), 2, 0, 1,
                                               with_alpha(theme::shadow, 110)));
  draw_emblem(painter, emblem);

  const text_block name = fit_text("Zorvane", pixel_font("Noto Sans", 17, true), 103, 30, 1, 12);
  painter.setPen(with_alpha(theme::shadow, 120));
  draw_text_block(painter, name, 2, 41 + 1, 103, align::centre, false);
  painter.setPen(Qt::white);
  draw_text_block(painter, name, 2, 41, 103, align::centre, false);

  const text_block tag = fit_text("DATA RECOVERY", pixel_font("Noto Sans", 8, true), 103, 14, 1, 7);
  painter.setPen(QColor(206, 232, 255));
  QFont spaced = tag.font;
  spaced.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  draw_text_block(painter, text_block{spaced, tag.lines, tag.line_step, tag.line_height}, 2, 60, 103,
                  align::centre, false);
  return image;
}

}  // namespace

image_list skin_images()
{
  image_list images = edge_images();
  for (named_image& button : system_buttons())
    images.push_back(std::move(button));
  images.push_back({"top/logo.png", logo()});
  return images;
}

std::vector<QImage> window_icon_sizes()
{
  std::vector<QImage> sizes;
  for (int side : {32, 16, 24, 48, 64}) {
    QImage image = blank_image(side, side);
    QPainter painter(&image);
    begin_smooth(painter);
    const qreal inset = side <= 16 ? 0.0 : side / 32.0;
    draw_emblem(painter, QRectF(inset, inset, side - 2 * inset, side - 2 * inset));
    painter.end();
    sizes.push_back(image);
  }
  return sizes;
}
