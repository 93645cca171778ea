#include "ntscan.h"

#include "cluster_bitmap.h"
#include "device_source.h"
#include "extract.h"
#include "file_sink.h"
#include "mft_scan.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>

namespace ntscan {

struct scan_state {
    std::unique_ptr<device_source> source;
    ntfs_volume volume;
    std::unique_ptr<mft_scan> scan;
    std::unique_ptr<cluster_bitmap> bitmap;
};

namespace {

// "/dev/hd<letter><n>": disk letter - 'a', partition n.
bool parse_device_name(const char* name, uint32_t& disk, uint32_t& partition)
{
    if (!name) return false;
    std::string_view text(name);
    constexpr std::string_view prefix = "/dev/hd";
    if (text.size() < prefix.size() + 2 || text.substr(0, prefix.size()) != prefix) return false;
    char letter = text[prefix.size()];
    if (letter < 'a' || letter > 'z') return false;
    disk = uint32_t(letter - 'a');
    std::string_view number = text.substr(prefix.size() + 1);
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), partition);
    return error == std::errc() && end == number.data() + number.size();
}

scan_state* open_state(ntfs_scan_context_s* context)
{
    return context && context->open ? context->state : nullptr;
}

} // namespace

int ntfs_scan_startup(const char* device_name, ntfs_scan_context_s* context)
{
    if (!context) return error_bad_name;
    if (context->open) ntfs_scan_release(context);
    uint32_t disk = 0, partition = 0;
    if (!parse_device_name(device_name, disk, partition)) return error_bad_name;

    std::unique_ptr<scan_state> state(new (std::nothrow) scan_state);
    if (!state) return error_no_memory;
    state->source = device_source::open(disk, partition);
    if (!state->source) return error_no_device;
    if (int r = state->volume.mount(*state->source); r != 0) return r;
    state->scan = std::make_unique<mft_scan>(state->volume);
    state->bitmap = std::make_unique<cluster_bitmap>(state->volume);

    context->total = int64_t(state->volume.record_count());
    context->c1 = context->c2 = context->c3 = 0;
    context->state = state.release();
    context->open = 1;
    return 0;
}

int ntfs_scan_next(ntfs_scan_context_s* context, ntfs_entry_s* entry)
{
    scan_state* state = open_state(context);
    if (!state || !entry) return 0;
    std::memset(entry, 0, sizeof *entry);
    bool found = state->scan->next(*entry);
    context->c3 = uint32_t(std::min<uint64_t>(state->scan->position(), std::numeric_limits<uint32_t>::max()));
    return found ? 1 : 0;
}

int ntfs_scan_release(ntfs_scan_context_s* context)
{
    scan_state* state = open_state(context);
    if (!state) return -1;
    delete state;
    context->state = nullptr;
    context->open = 0;
    return 0;
}

int ntfs_scan_extract(ntfs_scan_context_s* context, int64_t record, const char* destination,
                      int32_t* free_share)
{
    scan_state* state = open_state(context);
    if (free_share) *free_share = 0;
    if (!state || record < 0 || !destination) return error_no_record;
    file_sink sink(destination);
    if (!sink.is_open()) return error_write;
    data_layout layout;
    int result = extract_file(state->volume, uint64_t(record), state->scan->extensions_of(uint64_t(record)), sink, layout);
    if (!sink.finish() && result == 0) result = error_write;
    if (result == 0 && free_share) *free_share = state->bitmap->free_share(layout);
    return result;
}

} // namespace ntscan
