#include "mft_scan.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace ntscan {

namespace {

constexpr size_t chunk_bytes = 4u << 20;
constexpr int64_t root = 5;

} // namespace

bool describe_file(std::span<const opened_record> records, ntfs_entry_s& entry, uint64_t& parent_reference)
{
    file_summary s = summarize(records);
    const record_header& h = records.front().header;
    const bool deleted = !(h.flags & record_in_use), directory = h.flags & record_directory;
    const uint64_t number = records.front().number;
    if (!s.name && (!deleted || directory || s.size == 0)) return false;

    entry.id = int64_t(number);
    entry.size = int64_t(std::min<uint64_t>(s.size, INT64_MAX));
    entry.date2 = unix_seconds(s.times.created);
    entry.date1 = unix_seconds(s.times.modified);
    entry.accessed = unix_seconds(s.times.accessed);
    entry.flags = (directory ? entry_directory : entry_file) | (deleted ? uint32_t(entry_deleted) : 0u);
    if (!s.name) {
        parent_reference = root; // no sequence: nothing to check
        entry.parent = root;
        std::string name = "orphan-" + std::to_string(number);
        std::copy(name.begin(), name.end(), entry.name);
        entry.name[name.size()] = 0;
        return true;
    }
    parent_reference = s.name->parent;
    entry.parent = int64_t(reference_record(s.name->parent));
    size_t units = std::min<size_t>(s.name->name.size() / 2, std::size(entry.name) - 1);
    for (size_t i = 0; i < units; ++i)
        entry.name[i] = char16_t(s.name->name[2 * i] | s.name->name[2 * i + 1] << 8);
    entry.name[units] = 0;
    return true;
}

parent_state parent_state_of(const std::optional<record_header>& header)
{
    if (!header || header->base_record != 0) return {};
    return {header->sequence, true, (header->flags & record_in_use) != 0};
}

bool parent_matches(const parent_state& parent, uint16_t sequence)
{
    return parent.sequence == sequence || (!parent.in_use && parent.sequence == uint16_t(sequence + 1));
}

parent_state mft_scan::parent_of(uint64_t number)
{
    if (number < examined_.size()) return examined_[number];
    std::vector<uint8_t> buffer;
    auto record = volume_.read_record(number, buffer);
    return parent_state_of(record ? std::optional(record->header) : std::nullopt);
}

std::span<const uint64_t> mft_scan::extensions_of(uint64_t base) const
{
    auto it = extensions_.find(base);
    return it == extensions_.end() ? std::span<const uint64_t>() : std::span<const uint64_t>(it->second);
}

void mft_scan::check_parent(uint64_t reference, ntfs_entry_s& entry)
{
    uint16_t sequence = reference_sequence(reference);
    if (entry.parent == entry.id || sequence == 0) return; // the root, or a name that keeps no sequence
    parent_state parent = parent_of(uint64_t(entry.parent));
    if (parent.usable && !parent_matches(parent, sequence)) entry.parent = root;
}

bool mft_scan::fill_chunk()
{
    const uint64_t rs = volume_.geometry().record_size;
    chunk_first_ = next_;
    chunk_count_ = std::min<uint64_t>(std::max<uint64_t>(chunk_bytes / rs, 1), volume_.record_count() - next_);
    chunk_.resize(chunk_count_ * rs);
    // A chunk that cannot be read whole is read record by record, so one bad
    // spot costs only the records on it.
    chunk_failed_ = !volume_.read_records(chunk_first_, chunk_count_, chunk_.data());
    return chunk_count_ != 0;
}

std::optional<opened_record> mft_scan::open_in_chunk(uint64_t number)
{
    if (chunk_failed_) return volume_.read_record(number, single_);
    const uint64_t rs = volume_.geometry().record_size;
    std::span<uint8_t> bytes(chunk_.data() + (number - chunk_first_) * rs, rs);
    auto header = open_record(bytes);
    if (!header) return std::nullopt;
    return opened_record{number, bytes, *header};
}

bool mft_scan::next(ntfs_entry_s& entry)
{
    while (next_ < volume_.record_count()) {
        if (next_ >= chunk_first_ + chunk_count_ && !fill_chunk()) return false;
        uint64_t number = next_++;
        auto record = open_in_chunk(number);
        examined_.push_back(parent_state_of(record ? std::optional(record->header) : std::nullopt));
        if (!record) continue;
        if (record->header.base_record != 0) {
            extensions_[reference_record(record->header.base_record)].push_back(number);
            continue;
        }
        uint64_t parent_reference = 0;
        bool named;
        if (!find_attribute_list(*record)) {
            named = describe_file(std::span(&*record, 1), entry, parent_reference);
        } else {
            loaded_file file;
            file.records.push_back(*record);
            volume_.load_extensions(file);
            named = describe_file(file.records, entry, parent_reference);
        }
        if (!named) continue;
        check_parent(parent_reference, entry);
        return true;
    }
    return false;
}

} // namespace ntscan
