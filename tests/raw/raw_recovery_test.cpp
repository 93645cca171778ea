#include "recovery/raw_recovery.h"
#include "recovery/recover_item.h"
#include "recovery/recovery_item.h"
#include "test_support.h"
#include "volume_image.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <string>
#include <vector>

using namespace raw_test;
using test_support::read_file;
using test_support::scratch_dir;

namespace {

std::vector<std::string> names_of(const raw_recovery_c& engine, const std::string& group)
{
    std::vector<std::string> names;
    for (const recovery_item_s& row :
         file_rows(engine.found_records(), engine.found_groups().at(group)))
        names.push_back(row.name.toStdString());
    return names;
}

TEST(RawEngineRecords, FollowDiscoveryOrderAndGroupByWholeExtension)
{
    raw_recovery_c engine;
    const char* reported[] = {"jpg", "png", "jpg", "abcdefgh", "abcdefghij",
                              "png", "jpg", "gif", "gif", "jpg"};
    for (int i = 0; i < 10; ++i)
        engine.on_found(reported[i], 512 * i, 100 + i);

    ASSERT_EQ(engine.found_records().size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const raw_file_s& r = engine.found_records()[size_t(i)];
        EXPECT_EQ(r.index, i);
        EXPECT_EQ(r.offset, 512 * i);
        EXPECT_EQ(r.size, 100 + i);
    }
    // Eight characters fill the field; a longer type is cut in the record only.
    EXPECT_EQ(std::memcmp(engine.found_records()[3].extension, "abcdefgh", 8), 0);
    EXPECT_EQ(std::memcmp(engine.found_records()[4].extension, "abcdefgh", 8), 0);

    EXPECT_EQ(engine.found_groups().size(), 5u);
    EXPECT_EQ(names_of(engine, "jpg"), (std::vector<std::string>{
                                           "00000000.jpg", "00000002.jpg", "00000006.jpg",
                                           "00000009.jpg"}));
    EXPECT_EQ(names_of(engine, "png"),
              (std::vector<std::string>{"00000001.png", "00000005.png"}));
    EXPECT_EQ(names_of(engine, "abcdefgh"), (std::vector<std::string>{"00000003.abcdefgh"}));
    EXPECT_EQ(names_of(engine, "abcdefghij"), (std::vector<std::string>{"00000004.abcdefgh"}));
}

TEST(RawEngineControl, FlagsLiveInTheControlBlockAndResetClearsAllButTheDevice)
{
    raw_recovery_c engine;
    volume_item_s volume;
    volume.volume_name = R"(\\?\Volume{1234}\)";
    engine.set_volume(volume);
    EXPECT_EQ(engine.scanned_device(), QString(R"(\\?\Volume{1234})"));

    engine.set_progress(0.25);
    engine.set_paused(1);
    engine.set_stop(3);
    engine.on_found("jpg", 0, 10);
    EXPECT_EQ(engine.progress(), 0.25);
    EXPECT_EQ(engine.paused(), 1);
    EXPECT_EQ(engine.stop_code(), 3);

    engine.reset();
    EXPECT_EQ(engine.progress(), 0.0);
    EXPECT_EQ(engine.paused(), 0);
    EXPECT_EQ(engine.stop_code(), 0);
    EXPECT_TRUE(engine.found_records().empty());
    EXPECT_TRUE(engine.found_groups().empty());
    EXPECT_EQ(engine.scanned_device(), QString(R"(\\?\Volume{1234})"));

    std::wstring path = L"kept";
    EXPECT_EQ(engine.file_path(0, &path), 0);
    EXPECT_EQ(path, L"kept");
}

class RawRecoverFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        volume = make_volume_image(image);
        ASSERT_FALSE(volume.volume_name.isEmpty());
        engine.set_volume(volume);
        original = read_file(image);
    }
    void TearDown() override { EXPECT_EQ(read_file(image), original) << "the volume was written"; }

    QString out(const std::string& name) const { return QString::fromStdString(dir.file(name)); }

    scratch_dir dir;
    std::string image = dir.file("disk.img");
    volume_item_s volume;
    raw_recovery_c engine;
    std::vector<uint8_t> original;
};

