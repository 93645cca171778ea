// The byte-level parsers: boot sector, fixups, attribute walk, run lists,
// LZNT1 and the cluster bitmap count.
#include "libntscan/attributes.h"
#include "libntscan/boot_sector.h"
#include "libntscan/cluster_bitmap.h"
#include "libntscan/file_record.h"
#include "libntscan/lznt1.h"
#include "libntscan/run_list.h"
#include "ntfs_builder.h"

#include <gtest/gtest.h>

#include <random>

using namespace ntscan;
using ntfs_fixture::bytes;

namespace {

bytes boot_sector(uint16_t bytes_per_sector, uint8_t cluster_code, uint8_t record_code, uint64_t sectors = 1 << 20)
{
    ntfs_fixture::geometry g;
    g.clusters = 64;
    bytes image = ntfs_fixture::volume(g).build();
    bytes s(image.begin(), image.begin() + 512);
    s[0x0B] = uint8_t(bytes_per_sector);
    s[0x0C] = uint8_t(bytes_per_sector >> 8);
    s[0x0D] = cluster_code;
    s[0x40] = record_code;
    for (int i = 0; i < 8; ++i) s[0x28 + i] = uint8_t(sectors >> 8 * i);
    return s;
}

} // namespace

TEST(BootSector, GeometryOfEachEncoding)
{
    struct row { uint16_t sector; uint8_t cluster_code, record_code; uint32_t cluster, record; };
    const row rows[] = {
        {512, 8, 0xF6, 4096, 1024},
        {512, 1, 2, 512, 1024},       // records of two clusters
        {4096, 1, 0xF4, 4096, 4096},
        {512, 0x80, 0xF6, 65536, 1024},
        {512, 0xF4, 0xF6, 2u << 20, 1024}, // 2^12 sectors
        {4096, 0xF7, 0xF4, 2u << 20, 4096},
    };
    for (const row& r : rows) {
        auto g = parse_boot_sector(boot_sector(r.sector, r.cluster_code, r.record_code));
        ASSERT_TRUE(g) << int(r.cluster_code);
        EXPECT_EQ(g->cluster_size, r.cluster);
        EXPECT_EQ(g->record_size, r.record);
        EXPECT_EQ(g->total_clusters, (uint64_t(1) << 20) * r.sector / r.cluster);
    }
}

TEST(BootSector, RejectsWhatNtfsCannotHold)
{
    EXPECT_FALSE(parse_boot_sector(boot_sector(512, 3, 0xF6)));    // cluster not a power of two
    EXPECT_FALSE(parse_boot_sector(boot_sector(512, 0xF3, 0xF6))); // 4 MiB clusters
    EXPECT_FALSE(parse_boot_sector(boot_sector(512, 0, 0xF6)));
    EXPECT_FALSE(parse_boot_sector(boot_sector(500, 8, 0xF6)));
    EXPECT_FALSE(parse_boot_sector(boot_sector(512, 8, 0xF8)));    // 256-byte records
    EXPECT_FALSE(parse_boot_sector(boot_sector(512, 8, 0)));
    EXPECT_FALSE(parse_boot_sector(boot_sector(512, 8, 0xF6, 8))); // MFT beyond the volume
    bytes s = boot_sector(512, 8, 0xF6);
    s[3] = 'X';
    EXPECT_FALSE(parse_boot_sector(s));
    s = boot_sector(512, 8, 0xF6);
    s[511] = 0;
    EXPECT_FALSE(parse_boot_sector(s));
    EXPECT_FALSE(parse_boot_sector(std::span(s).first(511)));
}

