// A small volume whose MFT is overwritten by arbitrary bytes: mount, a
// full scan and the extraction of every record, compressed, sparse and
// split files among the bytes the fuzzer starts from.
#include "libntscan/extract.h"
#include "libntscan/mft_scan.h"
#include "libntscan/ntfs_volume.h"
#include "ntfs_builder.h"

using ntfs_fixture::bytes;
using ntfs_fixture::reference;

namespace {

class counting_sink final : public ntscan::data_sink {
public:
    bool write(const uint8_t*, size_t n) override { length += n; return true; }
    bool zeros(uint64_t n) override { length += n; return true; }
    uint64_t length = 0;
};

const bytes& template_volume()
{
    static const bytes image = [] {
        ntfs_fixture::volume v({512, 4096, 1024, 128, 32});
        const int64_t c = int64_t(v.first_free_cluster());
        bytes text(40000);
        for (size_t i = 0; i < text.size(); ++i) text[i] = uint8_t("some text "[i % 10]);
        v.write(uint64_t(c), ntfs_fixture::lznt1_compress(text));
        v.put(24, ntfs_fixture::record(0, 2).standard_information(1, 2).file_name(reference(5, 5), u"packed")
                      .non_resident(0x80, {{c, 4}, {-1, 12}}, text.size(), 0, 4, 0x0001));
        v.put(25, ntfs_fixture::record(1).file_name(reference(5, 5), u"sparse")
                      .non_resident(0x80, {{c + 8, 1}, {-1, 3}, {c + 9, 1}}, 5 * 4096, 0, 0, 0x8000));
        v.put(26, ntfs_fixture::record(0, 2).resident(0x20, ntfs_fixture::attribute_list(
                          {{0x30, 0, reference(27, 1)}, {0x80, 0, reference(26, 1)}, {0x80, 1, reference(27, 1)}}))
                      .non_resident(0x80, {{c + 10, 1}}, 2 * 4096));
        v.put(27, ntfs_fixture::record(0, 2, reference(26, 1)).file_name(reference(5, 5), u"split")
                      .non_resident(0x80, {{c + 11, 1}}, 0, 1));
        v.add_file(28, 5, u"small", bytes(300, 'x'), -1);
        return v.build();
    }();
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    bytes image = template_volume();
    const size_t mft = 4 * 4096, mft_bytes = 32 * 1024;
    // The fuzzer's bytes go over the MFT, from the record its first byte names.
    if (size == 0) return 0;
    size_t at = mft + (data[0] % 32) * 1024;
    size_t n = std::min(size - 1, mft + mft_bytes - at);
    std::copy(data + 1, data + 1 + n, image.begin() + at);

    ntscan::memory_source source(image);
    ntscan::ntfs_volume volume;
    if (volume.mount(source) != 0) return 0;
    ntscan::mft_scan scan(volume);
    ntscan::ntfs_entry_s entry;
    while (scan.next(entry)) {
        counting_sink sink;
        ntscan::data_layout layout;
        ntscan::extract_file(volume, uint64_t(entry.id), scan.extensions_of(uint64_t(entry.id)), sink, layout);
    }
    return 0;
}
