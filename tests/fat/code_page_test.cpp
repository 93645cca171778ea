#include "recovery/fat/code_page.h"
#include "recovery/fat/gbk_tables.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, KnownCodesConvertBothWays)
{
    struct row {
        uint16_t gbk;
        char16_t unicode;
    };
    const row rows[] = {
        {0x41, u'A'},      {0x7F, 0x7F},       {0x80, 0x20AC},     {0xB0A1, 0x554A},
        {0xD6D0, 0x4E2D},  {0xCEC4, 0x6587},   {0xA1A1, 0x3000},   {0xA3C1, 0xFF21},
        {0xA8A4, 0x00E0},  {0x8140, 0x4E02},   {0xFE4F, 0xFA29},
    };
    for (const row& r : rows) {
        EXPECT_EQ(gbk_to_unicode(r.gbk), r.unicode) << std::hex << r.gbk;
        EXPECT_EQ(unicode_to_gbk(r.unicode), r.gbk) << std::hex << unsigned(r.unicode);
    }
}

TEST(CodePage, CodesOutsideTheMappingGiveZero)
{
    for (uint16_t code : {0x81, 0xFF, 0xA140, 0xFEFE, 0x817F})
        EXPECT_EQ(gbk_to_unicode(code), 0) << std::hex << code;
    for (char16_t ch : {char16_t(0x0080), char16_t(0xE5E5), char16_t(0xFFFF), char16_t(0x00C0)})
        EXPECT_EQ(unicode_to_gbk(ch), 0) << std::hex << unsigned(ch);
}

// The generated tables must be sorted (they are searched by halving) and
// inverse to each other.
TEST(CodePage, TablesAreSortedAndInverse)
{
    for (size_t i = 1; i < gbk_table_size; ++i) {
        ASSERT_LT(gbk_to_unicode_table[i - 1].key, gbk_to_unicode_table[i].key) << i;
        ASSERT_LT(unicode_to_gbk_table[i - 1].key, unicode_to_gbk_table[i].key) << i;
    }
    for (size_t i = 0; i < gbk_table_size; ++i) {
        const gbk_pair& p = gbk_to_unicode_table[i];
        ASSERT_EQ(unicode_to_gbk(p.value), p.key) << std::hex << p.key;
    }
}

TEST(CodePage, UpperCaseCoversEachClass)
{
    struct row {
        char16_t lower;
        char16_t upper;
    };
    const row rows[] = {
        {u'a', u'A'},       {u'z', u'Z'},       {0x00E0, 0x00C0},   {0x00FE, 0x00DE},
        {0x00FF, 0x0178},   {0x0101, 0x0100},   {0x0133, 0x0132},   {0x013A, 0x0139},
        {0x014B, 0x014A},   {0x0177, 0x0176},   {0x017E, 0x017D},   {0x0192, 0x0191},
        {0x03B1, 0x0391},   {0x03C9, 0x03A9},   {0x0430, 0x0410},   {0x044F, 0x042F},
        {0x0451, 0x0401},   {0x045F, 0x040F},   {0x2170, 0x2160},   {0x217F, 0x216F},
        {0xFF41, 0xFF21},   {0xFF5A, 0xFF3A},   {0x00A1, u'!'},     {0x00A2, 0xFFE0},
        {0x00A3, 0xFFE1},   {0x00A5, 0xFFE5},   {0x00AC, 0xFFE2},   {0x00AF, 0xFFE3},
    };
    for (const row& r : rows)
        EXPECT_EQ(upper_case(r.lower), r.upper) << std::hex << unsigned(r.lower);
    // No case, or already upper case.
    for (char16_t ch : {u'A', u'0', u'_', char16_t(0x00F7), char16_t(0x00C0), char16_t(0x03C2),
                        char16_t(0x0131), char16_t(0x0138), char16_t(0x4E2D), char16_t(0xFF21)})
        EXPECT_EQ(upper_case(ch), ch) << std::hex << unsigned(ch);
}

} // namespace
