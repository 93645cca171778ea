// Short names are stored in GBK (code page 936); names handed out are UTF-16.
#pragma once

#include <cstdint>

// GBK code (one byte below 0x80, else a single or double-byte code) to
// Unicode; 0 when the code is not in the table.
char16_t gbk_to_unicode(uint16_t code);
// Unicode to GBK code; 0 when the character has none.
uint16_t unicode_to_gbk(char16_t ch);
// Upper case for comparing long names; characters without a pair are unchanged.
char16_t upper_case(char16_t ch);
