// The buttons that carry words: the three title-bar page buttons and the two
// large home-page buttons, for every language.

#include "glyphs.h"
#include "image_set.h"
#include "labels.h"
#include "paint_kit.h"
#include "theme.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

using glyph_painter = void (*)(QPainter&, const QRectF&, tone);

// 95 x 70, drawn on the blue title band: a white pictogram over its label;
// hover lights a glass tile behind them, pressed sinks it.
QImage top_button(glyph_painter draw, const QString& label, const language_labels& language, int state)
{
  QImage image = blank_image(95, 70);
  QPainter painter(&image);
  begin_smooth(painter);
  if (state > 1) {
    const QRectF tile(1.5, 1.5, 92, 67);
    QLinearGradient fill(0, 0, 0, 70);
    if (state == 2) {
      fill.setColorAt(0, with_alpha(Qt::white, 78));
      fill.setColorAt(1, with_alpha(Qt::white, 26));
    } else {
      fill.setColorAt(0, with_alpha(theme::shadow, 120));
      fill.setColorAt(1, with_alpha(theme::shadow, 60));
    }
    painter.setPen(QPen(state == 2 ? with_alpha(Qt::white, 120) : with_alpha(theme::shadow, 110), 1));
    painter.setBrush(fill);
    painter.drawPath(rounded_rect(tile, 6));
  }
  painter.translate(0, state == 3 ? 1 : 0);
  const QRectF glyph_box(29.5, 5, 36, 36);
  painter.drawImage(0, 0, soft_shadow(rounded_rect(glyph_box.adjusted(4, 4, -4, -4), 8), image.size(),
                                      2, 0, 1.5, with_alpha(theme::shadow, 90)));
  draw(painter, glyph_box, tone::on_dark);

  const text_block text =
      fit_text(label, pixel_font(language.family, 12, true), 89, 29, 2, 10);
  const qreal top = 40 + (29 - text.height()) / 2;
  painter.setPen(with_alpha(theme::shadow, 150));
  draw_text_block(painter, text, 3, top + 1, 89, align::centre, language.right_to_left);
  painter.setPen(Qt::white);
  draw_text_block(painter, text, 3, top, 89, align::centre, language.right_to_left);
  return image;
}

// A pointer in a ring, towards the reading direction's end of the button.
void draw_chevron(QPainter& painter, QPointF centre, bool lit, bool points_left)
{
  painter.setPen(QPen(lit ? theme::button_edge : theme::border, 1.2));
  painter.setBrush(lit ? theme::button_dark : QColor(Qt::white));
  painter.drawEllipse(centre, 11, 11);
  const qreal d = points_left ? -1 : 1;
  QPolygonF arrow;
  arrow << centre + QPointF(-3 * d, -5) << centre + QPointF(3 * d, 0) << centre + QPointF(-3 * d, 5);
  painter.setPen(QPen(lit ? QColor(Qt::white) : theme::button_dark, 2.2, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(arrow);
}

// A light card with a pictogram, a title and a one-line explanation,
// mirrored for right-to-left languages.
QImage home_button(int width, void (*draw)(QPainter&, const QRectF&), const QString& title,
                   const QString& note, const language_labels& language, int state)
{
  constexpr int height = 106;
  QImage image = blank_image(width, height);
  QPainter painter(&image);
  begin_smooth(painter);
  const QRectF card(3.5, 2.5, width - 7, height - 8);
  painter.drawImage(0, 0, soft_shadow(rounded_rect(card, 9), image.size(), state == 2 ? 3 : 2, 0,
                                      state == 3 ? 1 : 2,
                                      with_alpha(theme::shadow, state == 2 ? 90 : 60)));
  QLinearGradient fill(0, card.top(), 0, card.bottom());
  switch (state) {
  case 1:
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, theme::header);
    break;
  case 2:
    fill.setColorAt(0, QColor(248, 252, 255));
    fill.setColorAt(1, QColor(212, 234, 255));
    break;
  default:
    fill.setColorAt(0, QColor(206, 228, 252));
    fill.setColorAt(1, QColor(232, 246, 255));
    break;
  }
  painter.setPen(QPen(state == 1 ? theme::border : theme::selection, state == 1 ? 1 : 1.4));
  painter.setBrush(fill);
  painter.drawPath(rounded_rect(card, 9));
  painter.translate(0, state == 3 ? 1 : 0);

  const bool rtl = language.right_to_left;
  const qreal icon_side = 64;
  const qreal icon_left = rtl ? width - 18 - icon_side : 18;
  draw(painter, QRectF(icon_left, (height - 4 - icon_side) / 2, icon_side, icon_side));
  const QPointF chevron(rtl ? 26 : width - 26, (height - 4) / 2.0);
  draw_chevron(painter, chevron, state > 1, rtl);

  const qreal text_left = rtl ? 46 : 96;
  const qreal text_width = width - 96 - 46;
  // A title keeps to one line while it can at a size that still reads as a title.
  text_block heading = fit_text(title, pixel_font(language.family, 20, true), text_width, 40, 1, 16);
  if (!heading.fits)
    heading = fit_text(title, pixel_font(language.family, 18, true), text_width, 56, 2, 13);
  const text_block detail = fit_text(note, pixel_font(language.family, 12, false), text_width, 40, 2, 10);
  constexpr qreal gap = 5;
  const qreal heading_span = heading.line_step * static_cast<qreal>(heading.lines.size());
  const qreal top = (height - 4 - heading_span - gap - detail.height()) / 2;
  const align side = rtl ? align::right : align::left;
  painter.setPen(theme::title_text);
  draw_text_block(painter, heading, text_left, top, text_width, side, rtl);
  painter.setPen(theme::note_text);
  draw_text_block(painter, detail, text_left, top + heading_span + gap, text_width, side, rtl);
  return image;
}

image_list buttons_of(const language_labels& language, const QString& folder, bool with_top)
{
  const glyph_painter top_glyphs[3] = {draw_deleted_file, draw_partitions, draw_deep_scan};
  image_list images;
  for (int state = 1; state <= 3; ++state) {
    if (with_top)
      for (int n = 0; n < 3; ++n)
        images.push_back({QString("%1/btn_top%2%3.png").arg(folder).arg(n + 1).arg(state),
                          top_button(top_glyphs[n], QString::fromUtf8(language.top[n]), language, state)});
    images.push_back({QString("%1/btn_start_scan%2.png").arg(folder).arg(state),
                      home_button(330, draw_drive_search, QString::fromUtf8(language.scan_title),
                                  QString::fromUtf8(language.scan_note), language, state)});
    images.push_back({QString("%1/btn_resume_recovery%2.png").arg(folder).arg(state),
                      home_button(323, draw_saved_result, QString::fromUtf8(language.resume_title),
                                  QString::fromUtf8(language.resume_note), language, state)});
  }
  return images;
}

}  // namespace

image_list language_images()
{
  image_list images;
  for (const language_labels& language : all_languages())
    for (named_image& image : buttons_of(language, QString("multilang/%1").arg(language.code), true))
      images.push_back(std::move(image));
  // The home form's own defaults, replaced at start by the current language's.
  const language_labels& english = all_languages().front();
  for (named_image& image : buttons_of(english, "home", false)) {
    image.path.replace("btn_start_scan", "buttonscan").replace("btn_resume_recovery", "buttonrecovery");
    images.push_back(std::move(image));
  }
  return images;
}
