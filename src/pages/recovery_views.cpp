#include "pages/recovery_views.h"

#include "i18n/language_table.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

void MyQTableView::keyPressEvent(QKeyEvent* event)
{
    const int row_before = currentIndex().row();
    QTableView::keyPressEvent(event);
    if (currentIndex().row() != row_before)
        emit clicked(currentIndex());
}

MyHeaderView::MyHeaderView(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent),
      unchecked_image(QStringLiteral(":/images/partition_search/check1.png")),
      checked_image(QStringLiteral(":/images/partition_search/check2.png"))
{
    // The style's minimum would widen the 33-pixel check column.
    setMinimumSectionSize(unchecked_image.width());
}

QSize MyHeaderView::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    size.setHeight(24);
    return size;
}

void MyHeaderView::mousePressEvent(QMouseEvent* event)
{
    // Zones by section sizes from the left edge in logical order; a click
    // exactly on a border asks for nothing.
    const int s0 = sectionSize(0);
    const int c1 = s0 + sectionSize(1);
    const int c2 = c1 + sectionSize(2);
    const int c3 = c2 + sectionSize(3);
    const int c4 = c3 + sectionSize(4);
    const int x = event->position().toPoint().x();
    if (x <= s0) {
        all_checked = !all_checked;
        emit check_all(all_checked);
    } else if (x < c1) {
        emit sort_column(1);
    } else if (c1 < x && x < c2) {
        emit sort_column(2);
    } else if (c2 < x && x < c3) {
        emit sort_column(3);
    } else if (c3 < x && x < c4) {
        emit sort_column(4);
    }
    update();
    QHeaderView::mousePressEvent(event);
}

void MyHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    const int x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    painter->fillRect(rect, QColor(232, 246, 255));
    painter->setPen(QPen(QColor(211, 231, 255), 1, Qt::SolidLine));
    painter->drawLine(x - 1, y, x - 1, y + h);
    painter->drawLine(x, y + h - 1, x + w, y + h - 1);
    painter->setFont(QFont(QStringLiteral("Arial"), 8));
    painter->setPen(Qt::black);
    switch (logicalIndex) {
    case 0: {
        const int side = unchecked_image.width();
        painter->drawPixmap(QRect(x + 10, y + 5, side, side),
                            all_checked ? checked_image : unchecked_image);
        break;
    }
    case 1: painter->drawText(x + 15, y + 14, lang_text("recovery_name")); break;
    case 2: painter->drawText(x + 15, y + 14, lang_text("drive_size")); break;
    case 3: painter->drawText(x + 10, y + 14, lang_text("recovery_date1")); break;
    case 4: painter->drawText(x + 10, y + 14, lang_text("recovery_date2")); break;
    }
}
