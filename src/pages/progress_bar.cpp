#include "pages/progress_bar.h"

#include <QPainter>
#include <QRect>

#include <algorithm>

void progress_bar_c::setup(const QString& image_path, const QColor& background)
{
    image_ = QPixmap(image_path);
    brush_.setTexture(image_);
    background_ = background;
    value_ = 0.0;
}

namespace {

// A value off the scale would paint beyond the bar.
double on_scale(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

} // namespace

QString progress_bar_c::text() const
{
    return QString::asprintf("%d%%", int(on_scale(value_) * 100));
}

void progress_bar_c::draw(QPainter& painter, const QRect& rect) const
{
    const double v = on_scale(value_);
    painter.fillRect(rect, background_);
    const int fill_right = rect.left() + int((rect.right() - rect.left()) * v);
    painter.fillRect(QRect(rect.topLeft(), QPoint(fill_right, rect.bottom())), brush_);
    painter.save();
    painter.setPen(Qt::black);
    painter.drawText(rect, Qt::AlignHCenter | Qt::AlignVCenter, text());
    painter.restore();
}
