// The four library operations on disk images through the image backend.
#include "libntscan/ntscan.h"
#include "ntfs_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace ntscan;
using ntfs_fixture::bytes;
using ntfs_fixture::reference;
namespace ts = test_support;

namespace {

bytes random_bytes(size_t n)
{
    std::mt19937 random(11);
    bytes b(n);
    for (auto& c : b) c = uint8_t(random());
    return b;
}

// A volume with one live and one deleted non-resident file.
bytes small_volume(uint32_t sector, const bytes& content)
{
    ntfs_fixture::volume v({sector, 4096, sector == 4096 ? 4096u : 1024u, 256, 40});
    uint64_t c = v.first_free_cluster();
    v.put(30, ntfs_fixture::record(0x2, 2).standard_information(1, 2).file_name(reference(5, 5), u"old dir"));
    v.add_file(31, 30, u"lost.bin", content, int64_t(c), true);
    v.add_file(32, 5, u"kept.bin", content, int64_t(c + 10));
    return v.build();
}

// An MBR disk whose partition 2 holds `volume` at 1 MiB.
void write_mbr_disk(const std::string& path, const bytes& volume)
{
    bytes mbr(512);
    uint8_t* e = &mbr[446 + 16];
    e[4] = 0x07;
    uint32_t start = 2048, sectors = uint32_t(volume.size() / 512);
    for (int i = 0; i < 4; ++i) e[8 + i] = uint8_t(start >> 8 * i), e[12 + i] = uint8_t(sectors >> 8 * i);
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    ts::make_sparse_file(path, (start + sectors + 2048) * 512ull);
    ts::write_bytes(path, 0, mbr);
    ts::write_bytes(path, start * 512ull, volume);
}

struct scanned {
    std::map<int64_t, ntfs_entry_s> entries;
    int64_t total = 0;
    uint32_t last_c3 = 0;
};

scanned scan(ntfs_scan_context_s& ctx)
{
    scanned s;
    s.total = ctx.total;
    ntfs_entry_s e;
    while (ntfs_scan_next(&ctx, &e)) s.entries[e.id] = e;
    s.last_c3 = ctx.c3;
    return s;
}

class Library : public testing::Test {
protected:
    void SetUp() override
    {
        content = random_bytes(3 * 4096 + 5);
        disk0 = dir.file("disk0.img");
        write_mbr_disk(disk0, small_volume(512, content));
        std::string zeros = dir.file("zeros.img");
        write_mbr_disk(zeros, bytes(1 << 20));
        ts::use_disks({disk0, zeros, ""});
    }
    void TearDown() override
    {
        if (ctx.open) ntfs_scan_release(&ctx);
    }
    ts::scratch_dir dir;
    std::string disk0;
    bytes content;
    ntfs_scan_context_s ctx{};
};

} // namespace

TEST_F(Library, StartupResolvesTheDeviceName)
{
    struct row { const char* name; int result; };
    const row rows[] = {
        {"/dev/hda2", 0},
        {"/dev/hda1", error_no_device},
        {"/dev/hdb2", error_not_ntfs},
        {"/dev/hdc1", error_no_device},
        {"/dev/hdd1", error_no_device},
        {"/dev/hda", error_bad_name},
        {"/dev/sda2", error_bad_name},
        {"/dev/hda2x", error_bad_name},
        {"/dev/hdA2", error_bad_name},
        {"hda2", error_bad_name},
        {nullptr, error_bad_name},
    };
    for (const row& r : rows) {
        ntfs_scan_context_s c{};
        EXPECT_EQ(ntfs_scan_startup(r.name, &c), r.result) << (r.name ? r.name : "null");
        EXPECT_EQ(c.open != 0, r.result == 0);
        if (c.open) ntfs_scan_release(&c);
    }
}

TEST_F(Library, ScanExtractAndRelease)
{
    ASSERT_EQ(ntfs_scan_startup("/dev/hda2", &ctx), 0);
    EXPECT_NE(ctx.open, 0);
    scanned s = scan(ctx);
    EXPECT_EQ(s.total, 40);
    EXPECT_EQ(int64_t(s.last_c3), s.total); // progress reaches 1
    EXPECT_EQ(ctx.c1 + ctx.c2, 0u);
    ASSERT_TRUE(s.entries.count(30) && s.entries.count(31) && s.entries.count(32));
    EXPECT_EQ(s.entries[30].flags, uint32_t(entry_directory | entry_deleted));
    EXPECT_EQ(s.entries[31].flags, uint32_t(entry_file | entry_deleted));
    EXPECT_EQ(s.entries[31].parent, 30);
    EXPECT_EQ(std::u16string(s.entries[31].name), u"lost.bin");

    int32_t share = -1;
    std::string out = dir.file("lost.bin");
    ts::make_sparse_file(out, 50000); // truncated by the extraction
    EXPECT_EQ(ntfs_scan_extract(&ctx, 31, out.c_str(), &share), 0);
    EXPECT_EQ(ts::read_file(out), content);
    EXPECT_EQ(share, 100);
    EXPECT_EQ(ntfs_scan_extract(&ctx, 32, out.c_str(), &share), 0);
    EXPECT_EQ(ts::read_file(out), content);
    EXPECT_EQ(share, 0);
    EXPECT_LT(ntfs_scan_extract(&ctx, 30, out.c_str(), &share), 0);
    EXPECT_LT(ntfs_scan_extract(&ctx, 1 << 30, out.c_str(), &share), 0);
    EXPECT_LT(ntfs_scan_extract(&ctx, -1, out.c_str(), &share), 0);
    EXPECT_LT(ntfs_scan_extract(&ctx, 31, dir.file("no/such/folder").c_str(), &share), 0);

    // A second startup on the open context releases the first scan.
    ASSERT_EQ(ntfs_scan_startup("/dev/hda2", &ctx), 0);
    EXPECT_EQ(scan(ctx).entries.size(), s.entries.size());
    EXPECT_EQ(ntfs_scan_release(&ctx), 0);
    EXPECT_EQ(ctx.open, 0);
    ntfs_entry_s e;
    EXPECT_EQ(ntfs_scan_next(&ctx, &e), 0);
    EXPECT_LT(ntfs_scan_extract(&ctx, 31, out.c_str(), &share), 0);
}

TEST_F(Library, DiskOf4096ByteSectors)
{
    std::string image = dir.file("4k.img");
    bytes volume = small_volume(4096, content);
    ts::make_sparse_file(image, volume.size());
    ts::write_bytes(image, 0, volume);
    ts::use_disks({image + "@4096"});
    ASSERT_EQ(ntfs_scan_startup("/dev/hda1", &ctx), 0);
    scanned s = scan(ctx);
    ASSERT_TRUE(s.entries.count(31));
    int32_t share = 0;
    std::string out = dir.file("out");
    EXPECT_EQ(ntfs_scan_extract(&ctx, 31, out.c_str(), &share), 0);
    EXPECT_EQ(ts::read_file(out), content);
}
