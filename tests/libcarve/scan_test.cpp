// The six operations over disk images: every file found where it lies with
// its true size and read back byte for byte, through an image file and
// through a volume of the image backend; pause, stop, configuration, and
// the device never written.
#include "libcarve/libcarve.h"
#include "platform/volumes.h"
#include "samples.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <thread>

using namespace libcarve_test;
using test_support::scratch_dir;

namespace {

struct found {
    std::string extension;
    int64_t offset;
    int64_t size;
    bool operator==(const found&) const = default;
};

struct collector {
    std::vector<found> files;
    static void on_found(void* user, const char* extension, int64_t offset, int64_t size)
    {
        static_cast<collector*>(user)->files.push_back({extension, offset, size});
    }
};

std::vector<found> deep_scan(const std::string& device, int* result = nullptr, double* progress = nullptr)
{
    collector c;
    libcarve::carve_control_s control;
    control.user = &c;
    control.callback = collector::on_found;
    const int r = libcarve::scan(&control, device.c_str());
    if (result)
        *result = r;
    if (progress)
        *progress = control.progress;
    return c.files;
}

std::vector<found> expected(const std::vector<placed>& where, int64_t base = 0)
{
    std::vector<found> out;
    for (const placed& p : where)
        out.push_back({p.file->extension, int64_t(p.offset) - base, int64_t(p.file->bytes.size())});
    return out;
}

// What the raw engine does to write a found file out: seek, then read 8 KiB at a time.
std::vector<uint8_t> recover(const std::string& device, int64_t offset, int64_t size)
{
    std::vector<uint8_t> out;
    libcarve::carve_handle* h = libcarve::open(device.c_str());
    if (!h)
        return out;
    if (libcarve::seek(h, offset, 0) >= 0) {
        std::vector<uint8_t> buffer(8192);
        for (int64_t left = size; left > 0;) {
            const int32_t got = libcarve::read(h, buffer.data(), 8192);
            if (got <= 0)
                break;
            out.insert(out.end(), buffer.begin(), buffer.begin() + std::min<int64_t>(got, left));
            left -= got;
        }
    }
    libcarve::close(h);
    return out;
}

void write_image(const std::string& path, const std::vector<uint8_t>& bytes)
{
    test_support::make_sparse_file(path, bytes.size());
    test_support::write_bytes(path, 0, bytes);
}

std::vector<const sample*> shuffled_samples(uint32_t seed)
{
    std::vector<const sample*> files;
    for (const sample& s : samples())
        files.push_back(&s);
    std::shuffle(files.begin(), files.end(), std::mt19937(seed));
    return files;
}

class scan : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (samples().empty())
            GTEST_SKIP() << "python3 is needed to make the samples";
        libcarve::initialise(nullptr);
    }
    void TearDown() override { libcarve::initialise(nullptr); }
    scratch_dir dir;
};

} // namespace

TEST_F(scan, finds_every_file_with_its_true_size_and_reads_it_back_exactly)
{
    std::vector<placed> where;
    const std::vector<uint8_t> image = layout(shuffled_samples(5), where, 11);
    const std::string path = dir.file("wiped.img");
    write_image(path, image);

    double progress = 0;
    const std::vector<found> files = deep_scan(path, nullptr, &progress);
    EXPECT_EQ(files, expected(where));
    EXPECT_EQ(progress, 1.0);
    for (const placed& p : where) {
        SCOPED_TRACE(p.file->name);
        EXPECT_EQ(recover(path, int64_t(p.offset), int64_t(p.file->bytes.size())), p.file->bytes);
    }
    EXPECT_EQ(test_support::read_file(path), image); // nothing written
}

TEST_F(scan, offsets_of_a_volume_count_from_the_volume_start)
{
    // An MBR disk with one partition at sector 2048 holding the files.
    std::vector<placed> where;
    std::vector<const sample*> few;
    for (const sample& s : samples())
        if (s.extension == "png" || s.extension == "pdf" || s.extension == "docx")
            few.push_back(&s);
    const std::vector<uint8_t> content = layout(few, where, 3);
    const uint64_t start = 2048 * 512;
    const uint32_t sectors = uint32_t((content.size() + 511) / 512);
    std::vector<uint8_t> mbr(512, 0);
    mbr[446 + 4] = 0x07;
    for (int i = 0; i < 4; ++i) {
        mbr[446 + 8 + i] = uint8_t(2048 >> (8 * i));
        mbr[446 + 12 + i] = uint8_t(sectors >> (8 * i));
    }
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    const std::string disk = dir.file("disk.img");
    test_support::make_sparse_file(disk, start + uint64_t(sectors) * 512 + (1 << 20));
    test_support::write_bytes(disk, 0, mbr);
    test_support::write_bytes(disk, start, content);
    test_support::use_disks({disk});

    std::string volume = platform::volumes::volume_for_partition(0, 1);
    ASSERT_FALSE(volume.empty());
    volume.pop_back(); // the engine passes the GUID path without its backslash
    EXPECT_EQ(deep_scan(volume), expected(where));
    const placed& last = where.back();
    EXPECT_EQ(recover(volume, int64_t(last.offset), int64_t(last.file->bytes.size())), last.file->bytes);
    // The whole disk holds the same files, at disk offsets.
    double progress = 0;
    EXPECT_EQ(deep_scan("\\\\.\\PhysicalDrive0", nullptr, &progress), expected(where, -int64_t(start)));
    EXPECT_EQ(progress, 1.0);
    test_support::use_disks({});
}

