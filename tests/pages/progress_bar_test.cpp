// The partition page's progress bar, painted into an image.
#include "pages/progress_bar.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

TEST(ProgressBar, FillsFromTheLeftEdgeAndShowsTruncatedPercent)
{
    const QRect bar(120, 50, 450, 12);
    const QColor background(226, 240, 253);
    const QImage texture(QStringLiteral(":/images/partition_search/loding_on.png"));
    ASSERT_FALSE(texture.isNull());

    struct case_s {
        double value;
        int last_filled; // rightmost filled column
        const char* text;
    };
    const case_s cases[] = {
        {0.0, 120, "0%"},  // one column even at 0
        {0.5, 344, "50%"}, // 120 + trunc(449 * 0.5)
        {0.999, 568, "99%"},
        {1.0, 569, "100%"},
        {1.5, 569, "100%"}, // off the scale: the bar ends where it ends
        {-0.5, 120, "0%"},
    };
    for (const auto& c : cases) {
        progress_bar_c progress;
        progress.setup(QStringLiteral(":/images/partition_search/loding_on.png"), background);
        progress.set_value(c.value);
        EXPECT_EQ(progress.text(), QLatin1String(c.text)) << c.value;

        QImage image(700, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            // A tiny font keeps the percentage off the top row checked here.
            QFont font;
            font.setPixelSize(1);
            painter.setFont(font);
            progress.draw(painter, bar);
        }
        const int y = bar.top();
        const auto texture_at = [&](int x, int at_y) {
            return texture.pixelColor(x % texture.width(), at_y % texture.height());
        };
        EXPECT_EQ(image.pixelColor(bar.left(), y), texture_at(bar.left(), y)) << c.value;
        EXPECT_EQ(image.pixelColor(c.last_filled, y), texture_at(c.last_filled, y)) << c.value;
        const QColor after = c.last_filled < bar.right() ? background : QColor(Qt::white);
        EXPECT_EQ(image.pixelColor(c.last_filled + 1, y), after) << c.value;
        EXPECT_EQ(image.pixelColor(bar.right(), bar.bottom()),
                  c.last_filled == bar.right() ? texture_at(bar.right(), bar.bottom()) : background)
            << c.value;
    }
}
