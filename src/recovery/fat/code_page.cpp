#include "recovery/fat/code_page.h"

#include "recovery/fat/gbk_tables.h"

#include <algorithm>
#include <array>

namespace {

// Both tables are searched by halving: 16 steps cover 65,536 entries.
uint16_t look_up(const gbk_pair* table, size_t size, uint16_t key)
{
    const gbk_pair* end = table + size;
    const gbk_pair* found = std::lower_bound(
        table, end, key, [](const gbk_pair& p, uint16_t k) { return p.key < k; });
    return found != end && found->key == key ? found->value : 0;
}

struct case_pair {
    char16_t lower;
    char16_t upper;
};

constexpr size_t case_pair_count = 239;

// The lower/upper pairs, ascending by lower case: a-z, six symbols folded to
// their full-width forms, the Latin-1 letters, Latin Extended-A, f with hook,
// Greek, Cyrillic, small Roman numerals and full-width a-z.
constexpr std::array<case_pair, case_pair_count> make_case_pairs()
{
    std::array<case_pair, case_pair_count> pairs{};
    size_t n = 0;
    auto add = [&](char16_t lower, char16_t upper) { pairs[n++] = {lower, upper}; };
    auto add_range = [&](char16_t first, char16_t last, int step, int offset) {
        for (int c = first; c <= last; c += step)
            add(char16_t(c), char16_t(c - offset));
    };
    add_range(u'a', u'z', 1, 0x20);
    add(0x00A1, u'!');
    add(0x00A2, 0xFFE0);
    add(0x00A3, 0xFFE1);
    add(0x00A5, 0xFFE5);
    add(0x00AC, 0xFFE2);
    add(0x00AF, 0xFFE3);
    add_range(0x00E0, 0x00F6, 1, 0x20); // à-ö
    add_range(0x00F8, 0x00FE, 1, 0x20); // ø-þ; ÷ has no case
    add(0x00FF, 0x0178);                // ÿ -> Ÿ
    add_range(0x0101, 0x012F, 2, 1);
    // U+0131 (dotless i) is skipped: U+0130 is not its upper case.
    add_range(0x0133, 0x0137, 2, 1);
    add_range(0x013A, 0x0148, 2, 1);
    add_range(0x014B, 0x0177, 2, 1);
    add_range(0x017A, 0x017E, 2, 1);
    add(0x0192, 0x0191);                // ƒ
    add_range(0x03B1, 0x03C1, 1, 0x20); // α-ρ
    add_range(0x03C3, 0x03C9, 1, 0x20); // σ-ω; final sigma stays
    add_range(0x0430, 0x044F, 1, 0x20); // а-я
    add_range(0x0450, 0x045F, 1, 0x50); // ѐ-џ
    add_range(0x2170, 0x217F, 1, 0x10); // ⅰ-ⅿ
    add_range(0xFF41, 0xFF5A, 1, 0x20); // ａ-ｚ
    return n == case_pair_count ? pairs : throw "case pair count";
}

constexpr std::array<case_pair, case_pair_count> case_pairs = make_case_pairs();
static_assert(std::is_sorted(case_pairs.begin(), case_pairs.end(),
                             [](const case_pair& a, const case_pair& b) { return a.lower < b.lower; }));

} // namespace

char16_t gbk_to_unicode(uint16_t code)
{
    if (code < 0x80)
        return char16_t(code);
    return char16_t(look_up(gbk_to_unicode_table, gbk_table_size, code));
}

uint16_t unicode_to_gbk(char16_t ch)
{
    if (ch < 0x80)
        return ch;
    return look_up(unicode_to_gbk_table, gbk_table_size, ch);
}

char16_t upper_case(char16_t ch)
{
    const auto found = std::lower_bound(
        case_pairs.begin(), case_pairs.end(), ch,
        [](const case_pair& p, char16_t c) { return p.lower < c; });
    return found != case_pairs.end() && found->lower == ch ? found->upper : ch;
}
