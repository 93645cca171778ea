// The Windows-made sample volume, with deletions done the way Windows does
// them, checked against The Sleuth Kit.
#include "libntscan/ntscan.h"
#include "test_support.h"
#include "tsk_oracle.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace ntscan;
using namespace tsk_oracle;
namespace ts = test_support;

namespace {

// Where this image keeps things (istat): the partition at sector 128, 4 KiB
// clusters, 1 KiB records; the MFT at cluster 21589, the MFT's own bitmap at
// 21588, the cluster bitmap at 21586.
constexpr uint64_t partition = 128 * 512;
constexpr uint64_t cluster = 4096;
constexpr uint64_t mft = partition + 21589 * cluster;
constexpr uint64_t mft_bitmap = partition + 21588 * cluster;
constexpr uint64_t cluster_bitmap = partition + 21586 * cluster;

constexpr int64_t test_dir = 39, text_file = 43;
constexpr int64_t log_container = 34; // 2 MiB in clusters 978-1489

void clear_bit(const std::string& image, uint64_t bitmap, uint64_t bit)
{
    auto byte = ts::read_bytes(image, bitmap + bit / 8, 1);
    byte[0] &= uint8_t(~(1u << (bit % 8)));
    ts::write_bytes(image, bitmap + bit / 8, byte);
}

// Windows clears the record's in-use flag, raises its sequence number, and
// frees its bit in the MFT bitmap and its clusters.
void delete_like_windows(const std::string& image, int64_t record, uint64_t first_cluster = 0, uint64_t clusters = 0)
{
    uint64_t at = mft + uint64_t(record) * 1024;
    auto header = ts::read_bytes(image, at, 0x18);
    header[0x16] &= 0xFE;
    header[0x10] += 1;
    ts::write_bytes(image, at, header);
    clear_bit(image, mft_bitmap, uint64_t(record));
    for (uint64_t c = first_cluster; c < first_cluster + clusters; ++c) clear_bit(image, cluster_bitmap, c);
}

// The image is unpacked and its files deleted once for all tests, which only read it.
class Sample : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new ts::scratch_dir;
        image = dir->file("sample.raw");
        ts::unpack_test_data("ntfs-lastaccess.raw.gz", image);
        delete_like_windows(image, text_file);
        delete_like_windows(image, test_dir);
        delete_like_windows(image, log_container, 978, 512);
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    void SetUp() override
    {
        ts::use_disks({image});
        ASSERT_EQ(ntfs_scan_startup("/dev/hda1", &ctx), 0);
        found = scan_all(ctx);
    }
    void TearDown() override { ntfs_scan_release(&ctx); }

    bool tsk() const { return ts::have_program("fls") && ts::have_program("icat"); }

    static inline ts::scratch_dir* dir = nullptr;
    static inline std::string image;
    ntfs_scan_context_s ctx{};
    listing found;
};

} // namespace

TEST_F(Sample, DeletedEntriesKeepTheirFolderAndFlags)
{
    EXPECT_EQ(ctx.total, 256);
    ASSERT_TRUE(found.entries.count(text_file));
    const ntfs_entry_s& text = found.entries.at(text_file);
    EXPECT_EQ(found.path(text_file), "test/1.txt");
    EXPECT_EQ(text.flags, uint32_t(entry_file | entry_deleted));
    EXPECT_EQ(text.size, 143);
    EXPECT_EQ(text.date2, 1551616506); // created 2019-03-03 12:35:06 UTC
    EXPECT_EQ(text.date1, 1551616517); // modified 2019-03-03 12:35:17 UTC
    EXPECT_EQ(found.entries.at(test_dir).flags, uint32_t(entry_directory | entry_deleted));
    EXPECT_EQ(found.entries.at(5).parent, 5);
    std::set<int64_t> deleted;
    for (auto& [id, e] : found.entries)
        if (e.flags & entry_deleted) deleted.insert(id);
    EXPECT_EQ(deleted, (std::set<int64_t>{log_container, test_dir, text_file}));
}

TEST_F(Sample, NamesAndFoldersMatchTheSleuthKit)
{
    if (!tsk()) GTEST_SKIP() << "The Sleuth Kit is not installed";
    auto all = fls("-r -o 128", image);
    ASSERT_FALSE(all.empty());
    for (const tsk_name& n : all) {
        SCOPED_TRACE(n.path);
        ASSERT_TRUE(found.entries.count(n.inode));
        // fls cannot place what lies in a deleted folder; the records still name it.
        if (n.orphan) EXPECT_EQ(last_name(found.path(n.inode)), last_name(n.path));
        else EXPECT_EQ(found.path(n.inode), n.path);
        EXPECT_EQ((found.entries.at(n.inode).flags & entry_directory) != 0, n.directory);
    }
    // fls calls deleted only what no live index names; these deletions leave
    // the index entries that Windows would remove, so fls sees fewer.
    auto deleted = fls("-r -d -o 128", image);
    EXPECT_FALSE(deleted.empty());
    for (const tsk_name& n : deleted) EXPECT_TRUE(found.entries.at(n.inode).flags & entry_deleted) << n.path;
}

TEST_F(Sample, ExtractsWhatIcatReads)
{
    if (!tsk()) GTEST_SKIP() << "The Sleuth Kit is not installed";
    struct row { int64_t record; int32_t free_share; };
    const row rows[] = {{text_file, 100}, {log_container, 100}, {2, 0}, {7, 0}, {0, 0}};
    for (const row& r : rows) {
        std::string out = dir->file("extract"), want = dir->file("icat");
        int32_t share = -1;
        ASSERT_EQ(ntfs_scan_extract(&ctx, r.record, out.c_str(), &share), 0) << r.record;
        ts::run("icat -o 128 '" + image + "' " + std::to_string(r.record) + " > '" + want + "'");
        EXPECT_EQ(ts::read_file(out), ts::read_file(want)) << r.record;
        EXPECT_EQ(share, r.free_share) << r.record;
    }
    EXPECT_LT(ntfs_scan_extract(&ctx, test_dir, dir->file("dir").c_str(), nullptr), 0);
}
