#include "pages/recovery_delegate.h"

#include "disk/format_size.h"
#include "recovery/recovery_item.h"

#include <QPainter>

#include <ctime>

QString local_date_text(int64_t seconds)
{
    const time_t time = time_t(seconds);
    if (int64_t(time) != seconds)
        return {};
    tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char buffer[32];
    if (strftime(buffer, sizeof buffer, "%Y-%m-%d", &local) == 0)
        return {};
    return QString::fromLatin1(buffer);
}

recovery_delegate_c::recovery_delegate_c()
    : unchecked_image(QStringLiteral(":/images/partition_search/check1.png")),
      checked_image(QStringLiteral(":/images/partition_search/check2.png"))
{
}

void recovery_delegate_c::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<recovery_item_s>()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const recovery_item_s item = value.value<recovery_item_s>();
    const QRect& rect = option.rect;
    if (index.row() % 2 == 0)
        painter->fillRect(rect, QColor(241, 250, 255));
    if (option.state & QStyle::State_Selected)
        painter->fillRect(rect, QColor(81, 149, 206));
    painter->setFont(QFont(QStringLiteral("Segoe UI Symbol"), 8));
    const QRect text_rect = rect.adjusted(10, 0, 0, 0);
    const int alignment = Qt::AlignJustify | Qt::AlignVCenter;
    switch (index.column()) {
    case 0: {
        const int side = unchecked_image.width();
        painter->drawPixmap(QRect(rect.x() + 10, rect.y() + 10, side, side),
                            item.checked ? checked_image : unchecked_image);
        break;
    }
    case 1: painter->drawText(text_rect, alignment, item.name); break;
    case 2: painter->drawText(text_rect, alignment, format_size(item.size)); break;
    case 3: painter->drawText(text_rect, alignment, local_date_text(item.date1)); break;
    case 4: painter->drawText(text_rect, alignment, local_date_text(item.date2)); break;
    }
}