TEST(FileRecord, FixupsRestoreStrideEndsAndCatchTornWrites)
{
    for (uint32_t size : {1024u, 4096u}) {
        ntfs_fixture::record r(1);
        bytes name_value(0x42 + 2 * 200, 0x5A); // spans the first stride end
        name_value[0x40] = 200;
        name_value[0x41] = 1;
        r.resident(0x30, name_value);
        bytes stored = r.stored(size);
        bytes good = stored;
        auto h = open_record(good);
        ASSERT_TRUE(h);
        EXPECT_EQ(h->flags, record_in_use);
        attribute_cursor cursor(good, *h);
        attribute_view a;
        ASSERT_TRUE(cursor.next(a));
        EXPECT_EQ(bytes(a.value.begin(), a.value.end()), name_value);

        for (size_t stride = 1; stride <= size / 512; ++stride) {
            bytes torn = stored;
            torn[stride * 512 - 1] ^= 0xFF;
            EXPECT_FALSE(open_record(torn)) << size << " stride " << stride;
        }
    }
    bytes not_file(1024);
    EXPECT_FALSE(open_record(not_file));
}

TEST(FileRecord, AttributeWalkStopsAtAnAttributeLeavingTheRecord)
{
    ntfs_fixture::record r(1);
    r.standard_information(1, 2).file_name(5, u"a").resident(0x80, bytes(16, 1));
    bytes stored = r.stored(1024);
    auto h = open_record(stored);
    ASSERT_TRUE(h);
    // Grow the second attribute's length past the record.
    size_t second = h->first_attribute + (stored[h->first_attribute + 4] | stored[h->first_attribute + 5] << 8);
    stored[second + 4] = 0xF0;
    stored[second + 5] = 0x0F;
    attribute_cursor cursor(stored, *h);
    attribute_view a;
    EXPECT_TRUE(cursor.next(a));
    EXPECT_EQ(a.type, uint32_t(attr_standard_information));
    EXPECT_FALSE(cursor.next(a));
}

TEST(Attributes, NameChoiceAndTimes)
{
    auto name = [](uint8_t space) { return file_name{0, space, {}}; };
    EXPECT_TRUE(better_name(name(names_win32), name(names_dos)));
    EXPECT_TRUE(better_name(name(names_win32_and_dos), name(names_posix)));
    EXPECT_TRUE(better_name(name(names_posix), name(names_dos)));
    EXPECT_FALSE(better_name(name(names_dos), name(names_win32)));
    EXPECT_FALSE(better_name(name(names_win32), name(names_win32_and_dos)));
    EXPECT_EQ(unix_seconds(116444736000000000ull), 0);
    EXPECT_EQ(unix_seconds(ntfs_fixture::filetime(1551616506)), 1551616506);

    bytes value(0x42 + 2, 0);
    value[0x40] = 2; // two units claimed, one present
    value[0x41] = 1;
    EXPECT_FALSE(parse_file_name(value));
}

TEST(RunList, DecodesAndRefusesMalformedLists)
{
    struct row { bytes in; bool ok; std::vector<data_run> expect; };
    const row rows[] = {
        {{0x21, 0x10, 0x00, 0x01, 0x00}, true, {{0, 256, 16}}},
        // fragmented, the second run before the first
        {{0x21, 0x04, 0x00, 0x02, 0x11, 0x02, 0x80, 0x00}, true, {{0, 512, 4}, {4, 384, 2}}},
        // a hole between two runs; the delta counts from the last real run
        {{0x11, 0x01, 0x20, 0x01, 0x03, 0x11, 0x01, 0x01, 0x00}, true,
         {{0, 32, 1}, {1, sparse_run, 3}, {4, 33, 1}}},
        {{0x11, 0x01, 0x20}, false, {{0, 32, 1}}},             // no end marker
        {{0x10, 0x20, 0x00}, false, {}},                       // zero-width length
        {{0x11, 0x00, 0x20, 0x00}, false, {}},                 // zero length
        {{0x21, 0x01, 0x00, 0x10, 0x00}, false, {}},           // beyond the volume
        {{0x11, 0x01, 0xF0, 0x00}, false, {}},                 // before cluster 0
        {{0x91, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x00}, false, {}},  // offset too wide
        {{0x21, 0x01}, false, {}},                             // cut short
    };
    for (const row& r : rows) {
        std::vector<data_run> runs;
        EXPECT_EQ(decode_run_list(r.in, 0, 4096, runs), r.ok);
        ASSERT_EQ(runs.size(), r.expect.size());
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].vcn, r.expect[i].vcn);
            EXPECT_EQ(runs[i].lcn, r.expect[i].lcn);
            EXPECT_EQ(runs[i].length, r.expect[i].length);
        }
    }
}

