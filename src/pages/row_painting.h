// What the three list delegates paint alike.
#pragma once

#include <QColor>
#include <QPen>
#include <QString>

class QPainter;
class QStyleOptionViewItem;

// Every list row is this tall.
constexpr int row_height = 30;

// The stripe of even rows, then the selection over it.
void fill_row_background(QPainter& painter, const QStyleOptionViewItem& option, int row);

// The light blue of the column-header row and of the column lines.
inline const QColor header_fill(232, 246, 255);
QPen column_line_pen();

// Text whose baseline lies 20 pixels below the row's top.
void draw_row_text(QPainter& painter, const QStyleOptionViewItem& option, double x, const QString& text);
