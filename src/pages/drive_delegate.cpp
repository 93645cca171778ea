#include "pages/drive_delegate.h"

#include "disk/drive_list.h"
#include "disk/format_size.h"
#include "i18n/language_table.h"
#include "pages/row_painting.h"

#include <QCoreApplication>
#include <QPainter>

namespace {

void paint_header(QPainter& painter, const QStyleOptionViewItem& option)
{
    const QRect& r = option.rect;
    const int w = r.width();
    painter.fillRect(r, header_fill);
    painter.setPen(column_line_pen());
    for (double share : {0.5, 0.85}) {
        const int x = r.left() + int(share * w);
        painter.drawLine(x, 0, x, r.top() + r.height());
    }
    painter.setFont(QFont(QStringLiteral("Verdana"), 10));
    painter.setPen(Qt::black);
    draw_row_text(painter, option, 60, lang_text("drive_physical_drives"));
    draw_row_text(painter, option, 0.5 * w + 70, QCoreApplication::translate("drive_delegate_c", "Size"));
    draw_row_text(painter, option, 0.85 * w + 15, QCoreApplication::translate("drive_delegate_c", "Number"));
}

void paint_disk(QPainter& painter, const QStyleOptionViewItem& option, const drive_item_s& drive, int row)
{
    const int w = option.rect.width();
    painter.setFont(QFont(QStringLiteral("Verdana"), 8));
    painter.setPen(Qt::black);
    draw_row_text(painter, option, 60, drive.path);
    draw_row_text(painter, option, 0.5 * w + 70, format_size(drive.size));
    draw_row_text(painter, option, 0.85 * w + 15, QString::number(row));
}

} // namespace

void drive_delegate_c::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const QVariant value = index.data();
    if (value.metaType() != QMetaType::fromType<drive_item_s>()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const auto drive = value.value<drive_item_s>();
    painter->save();
    fill_row_background(*painter, option, index.row());
    if (!drive.geometry)
        paint_header(*painter, option);
    else
        paint_disk(*painter, option, drive, index.row());
    painter->restore();
}

QSize drive_delegate_c::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), row_height);
}
