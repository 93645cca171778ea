// The file table's header zones, the cell dates, the preview's decoding and
// where a destination folder counts as the scanned volume.
#include "pages/recovery_delegate.h"
#include "pages/recovery_destination.h"
#include "pages/recovery_models.h"
#include "pages/recovery_preview.h"
#include "pages/recovery_views.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>

namespace {

struct header_case {
    int x;
    int check_all; // -1: no check-all signal, else its value
    int sort;      // -1: no sort signal, else its column
};

class header_zones : public testing::TestWithParam<header_case> {};

TEST_P(header_zones, turn_clicks_into_requests)
{
    std::vector<recovery_item_s> rows(3);
    recovery_model_c model(&rows);
    MyQTableView table;
    auto* header = new MyHeaderView(Qt::Horizontal, &table);
    table.setHorizontalHeader(header);
    table.setModel(&model);
    table.resize(800, 200);
    for (auto [section, size] : {std::pair{0, 33}, {1, 235}, {2, 80}, {3, 90}, {4, 90}})
        header->resizeSection(section, size);
    table.show();
    QSignalSpy check_all(header, &MyHeaderView::check_all);
    QSignalSpy sort(header, &MyHeaderView::sort_column);

    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(GetParam().x, 5));

    if (GetParam().check_all < 0) {
        EXPECT_EQ(check_all.count(), 0);
    } else {
        ASSERT_EQ(check_all.count(), 1);
        EXPECT_EQ(check_all[0][0].toBool(), bool(GetParam().check_all));
        EXPECT_EQ(header->is_all_checked(), bool(GetParam().check_all));
    }
    if (GetParam().sort < 0) {
        EXPECT_EQ(sort.count(), 0);
    } else {
        ASSERT_EQ(sort.count(), 1);
        EXPECT_EQ(sort[0][0].toInt(), GetParam().sort);
    }
}

// Sections 33, 235, 80, 90, 90: borders at 33, 268, 348, 438 and 528.
INSTANTIATE_TEST_SUITE_P(x, header_zones,
                         testing::Values(header_case{0, 1, -1}, header_case{33, 1, -1},
                                         header_case{34, -1, 1}, header_case{267, -1, 1},
                                         header_case{268, -1, -1}, header_case{269, -1, 2},
                                         header_case{348, -1, -1}, header_case{400, -1, 3},
                                         header_case{438, -1, -1}, header_case{527, -1, 4},
                                         header_case{528, -1, -1}, header_case{700, -1, -1}));

TEST(header, box_toggles_and_reaches_a_narrowed_first_section)
{
    std::vector<recovery_item_s> rows(1);
    recovery_model_c model(&rows);
    MyQTableView table;
    auto* header = new MyHeaderView(Qt::Horizontal, &table);
    table.setHorizontalHeader(header);
    table.setModel(&model);
    table.resize(600, 100);
    table.show();
    header->resizeSection(0, 4); // down to the box's own width
    QSignalSpy check_all(header, &MyHeaderView::check_all);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(3, 5));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(1, 5));
    ASSERT_EQ(check_all.count(), 2);
    EXPECT_TRUE(check_all[0][0].toBool());
    EXPECT_FALSE(check_all[1][0].toBool());
    EXPECT_EQ(header->sizeHint().height(), 24);
}

