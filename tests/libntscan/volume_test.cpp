// Scanning and extracting hand-built volumes held in memory.
#include "libntscan/extract.h"
#include "libntscan/mft_scan.h"
#include "libntscan/ntfs_volume.h"
#include "libntscan/cluster_bitmap.h"
#include "ntfs_builder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <random>

using namespace ntscan;
using ntfs_fixture::bytes;
using ntfs_fixture::reference;

namespace {

// Keeps what it is given; long runs of zeros are only counted.
class memory_sink final : public data_sink {
public:
    bool write(const uint8_t* b, size_t n) override
    {
        content.insert(content.end(), b, b + n);
        length += n;
        return true;
    }
    bool zeros(uint64_t n) override
    {
        if (length + n <= (16u << 20)) content.resize(content.size() + n, 0);
        length += n;
        return true;
    }
    bytes content;
    uint64_t length = 0;
};

bytes random_bytes(size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    bytes b(n);
    for (auto& c : b) c = uint8_t(random());
    return b;
}

std::u16string name_of(const ntfs_entry_s& e) { return std::u16string(e.name); }

// Fails every read that touches one bad spot, as a disk with a bad sector does.
class bad_spot_source final : public byte_source {
public:
    bad_spot_source(byte_source& inner, uint64_t bad) : inner_(inner), bad_(bad) {}
    bool read(uint64_t offset, void* buffer, size_t length) override
    {
        return (offset > bad_ || offset + length <= bad_) && inner_.read(offset, buffer, length);
    }
    uint64_t size() const override { return inner_.size(); }

private:
    byte_source& inner_;
    uint64_t bad_;
};

struct mounted {
    explicit mounted(bytes img, uint32_t sector = 512) : image(std::move(img)), source(image, sector) {}
    int mount() { return volume.mount(source); }
    std::map<int64_t, ntfs_entry_s> scan()
    {
        std::map<int64_t, ntfs_entry_s> entries;
        scanned = std::make_unique<mft_scan>(volume);
        ntfs_entry_s e{};
        while (scanned->next(e)) entries[e.id] = e;
        return entries;
    }
    // With the extension records the scan met, when there was one.
    int extract(uint64_t record, memory_sink& sink)
    {
        data_layout layout;
        return extract_file(volume, record, scanned ? scanned->extensions_of(record) : std::span<const uint64_t>(),
                            sink, layout);
    }
    bytes image;
    memory_source source;
    ntfs_volume volume;
    std::unique_ptr<mft_scan> scanned;
};

} // namespace

TEST(Volume, ListsAndExtractsOnEveryGeometry)
{
    struct row { uint32_t sector, cluster, record; uint64_t clusters; };
    const row rows[] = {
        {512, 4096, 1024, 256},
        {512, 512, 1024, 2048},     // a record spans two clusters
        {4096, 4096, 4096, 256},
        {512, 65536, 4096, 24},
        {512, 2u << 20, 1024, 10},
        {4096, 2u << 20, 4096, 10},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.sector << "/" << r.cluster << "/" << r.record);
        ntfs_fixture::volume v({r.sector, r.cluster, r.record, r.clusters, 32});
        uint64_t free = v.first_free_cluster();
        bytes big = random_bytes(r.cluster + 1234, r.cluster), small(100, 'x');
        v.put(20, ntfs_fixture::record(3).standard_information(10, 20).file_name(reference(5, 5), u"dir"));
        v.add_file(21, 20, u"gone.bin", big, int64_t(free), true);
        v.add_file(22, 20, u"live.txt", small, -1);
        mounted m(v.build(), r.sector);
        ASSERT_EQ(m.mount(), 0);
        EXPECT_EQ(m.volume.record_count(), 32u);

        auto entries = m.scan();
        ASSERT_EQ(entries.size(), 6u); // $MFT, root, $Bitmap and the three above
        EXPECT_EQ(entries[5].parent, 5);
        EXPECT_EQ(entries[5].flags, uint32_t(entry_directory));
        EXPECT_EQ(entries[20].flags, uint32_t(entry_directory));
        EXPECT_EQ(name_of(entries[20]), u"dir");
        EXPECT_EQ(entries[21].flags, uint32_t(entry_file | entry_deleted));
        EXPECT_EQ(entries[21].parent, 20);
        EXPECT_EQ(entries[21].size, int64_t(big.size()));
        EXPECT_EQ(entries[21].date2, 1000000021);
        EXPECT_EQ(entries[21].date1, 1100000021);
        EXPECT_EQ(entries[22].flags, uint32_t(entry_file));
        EXPECT_EQ(name_of(entries[22]), u"live.txt");

        memory_sink gone, live, dir;
        EXPECT_EQ(m.extract(21, gone), 0);
        EXPECT_EQ(gone.content, big);
        EXPECT_EQ(m.extract(22, live), 0);
        EXPECT_EQ(live.content, small);
        EXPECT_EQ(m.extract(20, dir), error_no_data);
    }
}