TEST_F(RawRecoverFile, CopiesExactlyTheRecordedBytes)
{
    struct extent {
        int64_t offset;
        int64_t size;
        size_t expected; // bytes written
    };
    const extent cases[] = {
        {0, 512, 512},
        {1003, 20000, 20000},       // not on a sector: no leading bytes of the sector
        {16384, 3 * 8192, 3 * 8192}, // whole read chunks
        {int64_t(partition_length) - 100, 1000, 100}, // runs past the end of the volume
        {4096, 0, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        engine.on_found("bin", cases[i].offset, cases[i].size);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const QString path = out("out" + std::to_string(i));
        ASSERT_EQ(engine.recover_file(int64_t(i), path), 0);
        EXPECT_EQ(read_file(path.toStdString()),
                  pattern(partition_start + uint64_t(cases[i].offset), cases[i].expected));
    }
}

TEST_F(RawRecoverFile, FailsWithoutCreatingAFile)
{
    engine.on_found("bin", 0, 100);
    engine.on_found("bin", -1, 100); // cannot be positioned
    struct failure {
        const char* what;
        int64_t id;
        QString device;
    };
    const QString device = engine.scanned_device();
    const failure cases[] = {
        {"negative id", -1, device},
        {"id past the records", 2, device},
        {"id whose low 32 bits are a record", int64_t(1) << 32, device},
        {"offset that cannot be sought", 1, device},
        {"device that cannot be opened", 0, R"(\\?\Volume{00000000-0000-0000-0000-000000000000}\)"},
    };
    for (const failure& c : cases) {
        SCOPED_TRACE(c.what);
        volume_item_s v = volume;
        v.volume_name = c.device;
        engine.set_volume(v);
        const QString path = out("never");
        EXPECT_EQ(engine.recover_file(c.id, path), -1);
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    engine.set_volume(volume);
    EXPECT_EQ(engine.recover_file(0, out("missing/folder/file")), -1);
}

// Real pictures laid at sector starts of an empty volume are found with their
// true offsets and sizes and come back byte for byte under their names.
TEST(RawScan, FindsPicturesAndRecoversThemWhole)
{
    if (!test_support::have_program("convert"))
        GTEST_SKIP() << "ImageMagick's convert is missing";
    scratch_dir dir;
    const std::string image = dir.file("disk.img");
    const volume_item_s volume = make_volume_image(image);
    test_support::write_bytes(image, partition_start, std::vector<uint8_t>(partition_length, 0));
    // Noise pictures, large enough to take several read chunks.
    ASSERT_EQ(test_support::run("convert -size 200x150 -seed 1 plasma: '" + dir.file("a.png") +
                                "' && convert -size 300x200 -seed 2 plasma: -quality 85 '" +
                                dir.file("b.jpg") + "'"),
              0);
    const std::vector<uint8_t> png = read_file(dir.file("a.png"));
    const std::vector<uint8_t> jpg = read_file(dir.file("b.jpg"));
    const int64_t png_at = 10 * 512;
    const int64_t jpg_at = (png_at + int64_t(png.size()) + 4096) / 512 * 512;
    ASSERT_LT(uint64_t(jpg_at) + jpg.size(), partition_length);
    test_support::write_bytes(image, partition_start + uint64_t(png_at), png);
    test_support::write_bytes(image, partition_start + uint64_t(jpg_at), jpg);
    const std::vector<uint8_t> before = read_file(image);

    raw_recovery_c::initialise_library();
    raw_recovery_c engine;
    engine.reset();
    engine.set_volume(volume);
    engine.start();
    ASSERT_TRUE(engine.wait(60000));
    EXPECT_EQ(engine.stop_code(), 0);

    ASSERT_EQ(engine.found_records().size(), 2u);
    const raw_file_s& first = engine.found_records()[0];
    const raw_file_s& second = engine.found_records()[1];
    EXPECT_EQ(std::string(first.extension), "png");
    EXPECT_EQ(first.offset, png_at);
    EXPECT_EQ(first.size, int64_t(png.size()));
    EXPECT_EQ(std::string(second.extension), "jpg");
    EXPECT_EQ(second.offset, jpg_at);
    EXPECT_EQ(second.size, int64_t(jpg.size()));

    const QDir folder(QString::fromStdString(dir.path().string()));
    for (const auto& [group, content] : {std::pair{"png", &png}, std::pair{"jpg", &jpg}}) {
        const std::vector<recovery_item_s> rows =
            file_rows(engine.found_records(), engine.found_groups().at(group));
        ASSERT_EQ(rows.size(), 1u);
        ASSERT_EQ(recover_item(engine_raw, engine, folder, rows[0]), 0);
        EXPECT_EQ(read_file(folder.filePath(rows[0].name).toStdString()), *content) << group;
    }
    EXPECT_EQ(read_file(image), before) << "the volume was written";
}

} // namespace