TEST(cell_dates, local_dates_and_unrepresentable_ones)
{
    const char* old_tz = getenv("TZ");
    const std::string saved = old_tz ? old_tz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(local_date_text(0), "1970-01-01");
    EXPECT_EQ(local_date_text(1733875200), "2024-12-11");
    EXPECT_EQ(local_date_text(-86400), "1969-12-31");
    EXPECT_EQ(local_date_text(INT64_MAX), "");
    EXPECT_EQ(local_date_text(INT64_MIN), "");
    if (old_tz)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(cell_painting, survives_any_date)
{
    std::vector<recovery_item_s> rows(2);
    rows[0].date1 = INT64_MAX;
    rows[0].date2 = INT64_MIN;
    rows[1].checked = true;
    rows[1].name = "x.txt";
    recovery_model_c model(&rows);
    MyQTableView table;
    recovery_delegate_c delegate;
    table.setItemDelegate(&delegate);
    table.setModel(&model);
    table.resize(600, 200);
    EXPECT_FALSE(table.grab().isNull());
    table.setItemDelegate(nullptr);
}

TEST(preview, picture_names_by_their_last_four_characters)
{
    for (const char* name : {"a.bmp", "a.GIF", "b.jpg", "photo.JPEG", "c.png", "d.pbm", "e.pgm",
                             "f.ppm", "scan.TIFF", "g.xbm", "h.xpm"})
        EXPECT_TRUE(is_picture_name(name)) << name;
    for (const char* name : {"a.tif", "b.jpe", "gif", "c.txt", "png", "00000001.zip"})
        EXPECT_FALSE(is_picture_name(name)) << name;
}

TEST(preview, text_decoding)
{
    struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QByteArray("\xFF\xFEH\0i\0", 6), "Hi"},
        {QByteArray("\xFF\xFE" "A\0\0\0B\0", 8), "A"},
        {QByteArray("\xFF\xFE", 2), QString::fromLatin1("\xFF\xFE")},
        {QByteArray("H\0i\0", 4), "H"}, // UTF-16 without a mark: Latin-1 up to the zero
        {QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9", 8), QString::fromUtf8("caf\xC3\xA9")},
        {QByteArray("\xEF\xBB\xBF", 3), QString::fromLatin1("\xEF\xBB\xBF")},
        {QByteArray("caf\xE9\0rest", 9), QString::fromLatin1("caf\xE9")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(preview_text(c.bytes), c.text) << c.bytes.toHex().constData();
}

TEST(preview, reads_at_most_the_first_8192_bytes_and_survives_bad_pictures)
{
    test_support::scratch_dir dir;
    const QString text_file = QString::fromStdString(dir.file("long.txt"));
    QFile file(text_file);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(10000, 'a'));
    file.close();
    EXPECT_EQ(load_preview(text_file, "long.txt").text.size(), 8192);
    // Not a picture inside: loads as nothing, draws nothing.
    const preview_content bad = load_preview(text_file, "long.JPEG");
    EXPECT_TRUE(bad.picture);
    EXPECT_TRUE(bad.image.isNull());
    EXPECT_TRUE(load_preview(QString::fromStdString(dir.file("missing.txt")), "missing.txt")
                    .text.isEmpty());

    QImage canvas(583, 438, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const QImage before = canvas;
    QPainter painter(&canvas);
    draw_preview(painter, canvas.size(), bad);
    draw_preview(painter, QSize(300, 100), load_preview(text_file, "long.txt")); // area < 0
    painter.end();
    EXPECT_EQ(canvas, before);
}

TEST(preview, pictures_fill_the_area_height_centred)
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    preview_content content{true, picture, {}};
    QImage canvas(800, 600, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    draw_preview(painter, canvas.size(), content);
    painter.end();
    // A = 457, h = trunc(457 * 0.4 - 10) = 172, w = 344, x = (800 - 344 - 222) / 2 + 212 = 329.
    EXPECT_EQ(canvas.pixelColor(329, 84), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(329 + 343, 84 + 171), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(328, 100), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(329 + 344, 100), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(400, 84 + 172), QColor(Qt::white));
}

TEST(destination, on_the_volume_means_at_or_under_a_mount_path)
{
    test_support::scratch_dir dir;
    const QString root = QString::fromStdString(dir.path().string());
    for (const char* sub : {"vol/sub/deeper", "vol2", "other"})
        ASSERT_TRUE(QDir(root).mkpath(sub));
    volume_item_s volume;
    volume.mount_path = root + "/vol/";
    EXPECT_TRUE(folder_on_volume(root + "/vol", volume));
    EXPECT_TRUE(folder_on_volume(root + "/vol/sub/deeper", volume));
    EXPECT_TRUE(folder_on_volume(root + "/other/../vol/sub", volume));
    EXPECT_FALSE(folder_on_volume(root + "/vol2", volume));
    EXPECT_FALSE(folder_on_volume(root + "/other", volume));
    // An image volume's mount path names it; nothing lies under it.
    volume.mount_path = root + "/disk.img#1";
    EXPECT_FALSE(folder_on_volume(root + "/other", volume));
    volume.mount_path = "/";
    EXPECT_TRUE(folder_on_volume(root + "/other", volume));
}

} // namespace
