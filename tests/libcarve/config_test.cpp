// The configuration text: types on or off, size limits, "*" for all, and
// malformed lines ignored.
#include "libcarve/config.h"

#include <gtest/gtest.h>

using libcarve::config;

TEST(config, lines_set_types_and_limits_in_order)
{
    struct row {
        const char* text;
        const char* type;
        bool enabled;
        uint64_t min, max;
        int malformed;
    };
    const row rows[] = {
        {"", "jpg", true, 1, 0, 0},
        {"jpg off\n", "jpg", false, 1, 0, 0},
        {"jpg off\n", "png", true, 1, 0, 0},
        {"jpg off\njpg on\n", "jpg", true, 1, 0, 0},
        {"mp4 max 2G\r\nmp4 min 4K\r\n", "mp4", true, 4096, 2ULL << 30, 0},
        {"  gz   max 10m   # comment\n", "gz", true, 1, 10ULL << 20, 0},
        {"* off\npdf on\n", "pdf", true, 1, 0, 0},
        {"* off\npdf on\n", "zip", false, 1, 0, 0},
        {"jpg off\n* max 100\n", "jpg", false, 1, 100, 0},
        {"jpg maybe\njpg max\njpg max -1\njpg max 12Q\njpg max 99999999999999999999\njpg\n", "jpg", true, 1, 0, 6},
        {"jpg max 20000000000G\n", "jpg", true, 1, 0, 1},
        {"# only a comment\n\n\t\n", "jpg", true, 1, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.text);
        config c;
        EXPECT_EQ(c.parse(r.text), r.malformed);
        const libcarve::type_limits l = c.limits(r.type);
        EXPECT_EQ(l.enabled, r.enabled);
        EXPECT_EQ(l.min_size, r.min);
        EXPECT_EQ(l.max_size, r.max);
    }
}
