#include "recovery/raw_recovery.h"
#include "recovery/recovery_item.h"
#include "recovery/scan_result_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using test_support::read_file;
using test_support::scratch_dir;

namespace {

const QString device = R"(\\?\Volume{5e1f0000-0000-0000-0000-000000010000})";

void put_file(const std::string& path, const QByteArray& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
}

void set_device(raw_recovery_c& engine, const QString& path)
{
    volume_item_s volume;
    volume.volume_name = path + u'\\';
    engine.set_volume(volume);
}

bool same_records(const std::vector<raw_file_s>& a, const std::vector<raw_file_s>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

std::vector<std::string> all_names(const raw_recovery_c& engine)
{
    std::vector<std::string> names;
    for (const auto& [extension, group] : engine.found_groups())
        for (const recovery_item_s& row : file_rows(engine.found_records(), group))
            names.push_back(extension + "/" + row.name.toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ScanResultFile, SavesTheDescribedLayoutAndLoadsItBack)
{
    scratch_dir dir;
    const QByteArray name = QByteArray::fromStdString(dir.file("found.sav"));
    raw_recovery_c saved;
    set_device(saved, device);
    saved.on_found("jpg", 1024, 5000);
    saved.on_found("png", 0x123456789, 77);
    saved.on_found("abcdefghijk", 512, 1);
    ASSERT_EQ(saved.save_results(name), 0);

    const std::vector<uint8_t> bytes = read_file(name.toStdString());
    ASSERT_EQ(bytes.size(), 256u + 3 * 32);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), device.toStdString());
    const uint8_t* second = bytes.data() + 256 + 32;
    EXPECT_EQ(qFromLittleEndian<int64_t>(second), 1);
    EXPECT_EQ(qFromLittleEndian<int64_t>(second + 8), 0x123456789);
    EXPECT_EQ(qFromLittleEndian<int64_t>(second + 16), 77);
    EXPECT_EQ(std::memcmp(second + 24, "png\0\0\0\0\0", 8), 0);

    raw_recovery_c loaded;
    EXPECT_EQ(loaded.read_results(name), device);
    EXPECT_EQ(loaded.scanned_device(), device);
    EXPECT_TRUE(same_records(loaded.found_records(), saved.found_records()));
    // The groups are rebuilt from the records: a long type comes back cut.
    EXPECT_EQ(all_names(loaded), (std::vector<std::string>{"abcdefgh/00000002.abcdefgh",
                                                          "jpg/00000000.jpg",
                                                          "png/00000001.png"}));
}

TEST(ScanResultFile, SaveIsRefusedWithoutRecordsOrAPlaceToWrite)
{
    scratch_dir dir;
    raw_recovery_c engine;
    set_device(engine, device);
    const std::string empty = dir.file("empty.sav");
    EXPECT_EQ(engine.save_results(QByteArray::fromStdString(empty)), -1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(empty)));

    engine.on_found("jpg", 0, 1);
    EXPECT_EQ(engine.save_results(QByteArray::fromStdString(dir.file("no/such/folder.sav"))), -1);
}

// Every refused file leaves the engine exactly as it was.
TEST(ScanResultFile, DamagedFilesAreRefusedAndChangeNothing)
{
    std::vector<raw_file_s> two(2);
    for (int i = 0; i < 2; ++i) {
        two[size_t(i)].index = i;
        two[size_t(i)].offset = 4096 * i;
        two[size_t(i)].size = 10;
        std::memcpy(two[size_t(i)].extension, "gif", 3);
    }
    const QString other = QStringLiteral("\\\\?\\Volume{other}");
    const QByteArray valid = encode_scan_results(other, two);
    std::vector<raw_file_s> many(5000);
    for (size_t i = 0; i < many.size(); ++i)
        many[i].index = int64_t(i);
    const QByteArray long_file = encode_scan_results(other, many);
    const auto record_field = [](QByteArray& b, int record, int field, int64_t value) {
        qToLittleEndian(value, b.data() + 256 + 32 * record + 8 * field);
    };
    struct damage {
        const char* what;
        std::function<void(QByteArray&)> apply;
        bool accepted;
    };
    const damage cases[] = {
        {"intact", [](QByteArray&) {}, true},
        {"one record, 288 bytes", [](QByteArray& b) { b.truncate(288); }, true},
        {"many records", [&](QByteArray& b) { b = long_file; }, true},
        {"a bad index far in",
         [&](QByteArray& b) {
             b = long_file;
             record_field(b, 4500, 0, 0);
         },
         false},
        {"shorter than the header", [](QByteArray& b) { b.truncate(255); }, false},
        {"header only", [](QByteArray& b) { b.truncate(256); }, false},
        {"287 bytes", [](QByteArray& b) { b.truncate(287); }, false},
        {"300 bytes", [](QByteArray& b) { b.truncate(300); }, false},
        {"trailing partial record", [](QByteArray& b) { b.append('x'); }, false},
        {"indexes swapped",
         [&](QByteArray& b) {
             record_field(b, 0, 0, 1);
             record_field(b, 1, 0, 0);
         }, false},
        {"index beyond the records", [&](QByteArray& b) { record_field(b, 1, 0, 5); }, false},
        {"negative offset", [&](QByteArray& b) { record_field(b, 1, 1, -512); }, false},
        {"negative size", [&](QByteArray& b) { record_field(b, 0, 2, -1); }, false},
        {"no device path", [](QByteArray& b) { b[0] = '\0'; }, false},
    };

    scratch_dir dir;
    const std::string good = dir.file("good.sav");
    raw_recovery_c reference;
    set_device(reference, device);
    reference.on_found("jpg", 512, 100);
    ASSERT_EQ(reference.save_results(QByteArray::fromStdString(good)), 0);

    for (const damage& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bytes = valid;
        c.apply(bytes);
        const std::string path = dir.file("case.sav");
        put_file(path, bytes);

        raw_recovery_c engine;
        ASSERT_EQ(engine.read_results(QByteArray::fromStdString(good)), device);
        const QString result = engine.read_results(QByteArray::fromStdString(path));
        if (c.accepted) {
            EXPECT_EQ(result, other);
            EXPECT_EQ(engine.found_records().size(), size_t(bytes.size() - 256) / 32);
            continue;
        }
        EXPECT_TRUE(result.isEmpty());
        EXPECT_EQ(engine.scanned_device(), device);
        EXPECT_TRUE(same_records(engine.found_records(), reference.found_records()));
        EXPECT_EQ(all_names(engine), all_names(reference));
    }

    raw_recovery_c engine;
    EXPECT_TRUE(engine.read_results(QByteArray::fromStdString(dir.file("missing.sav"))).isEmpty());
    EXPECT_TRUE(engine.read_results(QByteArray::fromStdString(dir.path().string())).isEmpty());
}

} // namespace
