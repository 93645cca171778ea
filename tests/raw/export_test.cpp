#include "recovery/copy_file.h"
#include "recovery/recover_item.h"
#include "recovery/recovery_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSemaphore>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

using test_support::read_file;
using test_support::scratch_dir;

namespace {

// An engine that writes "content <id>" for the ids it knows and remembers
// every call.
class scripted_engine : public recovery_base_c {
public:
    void set_volume(const volume_item_s&) override {}
    double progress() const override { return 0; }
    void set_progress(double) override {}
    void set_stop(int) override {}
    int paused() const override { return 0; }
    void set_paused(int) override {}
    int64_t entries_read() const override { return 0; }
    void reset() override {}

    int recover_file(int64_t id, QString path) override
    {
        if (hold)
            hold->acquire();
        recovered.push_back({id, path});
        if (failing.count(id))
            return -1;
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return -1;
        out.write(("content " + std::to_string(id)).c_str());
        return 0;
    }
    int file_path(int64_t id, std::wstring* out) const override
    {
        const auto it = live_paths.find(id);
        if (it == live_paths.end())
            return -1;
        out->append(it->second);
        return 0;
    }

    std::vector<std::pair<int64_t, QString>> recovered;
    std::set<int64_t> failing;
    std::map<int64_t, std::wstring> live_paths;
    QSemaphore* hold = nullptr;

protected:
    void run() override {}
};

recovery_item_s row(const QString& name, int64_t id, uint32_t attributes = 0, bool checked = false)
{
    recovery_item_s item;
    item.name = name;
    item.id = id;
    item.attributes = attributes;
    item.checked = checked;
    return item;
}

std::string text_of(const QString& path)
{
    const std::vector<uint8_t> bytes = read_file(path.toStdString());
    return std::string(bytes.begin(), bytes.end());
}

QDir folder_of(const scratch_dir& dir)
{
    return QDir(QString::fromStdString(dir.path().string()));
}

TEST(RecoverItem, DispatchesByEngineKind)
{
    scratch_dir dir;
    const QDir folder = folder_of(dir);
    const std::string live = dir.file("live-source");
    test_support::make_sparse_file(live, 0);
    test_support::write_bytes(live, 0, {'l', 'i', 'v', 'e'});

    struct dispatch {
        const char* what;
        engine_kind kind;
        uint32_t attributes;
        int64_t id;
        int result;
        bool engine_writes;
        std::string content; // of the destination; empty: none
    };
    const dispatch cases[] = {
        {"fat", engine_fat, 0, 7, 0, true, "content 7"},
        {"raw", engine_raw, 0, 3, 0, true, "content 3"},
        {"deleted ntfs file", engine_ntfs, ntfs_flag_deleted, 12, 0, true, "content 12"},
        {"live ntfs file", engine_ntfs, 0, 20, 0, false, "live"},
        {"live ntfs file with no path", engine_ntfs, 0, 21, -1, false, ""},
        {"live ntfs file on an image volume", engine_ntfs, 0, 22, -1, false, ""},
        {"no engine", engine_none, 0, 7, -1, false, ""},
    };
    for (const dispatch& c : cases) {
        SCOPED_TRACE(c.what);
        scripted_engine engine;
        engine.live_paths[20] = std::filesystem::path(live).wstring();
        engine.live_paths[22] = L"/tmp/disk.img#1\\Documents\\a.txt";
        const QString destination = folder.filePath("out.txt");
        QFile::remove(destination);

        EXPECT_EQ(recover_item(c.kind, engine, folder, row("out.txt", c.id, c.attributes)), c.result);
        ASSERT_EQ(engine.recovered.size(), c.engine_writes ? 1u : 0u);
        if (c.engine_writes) {
            EXPECT_EQ(engine.recovered[0].first, c.id);
            EXPECT_EQ(engine.recovered[0].second, destination);
        }
        EXPECT_EQ(QFileInfo::exists(destination), !c.content.empty());
        if (!c.content.empty()) {
            EXPECT_EQ(text_of(destination), c.content);
        }
    }
}

TEST(RecoverItem, NamesNeverLeaveTheFolder)
{
    scratch_dir dir;
    const QDir folder(QString::fromStdString(dir.file("dest")));
    ASSERT_TRUE(folder.mkpath("."));
    for (const char* name : {"../escape", "..", ".", "a/b", "a\\b", "/etc/passwd", "bad\x01name", ""}) {
        SCOPED_TRACE(name);
        scripted_engine engine;
        EXPECT_EQ(recover_item(engine_fat, engine, folder, row(QString::fromLatin1(name), 1)), 0);
        ASSERT_EQ(engine.recovered.size(), 1u);
        const QFileInfo written(engine.recovered[0].second);
        EXPECT_EQ(written.absolutePath(), folder.absolutePath());
        EXPECT_TRUE(written.isFile());
    }
    EXPECT_EQ(QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files).size(), 0);
}

