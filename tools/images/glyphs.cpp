#include "glyphs.h"

#include "paint_kit.h"
#include "theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace {

const QColor accent{255, 158, 38};
const QColor accent_dark{214, 112, 10};

// Every glyph is drawn in a 100 x 100 design square mapped onto the box.
class design_square {
public:
  design_square(QPainter& painter, const QRectF& box) : painter_(painter)
  {
    painter_.save();
    begin_smooth(painter_);
    painter_.translate(box.topLeft());
    painter_.scale(box.width() / 100.0, box.height() / 100.0);
  }
  ~design_square() { painter_.restore(); }
  design_square(const design_square&) = delete;
  design_square& operator=(const design_square&) = delete;

private:
  QPainter& painter_;
};

QPen round_pen(const QColor& color, qreal width)
{
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPointF on_circle(QPointF centre, qreal radius, qreal degrees)
{
  const qreal a = degrees * std::numbers::pi / 180.0;
  return {centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)};
}

// An arc running counter-clockwise from `from` over `span` degrees, ending in
// an arrow head, drawn with a stroke of `width`.
void draw_turn_arrow(QPainter& painter, QPointF centre, qreal radius, qreal from, qreal span,
                     qreal width, const QColor& color)
{
  QPainterPath arc;
  arc.arcMoveTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), from);
  arc.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), from, span);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  painter.drawPath(arc);

  const qreal end = (from + span) * std::numbers::pi / 180.0;
  const QPointF tip_base = on_circle(centre, radius, from + span);
  const QPointF along(-std::sin(end), -std::cos(end));   // direction of travel
  const QPointF outward(std::cos(end), -std::sin(end));  // away from the centre
  const qreal head = width * 1.25;
  QPolygonF arrow;
  arrow << tip_base + outward * head << tip_base + along * head * 1.5 << tip_base - outward * head;
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawPolygon(arrow);
}

void draw_page(QPainter& painter, const QRectF& page, tone look)
{
  const qreal fold = page.width() * 0.3;
  QPainterPath sheet;
  sheet.moveTo(page.topLeft());
  sheet.lineTo(page.right() - fold, page.top());
  sheet.lineTo(page.right(), page.top() + fold);
  sheet.lineTo(page.bottomRight());
  sheet.lineTo(page.bottomLeft());
  sheet.closeSubpath();
  QLinearGradient paper(page.topLeft(), page.bottomRight());
  paper.setColorAt(0, Qt::white);
  paper.setColorAt(1, look == tone::on_dark ? QColor(214, 232, 252) : theme::header);
  painter.setBrush(paper);
  painter.setPen(look == tone::on_dark ? QPen(Qt::NoPen) : round_pen(QColor(74, 132, 204), 3));
  painter.drawPath(sheet);

  QPainterPath corner;
  corner.moveTo(page.right() - fold, page.top());
  corner.lineTo(page.right() - fold, page.top() + fold);
  corner.lineTo(page.right(), page.top() + fold);
  corner.closeSubpath();
  painter.setBrush(look == tone::on_dark ? QColor(168, 204, 244) : QColor(178, 210, 248));
  painter.drawPath(corner);

  painter.setPen(round_pen(QColor(122, 172, 232), 4));
  const qreal left = page.left() + page.width() * 0.2;
  for (int i = 0; i < 3; ++i) {
    const qreal y = page.top() + page.height() * (0.36 + 0.15 * i);
    const qreal right = page.right() - page.width() * (i == 1 ? 0.34 : 0.2);
    painter.drawLine(QPointF(left, y), QPointF(right, y));
  }
}

void draw_badge(QPainter& painter, QPointF centre, qreal radius, const QColor& light,
                const QColor& dark)
{
  QLinearGradient fill(centre.x(), centre.y() - radius, centre.x(), centre.y() + radius);
  fill.setColorAt(0, light);
  fill.setColorAt(1, dark);
  painter.setPen(QPen(Qt::white, 3));
  painter.setBrush(fill);
  painter.drawEllipse(centre, radius, radius);
  draw_turn_arrow(painter, centre, radius * 0.52, 110, 250, radius * 0.24, Qt::white);
}

