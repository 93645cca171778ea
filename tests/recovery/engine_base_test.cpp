#include "recovery/recovery_stop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>

namespace {

TEST(NullEngine, AnswersEverythingAndDoesNothing)
{
    recovery_stop_c engine;
    volume_item_s v;
    v.mount_path = "E:\\";
    engine.set_volume(v);
    engine.set_paused(1);
    engine.set_stop(3);
    engine.set_progress(0.5);
    engine.reset();
    EXPECT_EQ(engine.progress(), 0.0);
    EXPECT_EQ(engine.stop_code(), stop_nothing);
    EXPECT_EQ(engine.paused(), 0);
    EXPECT_EQ(engine.entries_read(), 0);
    EXPECT_EQ(engine.files_found(), 0);

    QTemporaryDir dir;
    const QString target = dir.filePath("out.bin");
    EXPECT_EQ(engine.recover_file(1, target), 0);
    EXPECT_FALSE(QFile::exists(target));
    std::wstring path = L"kept";
    EXPECT_EQ(engine.file_path(1, &path), 0);
    EXPECT_EQ(path, L"kept");

    recovery_base_c& base = engine;
    EXPECT_EQ(base.stop_code(), stop_nothing);
}

// An engine whose scan runs until it is told to stop.
class endless_engine_c : public recovery_base_c {
public:
    ~endless_engine_c() override { stop_and_wait(); }
    void set_volume(const volume_item_s&) override {}
    double progress() const override { return 0; }
    void set_progress(double) override {}
    void set_stop(int code) override { stop = code; }
    int stop_code() const override { return stop; }
    int paused() const override { return 0; }
    void set_paused(int) override {}
    int64_t entries_read() const override { return 0; }
    void reset() override { stop = 0; }
    int recover_file(int64_t, QString) override { return -1; }

    std::atomic<bool> started{false};

protected:
    void run() override
    {
        started = true;
        while (stop == 0)
            msleep(1);
    }

private:
    std::atomic<int> stop{0};
};

TEST(EngineBase, AnEngineDestroyedMidScanStopsFirst)
{
    auto* engine = new endless_engine_c;
    engine->start();
    while (!engine->started)
        QThread::msleep(1);
    delete engine; // a running QThread may not be destroyed
    SUCCEED();
}

} // namespace
