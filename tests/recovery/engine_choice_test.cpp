#include "recovery/engine_choice.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineChoice, ByFileSystemUnlessADeepScanIsAsked)
{
    const struct {
        const char* file_system;
        engine_kind plain;
    } cases[] = {
        {"FAT32", engine_fat}, {"FAT", engine_fat},   {"FATX", engine_fat},
        {"NTFS", engine_ntfs}, {"ntfs", engine_none}, {"NTFS ", engine_none},
        {"exFAT", engine_none}, {"", engine_none},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(choose_engine(c.file_system, false), c.plain) << c.file_system;
        EXPECT_EQ(choose_engine(c.file_system, true), engine_raw) << c.file_system;
    }
}

} // namespace