TEST(Lznt1, KnownChunks)
{
    // "abc" then a match of 15 at offset 3: offset takes 4 bits here.
    bytes simple{0x05, 0xB0, 0x08, 'a', 'b', 'c', 0x0C, 0x20};
    // 20 literals, then a match of 3 at offset 20: past 16 bytes the offset takes 5 bits.
    bytes split{0x18, 0xB0};
    for (int group = 0; group < 3; ++group) {
        split.push_back(group == 2 ? 0x10 : 0x00);
        for (int i = 0; i < (group == 2 ? 4 : 8); ++i) split.push_back(uint8_t('A' + group * 8 + i));
        if (group == 2) { split.push_back(0x00); split.push_back(0x98); }
    }
    bytes stored{0xFF, 0x3F}; // an uncompressed chunk of 4096 bytes
    for (int i = 0; i < 4096; ++i) stored.push_back(uint8_t(i * 7));

    bytes out(4096);
    ASSERT_TRUE(lznt1_decompress(simple, out));
    EXPECT_EQ(std::string(out.begin(), out.begin() + 19), std::string("abcabcabcabcabcabc") + '\0');

    std::fill(out.begin(), out.end(), 0);
    ASSERT_TRUE(lznt1_decompress(split, out));
    EXPECT_EQ(std::string(out.begin(), out.begin() + 23), "ABCDEFGHIJKLMNOPQRSTABC");

    ASSERT_TRUE(lznt1_decompress(stored, out));
    EXPECT_EQ(out, bytes(stored.begin() + 2, stored.end()));

    bytes bad_offset{0x03, 0xB0, 0x01, 0x00, 0x10}; // a match before the chunk's start
    EXPECT_FALSE(lznt1_decompress(bad_offset, out));
    bytes too_long{0x10, 0xB0, 0x00, 'a'}; // chunk longer than the input
    EXPECT_FALSE(lznt1_decompress(too_long, out));
}

TEST(Lznt1, RoundTripFillsEachChunkOf4096)
{
    std::mt19937 random(7);
    bytes plain(3 * 4096 + 1000);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = (i / 300) % 2 ? uint8_t(random()) : uint8_t("repeat me "[i % 10]);
    bytes out(plain.size() + 5000, 0xEE);
    std::fill(out.begin(), out.end(), 0);
    ASSERT_TRUE(lznt1_decompress(ntfs_fixture::lznt1_compress(plain), out));
    EXPECT_EQ(bytes(out.begin(), out.begin() + plain.size()), plain);
    EXPECT_EQ(bytes(out.begin() + plain.size(), out.end()), bytes(5000, 0));

    bytes small(100); // output full before the input ends
    ASSERT_TRUE(lznt1_decompress(ntfs_fixture::lznt1_compress(plain), small));
    EXPECT_EQ(small, bytes(plain.begin(), plain.begin() + 100));
}

TEST(ClusterBitmap, CountsClearBitsOfAnyRange)
{
    const bytes bitmap{0b10110001, 0xFF, 0x00, 0b00000001};
    struct row { uint64_t first, count, clear; };
    const row rows[] = {{0, 8, 4}, {1, 3, 3}, {4, 12, 1}, {8, 8, 0}, {16, 8, 8}, {0, 32, 19}, {23, 2, 1}, {5, 0, 0}};
    for (const row& r : rows) EXPECT_EQ(count_clear_bits(bitmap, r.first, r.count), r.clear) << r.first;
}
