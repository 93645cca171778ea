// Pixels of the list rows as the delegates paint them.
#include "pages/drive_delegate.h"
#include "pages/drive_model.h"
#include "pages/volume_delegate.h"
#include "pages/volume_model.h"

#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

constexpr int row_width = 800;
constexpr int row_h = 30;

const QColor white(255, 255, 255);
const QColor stripe(241, 250, 255);
const QColor selected(81, 149, 206);
const QColor header(232, 246, 255);

// Paints every row of `model` into one image, rows one under the other.
QImage paint_rows(const QAbstractItemModel& model, QStyledItemDelegate& delegate,
                  std::optional<int> selected_row = std::nullopt)
{
    QImage image(row_width, row_h * model.rowCount(), QImage::Format_RGB32);
    image.fill(white);
    QPainter painter(&image);
    for (int row = 0; row < model.rowCount(); ++row) {
        QStyleOptionViewItem option;
        option.rect = QRect(0, row * row_h, row_width, row_h);
        option.state = QStyle::State_Enabled;
        if (selected_row == row)
            option.state |= QStyle::State_Selected;
        delegate.paint(&painter, option, model.index(row, 0));
    }
    return image;
}

QList<drive_item_s> header_and_disks(int disks)
{
    QList<drive_item_s> list{drive_item_s{}};
    for (int i = 0; i < disks; ++i)
        list.append({QStringLiteral("\\\\.\\PhysicalDrive%1").arg(i), 500107862016ull,
                     std::make_shared<platform::disk_geometry>()});
    return list;
}

} // namespace

TEST(DriveDelegate, StripesEvenRowsAndMarksTheSelectedOne)
{
    struct case_s {
        std::optional<int> selected_row;
        QColor rows[4];
    };
    const case_s cases[] = {
        {std::nullopt, {header, white, stripe, white}},
        {1, {header, selected, stripe, white}},
        {2, {header, white, selected, white}},
        {0, {header, white, stripe, white}}, // the header's own fill covers the selection
    };
    const QList<drive_item_s> list = header_and_disks(3);
    drive_model_c model(list);
    drive_delegate_c delegate;
    for (const auto& c : cases) {
        const QImage image = paint_rows(model, delegate, c.selected_row);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(image.pixelColor(3, row * row_h + 2), c.rows[row])
                << "row " << row << " selected " << c.selected_row.value_or(-1);
    }
}

TEST(DriveDelegate, HeaderRowHasItsColumnLines)
{
    const QList<drive_item_s> list = header_and_disks(1);
    drive_model_c model(list);
    drive_delegate_c delegate;
    const QImage image = paint_rows(model, delegate);
    const QColor line(211, 231, 255);
    EXPECT_EQ(image.pixelColor(400, 2), line);
    EXPECT_EQ(image.pixelColor(680, 2), line);
    EXPECT_EQ(image.pixelColor(401, 2), header);
    // Disk rows have none.
    EXPECT_EQ(image.pixelColor(400, row_h + 2), white);
}

TEST(VolumeDelegate, FillsTheUsedShareOfTheBar)
{
    // At 800 pixels the bar is trunc(0.53 * 800 - 170) = 254 wide and its
    // filling starts at trunc(0.32 * 800) + 11.
    constexpr int bar_width = 254;
    constexpr int fill_left = 267;
    const QImage red(QStringLiteral(":/images/partition_search/red.png"));
    const QImage green(QStringLiteral(":/images/partition_search/green.png"));
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(green.isNull());

    struct case_s {
        uint64_t free_bytes;
        uint64_t total_bytes;
        const QImage* fill; // null: no filling at all
        int fill_width;
    };
    const case_s cases[] = {
        {10, 100, &red, int(0.9f * bar_width - 2)},
        {50, 100, &green, bar_width / 2 - 2},
        {20, 100, &red, int(0.8f * bar_width - 2)},   // exactly 20 % free is still red
        {21, 100, &green, int(0.79f * bar_width - 2)},
        {0, 100, &red, bar_width - 2},
        {100, 100, nullptr, 0},
        {5, 0, nullptr, 0},                            // no size: the outline only
        {200, 100, nullptr, 0},                        // more free than total
    };
    for (const auto& c : cases) {
        // Row 1 of the list: not striped, so its background is white.
        const QList<volume_item_s> list{
            volume_item_s{},
            {"\\Device\\HarddiskVolume1", "\\\\?\\Volume{1}\\", "", "FAT32", "D:\\", c.total_bytes, c.free_bytes}};
        volume_model_c model(list);
        volume_delegate_c delegate;
        const QImage image = paint_rows(model, delegate);
        const int y = row_h + 6;
        const auto texture_at = [&](int x) { return c.fill->pixelColor(x % c.fill->width(), 0); };
        const std::string at = std::to_string(c.free_bytes) + "/" + std::to_string(c.total_bytes);
        if (c.fill) {
            EXPECT_EQ(image.pixelColor(fill_left, y), texture_at(fill_left)) << at;
            EXPECT_EQ(image.pixelColor(fill_left + c.fill_width - 1, y), texture_at(fill_left + c.fill_width - 1))
                << at;
            EXPECT_EQ(image.pixelColor(fill_left + c.fill_width, y), white) << at;
            // One row taller than the image: the last row repeats its first.
            EXPECT_EQ(image.pixelColor(fill_left, y + red.height()), texture_at(fill_left)) << at;
        } else {
            for (int x = fill_left; x < fill_left + bar_width - 2; x += 7)
                ASSERT_EQ(image.pixelColor(x, y), white) << at << " x " << x;
        }
        // The outline is there in every case.
        EXPECT_EQ(image.pixelColor(fill_left - 1, y + 5), QColor(139, 184, 241)) << at;
    }
}
