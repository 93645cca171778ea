#include "cli_runner.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>

using test_support::scratch_dir;

namespace {

// The demo's recovery disk: volume 1 FAT32, 2 NTFS (sample with deletions),
// 3 no file system with carvable files. Made once for the whole suite.
struct recovery_disk : ::testing::Test {
    static inline std::unique_ptr<scratch_dir> dir;
    static inline std::string image;

    static void SetUpTestSuite()
    {
        for (const char* tool : {"mkfs.fat", "mcopy", "sfdisk", "convert", "python3", "fls", "icat"})
            if (!test_support::have_program(tool))
                return;
        dir = std::make_unique<scratch_dir>();
        image = dir->file("volumes.img");
        if (test_support::run(std::string(ZORVANE_DEMO_VOLUMES_TOOL) + " '" + image + "' '" +
                              ZORVANE_TEST_DATA + "/ntfs-lastaccess.raw.gz' >/dev/null") != 0)
            image.clear();
    }
    static void TearDownTestSuite() { dir.reset(); }

    void SetUp() override
    {
        if (image.empty())
            GTEST_SKIP() << "fixture tools missing";
        before = test_support::read_file(image);
    }
    void TearDown() override
    {
        if (!image.empty()) {
            EXPECT_TRUE(test_support::read_file(image) == before) << "the scanned disk changed";
        }
    }

    cli_result cli(const QStringList& arguments) const { return run_cli(arguments, {image}); }

    // Contents of the files The Sleuth Kit lists as deleted on the volume at `sector`.
    std::vector<std::string> deleted_contents(uint64_t sector) const
    {
        std::vector<std::string> contents;
        std::set<std::string> inodes; // a file may be listed under two paths
        std::istringstream listing(test_support::output_of(
            "fls -r -d -F -o " + std::to_string(sector) + " '" + image + "'"));
        std::string line;
        while (std::getline(listing, line)) {
            const size_t star = line.find("* ");
            const size_t colon = line.find(':');
            if (star == std::string::npos || colon == std::string::npos)
                continue;
            std::string inode = line.substr(star + 2, colon - star - 2);
            inode = inode.substr(0, inode.find('-'));
            if (inodes.insert(inode).second)
                contents.push_back(test_support::output_of("icat -o " + std::to_string(sector) + " '" +
                                                           image + "' " + inode));
        }
        std::sort(contents.begin(), contents.end());
        return contents;
    }

    std::vector<uint8_t> before;
};

std::vector<std::string> folder_paths(const QJsonObject& scan)
{
    std::vector<std::string> paths;
    for (const QJsonValue& f : scan["folders"].toArray())
        paths.push_back(f["path"].toString().toStdString());
    return paths;
}

std::vector<std::string> file_names(const QJsonObject& scan)
{
    std::vector<std::string> names;
    for (const QJsonValue& f : scan["folders"].toArray())
        for (const QJsonValue& row : f["files"].toArray())
            names.push_back(f["path"].toString().toStdString() + " " + row["name"].toString().toStdString());
    return names;
}

std::vector<std::string> folder_contents(const std::string& folder)
{
    std::vector<std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const auto bytes = test_support::read_file(entry.path().string());
        contents.emplace_back(bytes.begin(), bytes.end());
    }
    std::sort(contents.begin(), contents.end());
    return contents;
}

} // namespace

TEST_F(recovery_disk, fat_scan_lists_deleted_files_under_their_folders)
{
    const cli_result r = cli({"scan", "1", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    const QJsonObject scan = r.json().object();
    EXPECT_EQ(scan["engine"].toString(), "fat");
    EXPECT_EQ(scan["stop_code"].toInt(), 0);
    // Depth first: every folder comes after its parent; siblings follow the
    // engine's hash, whose order changes from run to run.
    std::vector<std::string> paths = folder_paths(scan);
    for (size_t i = 1; i < paths.size(); ++i) {
        const std::string parent = paths[i].substr(0, std::max<size_t>(paths[i].rfind('/'), 1));
        EXPECT_NE(std::find(paths.begin(), paths.begin() + long(i), parent), paths.begin() + long(i)) << paths[i];
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"/", "/Documents", "/Documents/Reports", "/Documents/Reports/2025",
                                               "/Photos", "/Photos/#LIDAY", "/Photos/#LIDAY/#ACH"}));
    // Short names only, with the deleted mark decoded into the '#'.
    std::vector<std::string> names = file_names(scan);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{
                                    "/Documents #tter.txt", "/Documents/Reports/2025 #port.txt",
                                    "/Photos #on.gif", "/Photos/#LIDAY #nset.jpg",
                                    "/Photos/#LIDAY/#ACH #ach.png"}));
}

