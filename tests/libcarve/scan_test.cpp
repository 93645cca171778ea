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

namespace {

void put_le(std::vector<uint8_t>& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

// A zip of stored members (no checksums: the walk does not read them).
std::vector<uint8_t> stored_zip(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& members)
{
    std::vector<uint8_t> zip, directory;
    auto common = [](std::vector<uint8_t>& out, const std::string& name, size_t size) {
        put_le(out, 20, 2); // version needed
        put_le(out, 0, 2);  // flags
        put_le(out, 0, 2);  // stored
        put_le(out, 0, 4);  // time and date
        put_le(out, 0, 4);  // crc
        put_le(out, size, 4);
        put_le(out, size, 4);
        put_le(out, name.size(), 2);
        put_le(out, 0, 2); // extra
    };
    for (const auto& [name, data] : members) {
        const size_t at = zip.size();
        put_le(zip, 0x04034B50, 4);
        common(zip, name, data.size());
        zip.insert(zip.end(), name.begin(), name.end());
        zip.insert(zip.end(), data.begin(), data.end());
        put_le(directory, 0x02014B50, 4);
        put_le(directory, 20, 2); // version made by
        common(directory, name, data.size());
        put_le(directory, 0, 2 + 2 + 2 + 4); // comment, disk, attributes
        put_le(directory, at, 4);
        directory.insert(directory.end(), name.begin(), name.end());
    }
    const size_t directory_at = zip.size();
    zip.insert(zip.end(), directory.begin(), directory.end());
    put_le(zip, 0x06054B50, 4);
    put_le(zip, 0, 4);
    put_le(zip, members.size(), 2);
    put_le(zip, members.size(), 2);
    put_le(zip, directory.size(), 4);
    put_le(zip, directory_at, 4);
    put_le(zip, 0, 2);
    return zip;
}

} // namespace

TEST_F(scan, files_across_block_edges_are_found_and_files_inside_them_are_not)
{
    // A zip that starts just before the first 4 MiB edge and spans three
    // more, holding a picture at a sector start of its own; the samples
    // after it straddle the next edge.
    const sample* picture = nullptr;
    for (const sample& s : samples())
        if (s.extension == "png")
            picture = &s;
    ASSERT_NE(picture, nullptr);
    const uint64_t mib = 1 << 20;
    const std::string name = std::string(512 - 30 - 4, 'p') + ".png"; // the picture's data at 512
    const uint64_t zip_at = 4 * mib - 16 * 1024;
    const uint64_t zip_size_wanted = 16 * mib - 150 * 1024 - zip_at;
    std::vector<uint8_t> filler = junk(size_t(zip_size_wanted - picture->bytes.size() - 1024), 3);
    const sample zip{"big.zip", "zip", stored_zip({{name, picture->bytes}, {"filler.bin", filler}})};
    filler.clear();

    std::vector<placed> where;
    std::vector<const sample*> files = shuffled_samples(7);
    files.insert(files.begin(), &zip);
    std::vector<uint8_t> image = layout(files, where, 12);
    const uint64_t shift = zip_at - where.front().offset;
    image.insert(image.begin(), size_t(shift), 0);
    for (placed& p : where)
        p.offset += shift;
    ASSERT_LT(where[1].offset, 16 * mib);
    ASSERT_GT(where.back().offset, 16 * mib);
    const std::string path = dir.file("edges.img");
    write_image(path, image);

    EXPECT_EQ(deep_scan(path), expected(where));
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