void draw_lens(QPainter& painter, QPointF centre, qreal radius, const QColor& rim,
               const QColor& glass)
{
  painter.setPen(Qt::NoPen);
  painter.setBrush(glass);
  painter.drawEllipse(centre, radius, radius);
  painter.setPen(QPen(rim, radius * 0.3));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(centre, radius, radius);
  painter.setPen(round_pen(with_alpha(Qt::white, 200), radius * 0.14));
  painter.drawArc(QRectF(centre.x() - radius * 0.62, centre.y() - radius * 0.62, radius * 1.24,
                         radius * 1.24),
                  100 * 16, 70 * 16);
}

void draw_handle(QPainter& painter, QPointF from, QPointF to, qreal width)
{
  painter.setPen(round_pen(accent_dark, width + 3));
  painter.drawLine(from, to);
  painter.setPen(round_pen(accent, width));
  painter.drawLine(from, to);
}

}  // namespace

void draw_emblem(QPainter& painter, const QRectF& box)
{
  design_square square(painter, box);
  const QPointF centre(50, 50);
  QRadialGradient platter(QPointF(38, 32), 70);
  platter.setColorAt(0, QColor(150, 206, 255));
  platter.setColorAt(0.55, QColor(64, 140, 222));
  platter.setColorAt(1, QColor(26, 82, 160));
  painter.setPen(QPen(QColor(20, 64, 128), 2.5));
  painter.setBrush(platter);
  painter.drawEllipse(centre, 46, 46);

  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(with_alpha(Qt::white, 46), 1.5));
  for (qreal r : {40.0, 22.0})
    painter.drawEllipse(centre, r, r);

  draw_turn_arrow(painter, centre, 31, 125, 265, 8.5, Qt::white);

  painter.setPen(QPen(QColor(20, 64, 128), 2));
  painter.setBrush(Qt::white);
  painter.drawEllipse(centre, 10, 10);
  painter.setBrush(QColor(38, 104, 186));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(centre, 4, 4);
}

void draw_emblem_ghost(QPainter& painter, const QRectF& box, const QColor& ink)
{
  design_square square(painter, box);
  const QPointF centre(50, 50);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(ink, 2.5));
  painter.drawEllipse(centre, 46, 46);
  painter.setPen(QPen(with_alpha(ink, ink.alpha() / 2), 1.5));
  for (qreal r : {40.0, 22.0})
    painter.drawEllipse(centre, r, r);
  draw_turn_arrow(painter, centre, 31, 125, 265, 8.5, ink);
  painter.setPen(QPen(ink, 2.5));
  painter.drawEllipse(centre, 10, 10);
}

void draw_deleted_file(QPainter& painter, const QRectF& box, tone look)
{
  design_square square(painter, box);
  draw_page(painter, QRectF(16, 6, 58, 80), look);
  draw_badge(painter, QPointF(70, 72), 23, accent, accent_dark);
}

