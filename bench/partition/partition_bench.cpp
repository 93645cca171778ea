// Partition search throughput as a share of the sequential read throughput of
// the same image, read the same way (unbuffered 128 KiB reads), in one run.
//
// The image is a real file of non-zero pseudo-random bytes, written once and
// kept: a sparse file would read as zeros without touching the disk. It holds
// no boot sector, so the search reads all of it, as on an empty disk. Put it
// on a disk file system (not tmpfs), where unbuffered reads bypass the page
// cache: ZORVANE_BENCH_IMAGE (default ./partition-bench.img), size in GiB
// ZORVANE_BENCH_GIB (default 4).
#include "partition/aligned_buffer.h"
#include "partition/partition_repair.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint32_t read_bytes = 131072;

std::string env_or(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

bool write_image(const std::string& path, uint64_t size)
{
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) == size && !ec)
        return true;
    std::fprintf(stderr, "writing %s (%llu bytes), once\n", path.c_str(),
                 static_cast<unsigned long long>(size));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    std::vector<uint64_t> block(1 << 17); // 1 MiB
    uint64_t state = 0x9E3779B97F4A7C15u;
    bool ok = true;
    for (uint64_t done = 0; ok && done < size; done += block.size() * 8) {
        for (uint64_t& word : block) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            word = state;
        }
        ok = ::write(fd, block.data(), block.size() * 8) == ssize_t(block.size() * 8);
    }
    ok = ok && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

drive_item_s bench_drive;

void sequential_read(benchmark::State& state)
{
    const aligned_buffer buffer = make_aligned_buffer(read_bytes);
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        platform::device::handle* disk = platform::device::open(
            bench_drive.path.toStdString(), platform::device::generic_read,
            platform::device::no_buffering);
        if (!disk) {
            state.SkipWithError("cannot open the image");
            return;
        }
        uint64_t offset = 0;
        uint32_t got = 0;
        while (offset < bench_drive.size &&
               platform::device::read(disk, buffer.get(), read_bytes, &got) && got == read_bytes)
            offset += got;
        platform::device::close(disk);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bench_drive.size));
}

void partition_search(benchmark::State& state)
{
    partition_repair_c worker;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        if (worker.scan(bench_drive) != 0) {
            state.SkipWithError("cannot open the image");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bench_drive.size));
}

// Keeps the median throughput of each benchmark for the ratio.
class ratio_reporter : public benchmark::ConsoleReporter {
public:
    ratio_reporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.aggregate_name == "median" && run.counters.count("bytes_per_second"))
                median[run.run_name.function_name] = run.counters.at("bytes_per_second");
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> median;
};

} // namespace

int main(int argc, char** argv)
{
    const std::string image =
        std::filesystem::absolute(env_or("ZORVANE_BENCH_IMAGE", "partition-bench.img")).string();
    const uint64_t size = std::stoull(env_or("ZORVANE_BENCH_GIB", "4")) << 30;
    if (!write_image(image, size)) {
        std::fprintf(stderr, "cannot write %s\n", image.c_str());
        return 1;
    }
    setenv("ZORVANE_DISKS", image.c_str(), 1);
    enumerate_drives();
    if (drive_list().size() < 2) {
        std::fprintf(stderr, "the image backend does not offer %s\n", image.c_str());
        return 1;
    }
    bench_drive = drive_list()[1];

    for (auto* b : {benchmark::RegisterBenchmark("sequential_read", sequential_read),
                    benchmark::RegisterBenchmark("partition_search", partition_search)})
        b->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);

    // Alternate the two so that both see the same state of the machine.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    ratio_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double read = reporter.median["sequential_read"];
    const double search = reporter.median["partition_search"];
    if (read > 0 && search > 0)
        std::printf("partition search / sequential read throughput: %.3f (%.0f / %.0f MB/s, %s)\n",
                    search / read, search / 1e6, read / 1e6, image.c_str());
    return 0;
}