TEST(Volume, FragmentedMftWithAnAttributeList)
{
    // 32 records of 1 KiB in four fragments, out of order on the volume; the
    // MFT's second extent lives in extension record 15, which the first extent reaches.
    ntfs_fixture::volume v({512, 4096, 1024, 256, 32});
    ntfs_fixture::runs first{{40, 2}, {10, 2}}, second{{60, 2}, {30, 2}};
    ntfs_fixture::runs all = first;
    all.insert(all.end(), second.begin(), second.end());
    v.set_mft_runs(all);
    v.set_mirror(80);
    v.put(0, ntfs_fixture::record(1)
                 .standard_information(0, 0)
                 .resident(0x20, ntfs_fixture::attribute_list({{0x10, 0, reference(0, 1)},
                                                               {0x30, 0, reference(0, 1)},
                                                               {0x80, 0, reference(0, 1)},
                                                               {0x80, 4, reference(15, 1)}}))
                 .file_name(reference(5, 5), u"$MFT")
                 .non_resident(0x80, first, 32 * 1024));
    v.put(15, ntfs_fixture::record(1, 1, reference(0, 1)).non_resident(0x80, second, 0, 4));
    for (uint64_t n = 24; n < 32; ++n)
        v.add_file(n, 5, u"f" + std::u16string(1, char16_t('0' + n - 24)), bytes(10, uint8_t(n)), -1, n % 2);
    mounted m(v.build());
    ASSERT_EQ(m.mount(), 0);
    EXPECT_EQ(m.volume.record_count(), 32u);
    auto entries = m.scan();
    for (uint64_t n = 24; n < 32; ++n) {
        ASSERT_TRUE(entries.count(int64_t(n))) << n;
        EXPECT_EQ(entries[int64_t(n)].flags & entry_deleted, n % 2 ? uint32_t(entry_deleted) : 0u);
        memory_sink s;
        EXPECT_EQ(m.extract(n, s), 0);
        EXPECT_EQ(s.content, bytes(10, uint8_t(n)));
    }
    EXPECT_FALSE(entries.count(15)); // an extension record is no file of its own
}

