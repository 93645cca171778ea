#pragma once
// Small drawing helpers shared by every image of the set.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <vector>

class QPainter;

// A transparent ARGB image of the given size.
QImage blank_image(int width, int height);

// A painter set up for smooth vector drawing.
void begin_smooth(QPainter& painter);

QPainterPath rounded_rect(const QRectF& rect, qreal radius);

// A soft shadow of the shape: its alpha mask blurred by `radius` pixels,
// moved by (dx, dy) and tinted with `color` (whose alpha scales it).
QImage soft_shadow(const QPainterPath& shape, QSize size, int radius, qreal dx, qreal dy,
                   const QColor& color);

// Colour between a and b, t from 0 (a) to 1 (b).
QColor mix(const QColor& a, const QColor& b, qreal t);

QColor with_alpha(const QColor& color, int alpha);

// A font of the family at an exact pixel size.
QFont pixel_font(const QString& family, int pixels, bool bold);

// Text laid out in at most `max_lines` lines of at most `width` pixels and
// `height` pixels in all, the font shrunk from `font` down to `min_pixels`
// until it fits.
struct text_block {
  QFont font;
  std::vector<QString> lines;
  qreal line_step = 0;    // from one line's top to the next
  qreal line_height = 0;  // the font's ascent and descent
  bool fits = false;      // false when even `min_pixels` was too large
  qreal height() const { return line_step * static_cast<qreal>(lines.size() - 1) + line_height; }
};
text_block fit_text(const QString& text, QFont font, qreal width, qreal height, int max_lines,
                    int min_pixels);

// Draws the block's lines from `top`, each aligned left, right or centred
// inside [left, left + width] (right_to_left also sets the text direction).
enum class align { left, centre, right };
void draw_text_block(QPainter& painter, const text_block& block, qreal left, qreal top, qreal width,
                     align alignment, bool right_to_left);

// Writes a PNG at the strongest compression; false when it cannot be written.
bool save_png(const QImage& image, const QString& path);
