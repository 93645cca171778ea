#include "paint_kit.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

QImage blank_image(int width, int height)
{
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

void begin_smooth(QPainter& painter)
{
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
}

QPainterPath rounded_rect(const QRectF& rect, qreal radius)
{
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

namespace {

// One pass of a box blur along rows (horizontal) or columns, clamped at the edges.
void box_pass(std::vector<float>& plane, int width, int height, int radius, bool horizontal)
{
  const int count = horizontal ? height : width;
  const int length = horizontal ? width : height;
  std::vector<float> line(length);
  for (int i = 0; i < count; ++i) {
    auto at = [&](int k) -> float& {
      return horizontal ? plane[i * width + k] : plane[k * width + i];
    };
    for (int k = 0; k < length; ++k) {
      float sum = 0;
      for (int d = -radius; d <= radius; ++d)
        sum += (k + d >= 0 && k + d < length) ? at(k + d) : 0.0f;
      line[k] = sum / static_cast<float>(2 * radius + 1);
    }
    for (int k = 0; k < length; ++k)
      at(k) = line[k];
  }
}

}  // namespace

QImage soft_shadow(const QPainterPath& shape, QSize size, int radius, qreal dx, qreal dy,
                   const QColor& color)
{
  QImage mask(size, QImage::Format_Alpha8);
  mask.fill(0);
  {
    QPainter painter(&mask);
    begin_smooth(painter);
    painter.translate(dx, dy);
    painter.fillPath(shape, Qt::black);
  }
  std::vector<float> plane(static_cast<size_t>(size.width()) * size.height());
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      plane[y * size.width() + x] = mask.constScanLine(y)[x] / 255.0f;
  // Three box passes each way come close to a gaussian.
  if (radius > 0) {
    for (int pass = 0; pass < 3; ++pass) {
      box_pass(plane, size.width(), size.height(), radius, true);
      box_pass(plane, size.width(), size.height(), radius, false);
    }
  }
  QImage shadow = blank_image(size.width(), size.height());
  for (int y = 0; y < size.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(shadow.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      const int alpha = static_cast<int>(std::lround(plane[y * size.width() + x] * color.alpha()));
      row[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), alpha));
    }
  }
  return shadow;
}

QColor mix(const QColor& a, const QColor& b, qreal t)
{
  auto lerp = [t](int u, int v) { return static_cast<int>(std::lround(u + (v - u) * t)); };
  return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                lerp(a.alpha(), b.alpha()));
}

QColor with_alpha(const QColor& color, int alpha)
{
  QColor result = color;
  result.setAlpha(alpha);
  return result;
}

QFont pixel_font(const QString& family, int pixels, bool bold)
{
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

namespace {

std::vector<QString> wrap_lines(const QString& text, const QFont& font, qreal width, bool& fits)
{
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  std::vector<QString> lines;
  fits = true;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    if (line.naturalTextWidth() > width)
      fits = false;
    lines.push_back(text.mid(line.textStart(), line.textLength()).trimmed());
  }
  layout.endLayout();
  return lines;
}

}  // namespace

text_block fit_text(const QString& text, QFont font, qreal width, qreal height, int max_lines,
                    int min_pixels)
{
  for (;;) {
    bool fits = false;
    std::vector<QString> lines = wrap_lines(text, font, width, fits);
    // Lines closer than the font's own spacing: button labels are short, and
    // two lines must fit where one would.
    text_block block{font, std::move(lines), std::round(font.pixelSize() * 1.22),
                     std::ceil(QFontMetricsF(font).height())};
    block.fits = fits && static_cast<int>(block.lines.size()) <= max_lines && block.height() <= height;
    if (block.fits || font.pixelSize() <= min_pixels)
      return block;
    font.setPixelSize(font.pixelSize() - 1);
  }
}

void draw_text_block(QPainter& painter, const text_block& block, qreal left, qreal top, qreal width,
                     align alignment, bool right_to_left)
{
  Qt::Alignment flags = Qt::AlignAbsolute;
  flags |= alignment == align::left ? Qt::AlignLeft
           : alignment == align::right ? Qt::AlignRight
                                       : Qt::AlignHCenter;
  QTextOption option(flags);
  option.setTextDirection(right_to_left ? Qt::RightToLeft : Qt::LeftToRight);
  option.setWrapMode(QTextOption::NoWrap);
  qreal y = top;
  for (const QString& text : block.lines) {
    QTextLayout layout(text, block.font);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(width);
    layout.endLayout();
    layout.draw(&painter, QPointF(left, y));
    y += block.line_step;
  }
}

namespace {

bool is_opaque(const QImage& image)
{
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      if (qAlpha(row[x]) != 255)
        return false;
  }
  return true;
}

}  // namespace

bool save_png(const QImage& image, const QString& path)
{
  QDir().mkpath(QFileInfo(path).path());
  QImageWriter writer(path, "png");
  writer.setQuality(0);  // the PNG writer's strongest deflate level
  // Opaque images go out without an alpha channel: a quarter smaller.
  return writer.write(is_opaque(image) ? image.convertToFormat(QImage::Format_RGB32)
                                       : image.convertToFormat(QImage::Format_ARGB32));
}
