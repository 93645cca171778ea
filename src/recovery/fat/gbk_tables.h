// The GBK (code page 936) <-> Unicode mapping as two sorted tables.
#pragma once

#include <cstddef>
#include <cstdint>

struct gbk_pair {
    uint16_t key;   // the table is sorted by this
    uint16_t value;
};

constexpr size_t gbk_table_size = 21792;

// (GBK code, Unicode value), sorted by GBK code.
extern const gbk_pair gbk_to_unicode_table[gbk_table_size];
// (Unicode value, GBK code), sorted by Unicode value.
extern const gbk_pair unicode_to_gbk_table[gbk_table_size];