TEST(Volume, DeletedFileWithExtentsInFreedExtensionRecords)
{
    ntfs_fixture::volume v({512, 4096, 1024, 256, 32});
    const uint64_t c = v.first_free_cluster();
    bytes content = random_bytes(5 * 4096 + 77, 3);
    v.write(c, content);
    // Deleted base 24 (sequence raised from 1 to 2 by the deletion); its name
    // and second extent sit in freed extension 25, its third in extension 26,
    // which a newer file has taken over.
    auto list = ntfs_fixture::attribute_list({{0x10, 0, reference(24, 1)},
                                             {0x30, 0, reference(25, 1)},
                                             {0x80, 0, reference(24, 1)},
                                             {0x80, 2, reference(25, 1)},
                                             {0x80, 4, reference(26, 1)}});
    auto short_list = ntfs_fixture::attribute_list({{0x10, 0, reference(24, 1)},
                                                   {0x80, 0, reference(24, 1)},
                                                   {0x80, 2, reference(25, 1)}});
    auto make = [&](bool third_reused) {
        ntfs_fixture::volume w = v;
        w.put(24, ntfs_fixture::record(0, 2).standard_information(5, 6).resident(0x20, list)
                      .non_resident(0x80, {{int64_t(c), 2}}, content.size()));
        w.put(25, ntfs_fixture::record(0, 2, reference(24, 1)).file_name(reference(5, 5), u"split.bin")
                      .non_resident(0x80, {{int64_t(c + 2), 2}}, 0, 2));
        if (third_reused)
            w.put(26, ntfs_fixture::record(1, 2, reference(30, 1)).non_resident(0x80, {{int64_t(c + 4), 2}}, 0, 4));
        else
            w.put(26, ntfs_fixture::record(0, 2, reference(24, 1)).non_resident(0x80, {{int64_t(c + 4), 2}}, 0, 4));
        return w.build();
    };

    mounted intact(make(false));
    ASSERT_EQ(intact.mount(), 0);
    auto entries = intact.scan();
    ASSERT_TRUE(entries.count(24));
    EXPECT_EQ(name_of(entries[24]), u"split.bin");
    EXPECT_EQ(entries[24].size, int64_t(content.size()));
    EXPECT_EQ(entries[24].flags, uint32_t(entry_file | entry_deleted));
    memory_sink s;
    EXPECT_EQ(intact.extract(24, s), 0);
    EXPECT_EQ(s.content, content);
    memory_sink ext;
    EXPECT_EQ(intact.extract(25, ext), error_no_record);

    mounted reused(make(true));
    ASSERT_EQ(reused.mount(), 0);
    reused.scan();
    memory_sink partial;
    EXPECT_EQ(reused.extract(24, partial), error_unmapped);

    // The list lost its entries for the name and the last extent; the name's
    // record was wiped. The scan still meets extension 26 and names the file.
    ntfs_fixture::volume w = v;
    w.put(24, ntfs_fixture::record(0, 2).standard_information(5, 6).resident(0x20, short_list)
                  .non_resident(0x80, {{int64_t(c), 2}}, content.size()));
    w.put(25, ntfs_fixture::record(0, 2, reference(24, 1)).non_resident(0x80, {{int64_t(c + 2), 2}}, 0, 2));
    w.put(26, ntfs_fixture::record(0, 2, reference(24, 1)).non_resident(0x80, {{int64_t(c + 4), 2}}, 0, 4));
    mounted shortened(w.build());
    ASSERT_EQ(shortened.mount(), 0);
    memory_sink before_scan;
    EXPECT_EQ(shortened.extract(24, before_scan), error_unmapped);
    auto found = shortened.scan();
    ASSERT_TRUE(found.count(24));
    EXPECT_EQ(name_of(found[24]), u"orphan-24");
    EXPECT_EQ(found[24].parent, 5);
    EXPECT_EQ(found[24].flags, uint32_t(entry_file | entry_deleted));
    memory_sink whole;
    EXPECT_EQ(shortened.extract(24, whole), 0);
    EXPECT_EQ(whole.content, content);
}