void draw_partitions(QPainter& painter, const QRectF& box, tone look)
{
  design_square square(painter, box);
  const QRectF disc(8, 10, 80, 80);
  const QColor line = look == tone::on_dark ? theme::band_edge : QColor(36, 94, 170);
  struct wedge {
    int from, span;
    QColor color;
    qreal pull;  // the lost partition stands out from the disc
  };
  const wedge wedges[] = {
      {90, 150, look == tone::on_dark ? QColor(172, 214, 255) : theme::button_light, 0},
      {240, 75, look == tone::on_dark ? Qt::white : QColor(206, 230, 255), 0},
      {315, 135, accent, 8},
  };
  for (const wedge& w : wedges) {
    const qreal middle = (w.from + w.span / 2.0) * std::numbers::pi / 180.0;
    const QPointF shift(std::cos(middle) * w.pull, -std::sin(middle) * w.pull);
    QPainterPath slice;
    slice.moveTo(disc.center() + shift);
    slice.arcTo(disc.translated(shift), w.from, w.span);
    slice.closeSubpath();
    painter.setPen(QPen(line, 3, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(w.color);
    painter.drawPath(slice);
  }
}

void draw_deep_scan(QPainter& painter, const QRectF& box, tone look)
{
  design_square square(painter, box);
  const bool dark = look == tone::on_dark;
  // Rows of sectors behind the lens.
  painter.setPen(Qt::NoPen);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 5; ++col) {
      const bool lit = (row * 5 + col) % 3 == 0;
      painter.setBrush(dark ? with_alpha(Qt::white, lit ? 220 : 90)
                            : (lit ? theme::button_dark : QColor(178, 210, 248)));
      painter.drawRoundedRect(QRectF(6 + col * 15.5, 8 + row * 15.5, 12, 12), 2.5, 2.5);
    }
  draw_handle(painter, QPointF(64, 64), QPointF(88, 88), 11);
  draw_lens(painter, QPointF(46, 46), 25, dark ? Qt::white : QColor(36, 94, 170),
            dark ? QColor(255, 255, 255, 70) : QColor(232, 246, 255, 190));
}

void draw_drive(QPainter& painter, const QRectF& box)
{
  design_square square(painter, box);
  const QRectF body(4, 26, 92, 50);
  QLinearGradient metal(0, body.top(), 0, body.bottom());
  metal.setColorAt(0, QColor(246, 249, 253));
  metal.setColorAt(0.55, QColor(206, 216, 230));
  metal.setColorAt(1, QColor(150, 166, 188));
  painter.setPen(QPen(QColor(92, 110, 138), 4));
  painter.setBrush(metal);
  painter.drawRoundedRect(body, 12, 12);
  painter.setPen(QPen(QColor(120, 136, 160), 3));
  painter.drawLine(QPointF(12, 58), QPointF(88, 58));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(70, 200, 90));
  painter.drawEllipse(QPointF(80, 67), 5, 5);
  painter.setBrush(QColor(120, 136, 160));
  for (int i = 0; i < 4; ++i)
    painter.drawRoundedRect(QRectF(14 + i * 9, 63, 5, 8), 1.5, 1.5);
}

void draw_drive_search(QPainter& painter, const QRectF& box)
{
  draw_drive(painter, QRectF(box.left(), box.top() - box.height() * 0.12, box.width() * 0.9,
                             box.height() * 0.9));
  design_square square(painter, box);
  draw_handle(painter, QPointF(76, 78), QPointF(93, 95), 8);
  draw_lens(painter, QPointF(63, 64), 20, QColor(36, 94, 170), QColor(214, 236, 255, 170));
}

void draw_folder(QPainter& painter, const QRectF& box)
{
  design_square square(painter, box);
  const QColor edge(186, 124, 20);
  QPainterPath back;
  back.moveTo(6, 22);
  back.lineTo(6, 16);
  back.quadTo(6, 12, 10, 12);
  back.lineTo(36, 12);
  back.lineTo(44, 22);
  back.lineTo(90, 22);
  back.quadTo(94, 22, 94, 26);
  back.lineTo(94, 84);
  back.lineTo(6, 84);
  back.closeSubpath();
  painter.setPen(QPen(edge, 6, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  painter.setBrush(QColor(240, 184, 64));
  painter.drawPath(back);

  QLinearGradient front(0, 34, 0, 88);
  front.setColorAt(0, QColor(255, 226, 140));
  front.setColorAt(1, QColor(246, 192, 72));
  painter.setBrush(front);
  painter.drawRoundedRect(QRectF(6, 34, 88, 52), 4, 4);
}

void draw_saved_result(QPainter& painter, const QRectF& box)
{
  draw_folder(painter, QRectF(box.left(), box.top(), box.width() * 0.86, box.height() * 0.86));
  design_square square(painter, box);
  draw_badge(painter, QPointF(72, 72), 24, theme::button_light, theme::button_dark);
}
