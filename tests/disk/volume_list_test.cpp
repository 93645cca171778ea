#include "fixtures.h"

#include "disk/volume_list.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>

namespace {

using test_support::output_of;
using test_support::run;

struct expected_volume {
    std::string image;
    int number;
    int disk;
    std::string file_system;
    fat_fixture::facts facts; // FAT volumes only
};

// Five disks: 0 an MBR disk with a primary FAT16, a logical FAT32 and an
// unformatted logical partition; 1 missing; 2 a GPT disk with FAT12 and FAT16;
// 3 a bare FAT12 stick; 4 the NTFS sample. Image names make the mount-path
// order differ from the disk order.
class VolumeList : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!fat_fixture::tools_present() || !test_support::have_program("sfdisk"))
            return;
        dir = std::make_unique<test_support::scratch_dir>();
        const std::string mbr = dir->file("b_mbr.img"), gpt = dir->file("c_gpt.img"),
                          stick = dir->file("a_stick.img"), ntfs = dir->file("d_ntfs.raw");
        // The mount path names the image, so the sample is linked under a name of this disk.
        if (run("ln -s '" + ntfs_fixture::sample_image() + "' '" + ntfs + "'") != 0)
            return;
        const bool made =
            make_disk(mbr, 60, "label: dos\nstart=2048, size=20480, type=e\n"
                               "start=22528, size=100352, type=5\nsize=81920, type=c\n"
                               "size=8192, type=83\n") &&
            make_disk(gpt, 16, "label: gpt\nstart=2048, size=4096\nstart=6144, size=20480\n") &&
            add_fat(mbr, 0, 1, "-F 16 -n PRIMARY") && add_fat(mbr, 0, 5, "-F 32 -s 1 -n LOGICAL") &&
            add_fat(gpt, 2, 1, "-F 12 -n GPTONE") && add_fat(gpt, 2, 2, "-F 16 -n GPTTWO") &&
            fat_fixture::make(stick, 2, "-F 12 -n STICK");
        if (!made)
            return;
        expected.insert(expected.begin(), {stick, 1, 3, "FAT", fat_fixture::oracle(stick)});
        expected.insert(expected.begin() + 3, {mbr, 6, 0, "", {}});
        expected.push_back({ntfs, 1, 4, "NTFS", {"Last access", 0, 0}});
        disks = {mbr, "", gpt, stick, ntfs};
        test_support::use_disks(disks);
        ready = true;
    }
    static void TearDownTestSuite() { dir.reset(); }

    void SetUp() override
    {
        if (!ready)
            GTEST_SKIP() << "mkfs.fat, mtools, sfdisk or fsstat missing";
    }

    static bool make_disk(const std::string& image, unsigned mib, const std::string& script)
    {
        partitions[image].clear();
        if (run("truncate -s " + std::to_string(mib) + "M '" + image + "' && printf '" + script +
                "' | sfdisk -q '" + image + "' >/dev/null") != 0)
            return false;
        // sfdisk -d prints one line per partition: "<image>N : start= S, size= L, ...".
        const std::string dump = output_of("sfdisk -d '" + image + "'");
        const std::regex line("img(\\d+) : start= *(\\d+), size= *(\\d+)");
        for (auto it = std::sregex_iterator(dump.begin(), dump.end(), line);
             it != std::sregex_iterator(); ++it)
            partitions[image][std::stoi((*it)[1])] = {std::stoull((*it)[2]), std::stoull((*it)[3])};
        return !partitions[image].empty();
    }

    // Formats partition `number` of `image` (disk `disk`) through a file of its own.
    static bool add_fat(const std::string& image, int disk, int number, const std::string& options)
    {
        const auto [start, sectors] = partitions[image][number];
        const std::string part = image + ".part";
        if (sectors == 0 || !fat_fixture::make(part, unsigned(sectors / 2048), options))
            return false;
        expected.push_back({image, number, disk, options.find("32") != std::string::npos ? "FAT32" : "FAT",
                            fat_fixture::oracle(part)});
        return run("dd if='" + part + "' of='" + image + "' bs=512 seek=" + std::to_string(start) +
                   " conv=notrunc,sparse status=none && rm '" + part + "'") == 0;
    }

    static inline std::unique_ptr<test_support::scratch_dir> dir;
    static inline std::map<std::string, std::map<int, std::pair<uint64_t, uint64_t>>> partitions;
    static inline std::vector<expected_volume> expected; // in mount-path order
    static inline std::vector<std::string> disks;
    static inline bool ready = false;
};