TEST(Volume, SparseAndCompressedData)
{
    ntfs_fixture::volume v({512, 4096, 1024, 512, 32});
    const int64_t c = int64_t(v.first_free_cluster());
    const bytes a = random_bytes(4096, 1), b = random_bytes(4096, 2);
    bytes sparse_expect = a;
    sparse_expect.resize(4 * 4096, 0);
    sparse_expect.insert(sparse_expect.end(), b.begin(), b.begin() + 1000);
    v.write(uint64_t(c), a);
    v.write(uint64_t(c + 1), b);
    v.put(24, ntfs_fixture::record(1).file_name(reference(5, 5), u"sparse")
                  .non_resident(0x80, {{c, 1}, {-1, 3}, {c + 1, 1}}, sparse_expect.size(), 0, 0, 0x8000));

    // Units of 16 clusters: compressed, stored, a hole, and a compressed tail.
    const uint64_t unit = 16 * 4096;
    bytes text;
    while (text.size() < unit) for (char ch : std::string("the quick brown fox; ")) text.push_back(uint8_t(ch));
    text.resize(unit);
    bytes stored = random_bytes(unit, 9);
    bytes tail(unit / 2 + 123);
    for (size_t i = 0; i < tail.size(); ++i) tail[i] = uint8_t(i / 100);
    bytes packed_text = ntfs_fixture::lznt1_compress(text), packed_tail = ntfs_fixture::lznt1_compress(tail);
    uint64_t text_clusters = (packed_text.size() + 4095) / 4096, tail_clusters = (packed_tail.size() + 4095) / 4096;
    ASSERT_LT(text_clusters, 16u);
    int64_t at = c + 10;
    v.write(uint64_t(at), packed_text);
    v.write(uint64_t(at + 20), stored);
    v.write(uint64_t(at + 40), packed_tail);
    bytes expect = text;
    expect.insert(expect.end(), stored.begin(), stored.end());
    expect.resize(expect.size() + unit, 0);
    expect.insert(expect.end(), tail.begin(), tail.end());
    v.put(25, ntfs_fixture::record(0, 2).file_name(reference(5, 5), u"packed")
                  .non_resident(0x80,
                                {{at, text_clusters}, {-1, 16 - text_clusters}, {at + 20, 16}, {-1, 16},
                                 {at + 40, tail_clusters}, {-1, 16 - tail_clusters}},
                                expect.size(), 0, 4, 0x0001));
    // A hole of 2^40 clusters: written as a hole, not byte by byte.
    v.put(26, ntfs_fixture::record(1).file_name(reference(5, 5), u"vast")
                  .non_resident(0x80, {{c, 1}, {-1, uint64_t(1) << 40}}, (uint64_t(1) << 40) * 4096, 0, 0, 0x8000));
    v.put(27, ntfs_fixture::record(1).file_name(reference(5, 5), u"vast-packed")
                  .non_resident(0x80, {{-1, uint64_t(1) << 40}}, (uint64_t(1) << 40) * 4096, 0, 4, 0x0001));

    mounted m(v.build());
    ASSERT_EQ(m.mount(), 0);
    memory_sink s, p, vast, vast_packed;
    EXPECT_EQ(m.extract(24, s), 0);
    EXPECT_EQ(s.content, sparse_expect);
    EXPECT_EQ(m.extract(25, p), 0);
    EXPECT_EQ(p.content, expect);
    EXPECT_EQ(m.extract(26, vast), 0);
    EXPECT_EQ(vast.length, (uint64_t(1) << 40) * 4096);
    EXPECT_EQ(m.extract(27, vast_packed), 0);
    EXPECT_EQ(vast_packed.length, (uint64_t(1) << 40) * 4096);

    cluster_bitmap bitmap(m.volume);
    data_layout layout;
    memory_sink ignored;
    ASSERT_EQ(extract_file(m.volume, 25, {}, ignored, layout), 0);
    EXPECT_EQ(bitmap.free_share(layout), 100); // deleted: its clusters were never marked
}

