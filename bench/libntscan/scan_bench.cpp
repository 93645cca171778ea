// Records per second of a full library scan (startup and every record),
// against `fls -r -d` of The Sleuth Kit on the same image in the same run.
//
// The image is the Windows-made sample with its MFT grown over the free
// clusters behind it and filled with deleted copies of a small file's record.
#include "libntscan/ntscan.h"
#include "test_support.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace ts = test_support;

namespace {

// Where the sample keeps things (istat): partition at sector 128, MFT at
// cluster 21589 in 64 clusters with 43,114 free clusters right behind it;
// record 0's $DATA attribute at offset 256, record 43 a small resident file.
constexpr uint64_t partition = 128 * 512;
constexpr uint64_t mft = partition + 21589 * 4096ull;
constexpr uint64_t data_attribute = 256;
constexpr uint64_t grown_clusters = 64 + 5000;
constexpr uint64_t records = grown_clusters * 4; // 1 KiB records

void put64(std::vector<uint8_t>& b, size_t at, uint64_t v) { for (int i = 0; i < 8; ++i) b[at + i] = uint8_t(v >> 8 * i); }

void grow_mft(const std::string& image)
{
    auto record0 = ts::read_bytes(image, mft, 1024);
    uint8_t* a = &record0[data_attribute];
    put64(record0, data_attribute + 0x18, grown_clusters - 1);
    for (size_t field : {0x28, 0x30, 0x38}) put64(record0, data_attribute + field, grown_clusters * 4096);
    size_t runs = a[0x20] | a[0x21] << 8;
    const uint8_t run[] = {0x22, uint8_t(grown_clusters), uint8_t(grown_clusters >> 8), 0x55, 0x54, 0x00};
    std::memcpy(a + runs, run, sizeof run);
    ts::write_bytes(image, mft, record0);

    auto deleted = ts::read_bytes(image, mft + 43 * 1024, 1024);
    deleted[0x16] &= 0xFE;
    std::vector<uint8_t> block(1024 * 1024);
    for (size_t i = 0; i < block.size(); i += 1024) std::memcpy(&block[i], deleted.data(), 1024);
    for (uint64_t n = 256; n < records; n += 1024) ts::write_bytes(image, mft + n * 1024, block);
}

struct fixture {
    ts::scratch_dir dir;
    std::string image = dir.file("grown.raw");
    fixture()
    {
        ts::unpack_test_data("ntfs-lastaccess.raw.gz", image);
        grow_mft(image);
        ts::use_disks({image});
    }
};

fixture& shared_image()
{
    static fixture f;
    return f;
}

double library_seconds = 0, fls_seconds = 0;

void library_scan(benchmark::State& state)
{
    shared_image();
    int64_t seen = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        ntscan::ntfs_scan_context_s ctx{};
        if (ntscan::ntfs_scan_startup("/dev/hda1", &ctx) != 0) {
            state.SkipWithError("startup failed");
            return;
        }
        ntscan::ntfs_entry_s entry;
        while (ntscan::ntfs_scan_next(&ctx, &entry)) ++seen;
        ntscan::ntfs_scan_release(&ctx);
        library_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    library_seconds /= double(state.iterations());
    state.counters["records_per_s"] = benchmark::Counter(double(records) * double(state.iterations()),
                                                         benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(seen);
}

void fls_scan(benchmark::State& state)
{
    if (!ts::have_program("fls")) {
        state.SkipWithError("fls is not installed");
        return;
    }
    const std::string command = "fls -r -d -o 128 '" + shared_image().image + "' > /dev/null";
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        ts::run(command);
        fls_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    fls_seconds /= double(state.iterations());
    state.counters["records_per_s"] = benchmark::Counter(double(records) * double(state.iterations()),
                                                         benchmark::Counter::kIsRate);
}

BENCHMARK(library_scan)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(fls_scan)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (library_seconds > 0 && fls_seconds > 0)
        std::printf("%llu records: library scan %.1f ms, fls -r -d %.1f ms, speed ratio %.2f\n",
                    (unsigned long long)records, library_seconds * 1e3, fls_seconds * 1e3,
                    fls_seconds / library_seconds);
    benchmark::Shutdown();
    return 0;
}
