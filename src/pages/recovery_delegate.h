// Draws every cell of the recovery page's file table from the whole row record.
#pragma once

#include <QPixmap>
#include <QString>
#include <QStyledItemDelegate>

#include <cstdint>

// The local date "%Y-%m-%d" of seconds since 1970; empty when the local-time
// conversion cannot represent it.
QString local_date_text(int64_t seconds);

class recovery_delegate_c : public QStyledItemDelegate {
    Q_OBJECT
public:
    recovery_delegate_c();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QPixmap unchecked_image;
    QPixmap checked_image;
};
