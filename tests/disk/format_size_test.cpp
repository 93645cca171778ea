#include "disk/format_size.h"

#include <gtest/gtest.h>

TEST(format_size, thresholds_are_strict_powers_of_two)
{
    const std::pair<uint64_t, const char*> rows[] = {
        {0, "0B"},
        {1024, "1024B"},
        {1025, "1.00K"},
        {1048576, "1024.00K"},
        {1048577, "1.00M"},
        {1073741824, "1024.00M"},
        {1073741825, "1.00G"},
        {1610612736, "1.50G"},
        {8422686720ULL, "7.84G"},
        {1536 * 1024 + 1, "1.50M"},
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(format_size(bytes), QString(text)) << bytes;
}
