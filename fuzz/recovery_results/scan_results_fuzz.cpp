// Arbitrary bytes as a scan-result file: either refused, or records whose
// indexes are their positions, which survive writing and reading again. The
// file reader, which checks a chunk at a time, must agree with the decoder.
#include "recovery/scan_result_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

bool same_records(const std::vector<raw_file_s>& a, const std::vector<raw_file_s>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

const QByteArray& scratch_file()
{
    static const QByteArray name = [] {
        char pattern[] = "/dev/shm/scan_results_fuzz_XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd < 0)
            std::abort();
        close(fd);
        return QByteArray(pattern);
    }();
    return name;
}

void remove_scratch_file()
{
    std::remove(scratch_file().constData());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    scan_results_s results;
    const int decoded = decode_scan_results(bytes, &results);

    static const int cleanup = std::atexit(remove_scratch_file);
    (void)cleanup;
    std::FILE* f = std::fopen(scratch_file().constData(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
        std::abort();
    scan_results_s from_file;
    if (read_scan_result_file(scratch_file(), &from_file) != decoded)
        std::abort();
    if (decoded != 0)
        return 0;
    if (from_file.device_path != results.device_path || !same_records(from_file.records, results.records))
        std::abort();

    if (results.device_path.isEmpty() || results.records.size() != (size - 256) / 32)
        std::abort();
    for (size_t i = 0; i < results.records.size(); ++i)
        if (results.records[i].index != int64_t(i) || results.records[i].offset < 0 ||
            results.records[i].size < 0)
            std::abort();

    scan_results_s again;
    if (decode_scan_results(encode_scan_results(results.device_path, results.records), &again) != 0 ||
        !same_records(again.records, results.records))
        std::abort();
    return 0;
}