TEST_F(VolumeList, ListsEveryPartitionInMountPathOrder)
{
    enumerate_volumes();
    const QList<volume_item_s>& list = volume_list();
    ASSERT_EQ(size_t(list.size()), expected.size() + 1);
    EXPECT_TRUE(list[0].mount_path.isEmpty() && list[0].volume_name.isEmpty() &&
                list[0].device_name.isEmpty());

    const std::regex guid_path(R"(\\\\\?\\Volume\{[0-9a-f-]{36}\}\\)");
    const std::regex device_name(R"(\\Device\\HarddiskVolume\d+)");
    QStringList names;
    for (size_t i = 0; i < expected.size(); ++i) {
        const expected_volume& e = expected[i];
        const volume_item_s& v = list[qsizetype(i + 1)];
        SCOPED_TRACE(e.image + "#" + std::to_string(e.number));
        EXPECT_EQ(v.mount_path.toStdString(), e.image + "#" + std::to_string(e.number));
        EXPECT_EQ(v.disk_number, e.disk);
        EXPECT_EQ(v.partition_number, e.number);
        EXPECT_EQ(v.file_system.toStdString(), e.file_system);
        EXPECT_EQ(v.label.toStdString(), e.facts.label);
        EXPECT_TRUE(std::regex_match(v.volume_name.toStdString(), guid_path)) << v.volume_name.toStdString();
        EXPECT_TRUE(std::regex_match(v.device_name.toStdString(), device_name));
        if (e.file_system.starts_with("FAT")) {
            EXPECT_EQ(v.total_bytes, e.facts.total_bytes);
            EXPECT_EQ(v.free_bytes, e.facts.free_bytes);
        } else if (e.file_system == "NTFS") {
            EXPECT_GT(v.free_bytes, 0u);
            EXPECT_GT(v.total_bytes, v.free_bytes);
        } else {
            EXPECT_EQ(v.total_bytes, 0u);
        }
        names.append(v.volume_name);
    }
    names.removeDuplicates();
    EXPECT_EQ(size_t(names.size()), expected.size());

    enumerate_volumes(); // a refresh rebuilds rather than appends
    EXPECT_EQ(size_t(volume_list().size()), expected.size() + 1);
}

TEST_F(VolumeList, LocationOfAVolumeByItsName)
{
    enumerate_volumes();
    ASSERT_GT(volume_list().size(), 1);
    for (const volume_item_s& v : volume_list().mid(1)) {
        QString bare = v.volume_name;
        bare.chop(1);
        for (const QString& path : {v.volume_name, bare, bare + "/"}) {
            int32_t partition = -1, disk = -1;
            EXPECT_EQ(query_volume_location(path, partition, disk), 0) << path.toStdString();
            EXPECT_EQ(partition, v.partition_number);
            EXPECT_EQ(disk, v.disk_number);
        }
    }
    int32_t partition = 7, disk = 7;
    EXPECT_EQ(query_volume_location("\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\",
                                    partition, disk),
              -1);
}

TEST_F(VolumeList, NoVolumeAtAllLeavesTheListWithoutItsHeader)
{
    enumerate_volumes();
    ASSERT_GT(volume_list().size(), 1);
    test_support::use_disks({dir->file("missing.img")});
    enumerate_volumes();
    EXPECT_TRUE(volume_list().isEmpty());
    test_support::use_disks({});
    enumerate_volumes();
    EXPECT_TRUE(volume_list().isEmpty());
    test_support::use_disks(disks); // for the tests that follow
}

} // namespace
