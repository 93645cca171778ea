#include "pages/volume_delegate.h"

#include "disk/format_size.h"
#include "disk/volume_list.h"
#include "i18n/language_table.h"
#include "pages/row_painting.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

void draw_column_lines(QPainter& painter, const QRect& r, int top)
{
    painter.setPen(column_line_pen());
    for (double share : {0.32, 0.85}) {
        const int x = r.left() + int(share * r.width());
        painter.drawLine(x, top, x, r.top() + r.height());
    }
}

void paint_header(QPainter& painter, const QStyleOptionViewItem& option)
{
    const int w = option.rect.width();
    painter.fillRect(option.rect, header_fill);
    draw_column_lines(painter, option.rect, 0);
    painter.setFont(QFont(QStringLiteral("Arial"), 10));
    painter.setPen(Qt::black);
    draw_row_text(painter, option, 60, lang_text("volume_logical_drives"));
    draw_row_text(painter, option, 0.32 * w + 165, lang_text("drive_size"));
    draw_row_text(painter, option, 0.85 * w + 15, lang_text("partition_fs"));
}

QString volume_title(const volume_item_s& volume)
{
    const QString name = volume.label.isEmpty() ? lang_text("local_disk") : volume.label;
    QString path = volume.mount_path;
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return name + QStringLiteral(" (") + path + QStringLiteral(")");
}

// The used share of the volume, red when little room is left.
void fill_usage_bar(QPainter& painter, const QRect& r, const volume_item_s& volume, int bar_width)
{
    if (volume.total_bytes == 0)
        return;
    const float free_share = std::clamp(float(double(volume.free_bytes) / double(volume.total_bytes)), 0.0f, 1.0f);
    const QPixmap red(QStringLiteral(":/images/partition_search/red.png"));
    const QPixmap fill = free_share <= 0.2f ? red : QPixmap(QStringLiteral(":/images/partition_search/green.png"));
    const int y = r.top();
    const int width = int((1 - free_share) * bar_width - 2);
    if (width <= 0)
        return;
    painter.setBrushOrigin(0, y + 6);
    painter.fillRect(QRect(r.left() + int(0.32 * r.width()) + 11, y + 6, width, red.height() + 1), QBrush(fill));
}

void paint_volume(QPainter& painter, const QStyleOptionViewItem& option, const volume_item_s& volume)
{
    const QRect& r = option.rect;
    const int w = r.width();
    const int y = r.top();
    draw_column_lines(painter, r, y);
    painter.drawPixmap(r.left() + 20, y + 5, QPixmap(QStringLiteral(":/images/partition_search/drives.png")));

    painter.setFont(QFont(QStringLiteral("Arial"), 8));
    painter.setPen(Qt::black);
    draw_row_text(painter, option, 45, volume_title(volume));

    const int bar_width = int(0.53 * w - 170);
    painter.setPen(QColor(139, 184, 241));
    painter.drawRect(r.left() + int(0.32 * w) + 10, y + 5, bar_width, 20);

    painter.setPen(Qt::black);
    draw_row_text(painter, option, int(0.32 * w) + bar_width + 20,
                  format_size(volume.free_bytes) + lang_text("recovery_free") + format_size(volume.total_bytes));
    draw_row_text(painter, option, 0.85 * w + 20, volume.file_system);

    fill_usage_bar(painter, r, volume, bar_width);
}

} // namespace

void volume_delegate_c::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const QVariant value = index.data();
    if (value.metaType() != QMetaType::fromType<volume_item_s>()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const auto volume = value.value<volume_item_s>();
    painter->save();
    fill_row_background(*painter, option, index.row());
    if (volume.mount_path.isEmpty())
        paint_header(*painter, option);
    else
        paint_volume(*painter, option, volume);
    painter->restore();
}

QSize volume_delegate_c::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), row_height);
}
