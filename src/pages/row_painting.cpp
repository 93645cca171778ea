#include "pages/row_painting.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

void fill_row_background(QPainter& painter, const QStyleOptionViewItem& option, int row)
{
    if (row % 2 == 0)
        painter.fillRect(option.rect, QColor(241, 250, 255));
    if (option.state & QStyle::State_Selected)
        painter.fillRect(option.rect, QColor(81, 149, 206));
}

QPen column_line_pen()
{
    return QPen(QBrush(QColor(211, 231, 255)), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

void draw_row_text(QPainter& painter, const QStyleOptionViewItem& option, double x, const QString& text)
{
    painter.drawText(QPoint(option.rect.left() + int(x), option.rect.top() + 20), text);
}