TEST(CopyFile, CopiesEveryByte)
{
    scratch_dir dir;
    for (const size_t size : {size_t(0), size_t(1), size_t(131072), size_t(300001)}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> content(size);
        for (size_t i = 0; i < size; ++i)
            content[i] = uint8_t(i * 7 + i / 131072);
        const std::string source = dir.file("source");
        const std::string destination = dir.file("copy");
        test_support::make_sparse_file(source, 0);
        test_support::write_bytes(source, 0, content);
        ASSERT_EQ(copy_file(std::filesystem::path(source).wstring(),
                            std::filesystem::path(destination).wstring()),
                  0);
        EXPECT_EQ(read_file(destination), content);
    }
}

TEST(CopyFile, ReportsEveryFailure)
{
    scratch_dir dir;
    const std::string source = dir.file("source");
    test_support::make_sparse_file(source, 0);
    test_support::write_bytes(source, 0, {'k', 'e', 'e', 'p'});
    const std::string other = dir.file("other");
    struct failure {
        const char* what;
        std::string from, to;
        bool needs_device;
    };
    const failure cases[] = {
        {"missing source", dir.file("missing"), other, false},
        {"source is a folder", dir.path().string(), other, false},
        {"destination cannot be created", source, dir.file("no/folder/x"), false},
        {"destination is the source", source, dir.path().string() + "/./source", false},
        {"read failure", "/proc/self/mem", other, true},
        {"write failure", source, "/dev/full", true},
    };
    for (const failure& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needs_device && !std::filesystem::exists(c.from == source ? c.to : c.from))
            continue;
        std::filesystem::remove(other);
        EXPECT_EQ(copy_file(std::filesystem::path(c.from).wstring(),
                            std::filesystem::path(c.to).wstring()),
                  -1);
        if (c.to == other && c.what != std::string("read failure")) {
            EXPECT_FALSE(std::filesystem::exists(other));
        }
    }
    EXPECT_EQ(read_file(source), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST(RecoveryFileExport, WritesTheCheckedRowsOfItsOwnCopyAndNamesTheFolder)
{
    scratch_dir dir;
    const QDir folder = folder_of(dir);
    scripted_engine engine;
    engine.failing = {2};
    std::vector<recovery_item_s> rows = {
        row("one", 1, 0, true), row("two", 2, 0, true), row("skipped", 4), row("three", 3, 0, true)};

    recovery_file_c exporter;
    std::vector<QString> opened;
    QObject::connect(&exporter, &recovery_file_c::open_folder,
                     [&](const QString& path) { opened.push_back(path); });
    ASSERT_TRUE(exporter.start_export(folder, rows, engine_raw, engine));
    rows.clear(); // the page rebuilding its table meanwhile
    ASSERT_TRUE(exporter.wait(10000));

    ASSERT_EQ(engine.recovered.size(), 3u);
    EXPECT_EQ(engine.recovered[0].first, 1);
    EXPECT_EQ(engine.recovered[1].first, 2);
    EXPECT_EQ(engine.recovered[2].first, 3);
    EXPECT_EQ(text_of(folder.filePath("one")), "content 1");
    EXPECT_EQ(text_of(folder.filePath("three")), "content 3");
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("two")));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("skipped")));
    EXPECT_EQ(opened, std::vector<QString>{folder.path()});
}

TEST(RecoveryFileExport, APressWhileRunningStartsNothing)
{
    scratch_dir dir;
    QSemaphore hold;
    scripted_engine engine;
    engine.hold = &hold;
    const std::vector<recovery_item_s> rows = {row("one", 1, 0, true)};

    recovery_file_c exporter;
    ASSERT_TRUE(exporter.start_export(folder_of(dir), rows, engine_fat, engine));
    EXPECT_FALSE(exporter.start_export(folder_of(dir), rows, engine_fat, engine));
    hold.release();
    ASSERT_TRUE(exporter.wait(10000));
    EXPECT_EQ(engine.recovered.size(), 1u);
}

} // namespace