TEST(device_reads, seek_is_exact_at_any_byte)
{
    scratch_dir dir;
    const std::vector<uint8_t> image = junk(3 << 20, 8);
    const std::string path = dir.file("bytes.img");
    write_image(path, image);
    for (int64_t offset : {0LL, 1LL, 511LL, 513LL, 4097LL, (1LL << 20) + 7, (3LL << 20) - 100}) {
        SCOPED_TRACE(offset);
        const std::vector<uint8_t> got = recover(path, offset, 1000);
        const size_t n = size_t(std::min<int64_t>(1000, int64_t(image.size()) - offset));
        EXPECT_EQ(got, std::vector<uint8_t>(image.begin() + offset, image.begin() + offset + ptrdiff_t(n)));
    }
}

TEST_F(scan, configuration_turns_types_off_and_bounds_their_size)
{
    std::vector<placed> where;
    const std::vector<uint8_t> image = layout(shuffled_samples(9), where, 4);
    const std::string path = dir.file("conf.img");
    write_image(path, image);
    const std::string conf = dir.file("Zorvane.conf");
    std::ofstream(conf) << "jpg off\npng max 100\ngz min 10K\nthis line is wrong\n";
    const std::string log = dir.file("debug.log");
    ::setenv("ZORVANE_DEBUG_LOG", log.c_str(), 1);
    EXPECT_EQ(libcarve::initialise(conf.c_str()), 0);
    ::unsetenv("ZORVANE_DEBUG_LOG");
    const std::vector<uint8_t> logged = test_support::read_file(log);
    EXPECT_NE(std::string(logged.begin(), logged.end()).find("this line is wrong"), std::string::npos);

    std::vector<found> wanted;
    for (const found& f : expected(where))
        if (f.extension != "jpg" && f.extension != "png" && !(f.extension == "gz" && f.size < 10240))
            wanted.push_back(f);
    EXPECT_EQ(deep_scan(path), wanted);

    EXPECT_EQ(libcarve::initialise(dir.file("missing.conf").c_str()), -1); // defaults again
    EXPECT_EQ(deep_scan(path), expected(where));
}

TEST_F(scan, pause_holds_the_scan_and_stop_ends_it)
{
    std::vector<placed> where;
    const std::vector<uint8_t> image = layout(shuffled_samples(2), where, 6);
    const std::string path = dir.file("pause.img");
    write_image(path, image);

    collector c;
    libcarve::carve_control_s control;
    control.user = &c;
    control.callback = collector::on_found;
    std::atomic_ref<int32_t>(control.paused).store(1);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        libcarve::scan(&control, path.c_str());
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(done.load());
    EXPECT_EQ(std::atomic_ref<double>(control.progress).load(), 0.0);
    std::atomic_ref<int32_t>(control.stop).store(1);
    worker.join();
    EXPECT_TRUE(c.files.empty());

    // A scan asked to stop before it starts reports nothing.
    libcarve::carve_control_s stopped;
    stopped.user = &c;
    stopped.callback = collector::on_found;
    stopped.stop = 1;
    EXPECT_EQ(libcarve::scan(&stopped, path.c_str()), 0);
    EXPECT_TRUE(c.files.empty());
}

TEST(device_reads, a_device_that_cannot_be_read_is_refused)
{
    scratch_dir dir;
    int result = 0;
    EXPECT_TRUE(deep_scan(dir.file("absent.img"), &result).empty());
    EXPECT_EQ(result, -1);
    EXPECT_EQ(libcarve::open(dir.file("absent.img").c_str()), nullptr);
    EXPECT_EQ(libcarve::seek(nullptr, 0, 0), -1);
    EXPECT_EQ(libcarve::read(nullptr, nullptr, 10), 0);

    const std::string path = dir.file("small.img");
    write_image(path, junk(4096, 1));
    libcarve::carve_handle* h = libcarve::open(path.c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(libcarve::seek(h, 10, 1), -1); // only from the start
    EXPECT_EQ(libcarve::seek(h, -1, 0), -1);
    EXPECT_EQ(libcarve::seek(h, 5000, 0), 5000);
    char buffer[16];
    EXPECT_EQ(libcarve::read(h, buffer, sizeof buffer), 0); // past the end
    EXPECT_EQ(libcarve::close(h), 0);
}