TEST(Volume, DamageIsSkippedOrRefused)
{
    ntfs_fixture::volume v({512, 4096, 1024, 256, 32});
    v.set_mirror(100);
    for (uint64_t n = 24; n < 28; ++n) v.add_file(n, 5, u"f", bytes(8, uint8_t(n)), -1);
    const uint64_t mft = 4 * 4096;
    const bytes good = v.build();

    {   // a torn record is skipped, its neighbours stay
        bytes img = good;
        img[mft + 25 * 1024 + 511] ^= 1;
        mounted m(img);
        ASSERT_EQ(m.mount(), 0);
        auto entries = m.scan();
        EXPECT_TRUE(entries.count(24) && entries.count(26) && !entries.count(25));
        memory_sink s;
        EXPECT_EQ(m.extract(25, s), error_no_record);
    }
    {   // a bad sector in the MFT costs only the record on it
        mounted m(good);
        bad_spot_source bad(m.source, mft + 26 * 1024 + 100);
        ntfs_volume volume;
        ASSERT_EQ(volume.mount(bad), 0);
        mft_scan scan(volume);
        std::set<int64_t> ids;
        ntfs_entry_s e;
        while (scan.next(e)) ids.insert(e.id);
        EXPECT_EQ(ids, (std::set<int64_t>{0, 5, 6, 24, 25, 27}));
    }
    {   // primary boot sector gone: the backup at the volume's end serves
        bytes img = good;
        std::fill(img.begin(), img.begin() + 512, 0);
        mounted m(img);
        ASSERT_EQ(m.mount(), 0);
        EXPECT_EQ(m.scan().size(), 7u);
        std::fill(m.image.end() - 512, m.image.end(), 0);
        ntfs_volume again;
        EXPECT_EQ(again.mount(m.source), error_not_ntfs);
    }
    {   // record 0 torn: its copy in the mirror maps the MFT
        bytes img = good;
        img[mft + 511] ^= 1;
        mounted m(img);
        ASSERT_EQ(m.mount(), 0);
        EXPECT_EQ(m.scan().size(), 6u); // all but the torn $MFT record itself
        std::fill(m.image.begin() + 100 * 4096, m.image.begin() + 101 * 4096, 0);
        ntfs_volume again;
        EXPECT_EQ(again.mount(m.source), error_bad_mft);
    }
    {   // a boot sector claiming more sectors than the volume has
        bytes img(good.begin(), good.begin() + 128 * 4096);
        mounted m(img);
        EXPECT_EQ(m.mount(), error_not_ntfs);
    }
}

TEST(Volume, NamesAndTheirFolders)
{
    ntfs_fixture::volume v({512, 4096, 1024, 256, 40});
    v.put(24, ntfs_fixture::record(1).file_name(reference(5, 5), u"LONGNA~1.TXT", 2)
                  .file_name(reference(5, 5), u"long name.txt", 1));
    v.put(25, ntfs_fixture::record(1).file_name(reference(7, 1), u"posix", 0).file_name(reference(5, 5), u"DOS", 2));
    mounted m(v.build());
    ASSERT_EQ(m.mount(), 0);
    auto entries = m.scan();
    EXPECT_EQ(name_of(entries[24]), u"long name.txt");
    EXPECT_EQ(name_of(entries[25]), u"posix");
    EXPECT_EQ(entries[25].parent, 7);
}

TEST(Volume, ANameWhoseFolderRecordWasReusedGoesToTheRoot)
{
    ntfs_fixture::volume v({512, 4096, 1024, 256, 40});
    auto dir = [](uint16_t flags, uint16_t sequence) {
        return ntfs_fixture::record(flags, sequence).file_name(reference(5, 5), u"d");
    };
    auto lost = [](uint64_t parent) { return ntfs_fixture::record(0, 2).file_name(parent, u"lost"); };
    v.put(24, dir(0x3, 2));               // freed once, then taken by a new folder
    v.put(25, lost(reference(24, 1)));
    v.put(26, dir(0x2, 2));               // deleted with its files: one ahead
    v.put(27, lost(reference(26, 1)));
    v.put(28, lost(reference(29, 1)));    // a folder further on, reused
    v.put(29, dir(0x3, 3));
    v.put(30, lost(reference(31, 4)));    // same sequence, later in the MFT
    v.put(31, dir(0x3, 4));
    mounted m(v.build());
    ASSERT_EQ(m.mount(), 0);
    auto entries = m.scan();
    EXPECT_EQ(entries[25].parent, 5);
    EXPECT_EQ(entries[27].parent, 26);
    EXPECT_EQ(entries[28].parent, 5);
    EXPECT_EQ(entries[30].parent, 31);
}
