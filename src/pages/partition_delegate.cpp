#include "pages/partition_delegate.h"

#include "disk/format_size.h"
#include "pages/row_painting.h"
#include "partition/partition_item.h"

#include <QPainter>

namespace {

uint64_t partition_bytes(const partition_item_s& partition)
{
    if (partition.end_sector < partition.start_sector)
        return 0;
    return (partition.end_sector - partition.start_sector + 1) * 512;
}

} // namespace

void partition_delegate_c::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    const QVariant value = index.data();
    if (value.metaType() != QMetaType::fromType<partition_item_s>()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const auto partition = value.value<partition_item_s>();
    const int w = option.rect.width();
    painter->save();
    fill_row_background(*painter, option, index.row());
    painter->setFont(QFont(QStringLiteral("Verdana"), 8));
    painter->setPen(Qt::black);
    draw_row_text(*painter, option, 15, QString::number(index.row()));
    draw_row_text(*painter, option, 0.2 * w + 15, partition.file_system);
    draw_row_text(*painter, option, 0.4 * w + 15, QString::number(partition.start_sector));
    draw_row_text(*painter, option, 0.6 * w + 15, QString::number(partition.end_sector));
    draw_row_text(*painter, option, 0.8 * w + 15, format_size(partition_bytes(partition)));
    painter->restore();
}

QSize partition_delegate_c::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), row_height);
}