TEST_F(recovery_disk, recovered_files_match_what_the_sleuth_kit_reads)
{
    for (const auto& [volume, sector] : {std::pair{"1", 2048}, std::pair{"2", 133120}}) {
        scratch_dir out;
        const cli_result r = cli({"recover", volume, "--all", "--to", QString::fromStdString(out.path().string())});
        ASSERT_EQ(r.status, 0) << r.err.constData();
        EXPECT_EQ(folder_contents(out.path().string()), deleted_contents(sector)) << "volume " << volume;
    }
}

TEST_F(recovery_disk, ntfs_scan_shows_deleted_folders_and_files_by_record)
{
    const cli_result r = cli({"scan", "2", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    const QJsonObject scan = r.json().object();
    EXPECT_EQ(scan["engine"].toString(), "ntfs");
    // Folders come in the order of the engine's hash.
    std::vector<std::string> names = file_names(scan);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{
                                    "/$RECYCLE.BIN/S-1-5-21-2341207468-2645333676-3461800803-1001 desktop.ini",
                                    "/test 1.txt"}));
    for (const QJsonValue& f : scan["folders"].toArray())
        for (const QJsonValue& row : f["files"].toArray())
        {
            // Deleted rows say how much of them the volume still leaves free.
            const int share = row.toObject().value("recoverable").toInt(-1);
            EXPECT_GE(share, 0);
            EXPECT_LE(share, 100);
        }
}

TEST_F(recovery_disk, a_deep_scan_is_saved_loaded_and_recovered_from)
{
    scratch_dir out;
    const QString sav = QString::fromStdString(out.file("scan.sav"));
    const cli_result scan = cli({"scan", "3", "--deep", "--json", "--save", sav});
    ASSERT_EQ(scan.status, 0) << scan.err.constData();
    EXPECT_EQ(scan.json()["engine"].toString(), "raw");
    EXPECT_EQ(std::filesystem::file_size(sav.toStdString()), 256u + 5 * 32);

    const cli_result loaded = cli({"load", sav, "--json"});
    ASSERT_EQ(loaded.status, 0) << loaded.err.constData();
    EXPECT_EQ(loaded.json()["folders"], scan.json()["folders"]);
    auto names = file_names(loaded.json().object());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"/bmp 00000003.bmp", "/gif 00000002.gif", "/jpg 00000001.jpg",
                                               "/png 00000000.png", "/zip 00000004.zip"}));

    const std::string to = out.file("files");
    const cli_result recovered = cli({"recover", "--from", sav, "--to", QString::fromStdString(to), "--id", "0",
                                      "--id", "2"});
    ASSERT_EQ(recovered.status, 0) << recovered.err.constData();
    // The carved picture and icon are the ones deleted from the FAT volume.
    std::vector<std::string> fat_deleted = deleted_contents(2048);
    for (const std::string& carved : folder_contents(to))
        EXPECT_NE(std::find(fat_deleted.begin(), fat_deleted.end(), carved), fat_deleted.end());
    EXPECT_EQ(folder_contents(to).size(), 2u);
}

TEST_F(recovery_disk, refusals_say_why)
{
    scratch_dir out;
    const std::string junk = out.file("junk.sav");
    test_support::make_sparse_file(junk, 300);
    struct row {
        QStringList arguments;
        int status;
    };
    const row rows[] = {
        {{"scan", "3"}, 1},                  // no file system: only a deep scan fits
        {{"scan", "1", "--save", "x.sav"}, 2}, // only deep-scan results are saved
        {{"scan", "9"}, 1},
        {{"recover", "1", "--all"}, 2},      // no --to
        {{"recover", "1", "--to", "d"}, 2},  // neither --all nor --id
        {{"recover", "1", "--to", QString::fromStdString(out.file("d")), "--id", "424242"}, 1},
        {{"load", QString::fromStdString(junk)}, 1},
        {{"load", QString::fromStdString(out.file("missing.sav"))}, 1},
    };
    for (const row& r : rows) {
        const cli_result result = cli(r.arguments);
        EXPECT_EQ(result.status, r.status) << r.arguments.join(' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty()) << r.arguments.join(' ').toStdString();
    }
}

TEST_F(recovery_disk, volumes_lists_each_partition_with_its_file_system)
{
    const cli_result r = cli({"volumes", "--json"});
    ASSERT_EQ(r.status, 0);
    const QJsonArray volumes = r.json().array();
    ASSERT_EQ(volumes.size(), 3);
    const char* systems[] = {"FAT32", "NTFS", ""};
    const char* labels[] = {"PHOTOS", "Last access", ""};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(volumes[i]["file_system"].toString(), systems[i]);
        EXPECT_EQ(volumes[i]["label"].toString(), labels[i]);
        EXPECT_EQ(volumes[i]["partition_number"].toInt(), i + 1);
        EXPECT_EQ(volumes[i]["mount_path"].toString(), QString::fromStdString(image) + "#" + QString::number(i + 1));
    }
}
