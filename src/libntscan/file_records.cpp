#include "file_records.h"

#include <algorithm>

namespace ntscan {

namespace {

bool is_unnamed_data(const attribute_view& a) { return a.type == attr_data && a.name_length == 0; }

bool sequence_matches(uint16_t expected, uint16_t actual, bool freed)
{
    return actual == expected || (freed && actual == uint16_t(expected + 1));
}

} // namespace

file_summary summarize(std::span<const opened_record> records)
{
    file_summary s;
    bool have_times = false, have_size = false;
    for (const opened_record& r : records) {
        attribute_cursor cursor(r.bytes, r.header);
        attribute_view a;
        while (cursor.next(a)) {
            if (a.type == attr_standard_information && !a.non_resident && !have_times) {
                if (auto t = parse_standard_information(a.value)) {
                    s.times = *t;
                    have_times = true;
                }
            } else if (a.type == attr_file_name && !a.non_resident) {
                auto n = parse_file_name(a.value);
                if (n && (!s.name || better_name(*n, *s.name))) s.name = n;
            } else if (is_unnamed_data(a) && !have_size) {
                if (!a.non_resident) {
                    s.size = a.value.size();
                    have_size = true;
                } else if (a.lowest_vcn == 0) {
                    s.size = a.data_size;
                    have_size = true;
                }
            }
        }
    }
    return s;
}

std::optional<file_data> find_data(std::span<const opened_record> records, uint64_t total_clusters)
{
    std::vector<attribute_view> extents;
    for (const opened_record& r : records) {
        attribute_cursor cursor(r.bytes, r.header);
        attribute_view a;
        while (cursor.next(a)) {
            if (!is_unnamed_data(a)) continue;
            if (!a.non_resident) {
                file_data d;
                d.resident = true;
                d.value = a.value;
                return d;
            }
            extents.push_back(a);
        }
    }
    std::stable_sort(extents.begin(), extents.end(),
                     [](const attribute_view& x, const attribute_view& y) { return x.lowest_vcn < y.lowest_vcn; });
    if (extents.empty() || extents.front().lowest_vcn != 0) return std::nullopt;

    file_data d;
    const attribute_view& first = extents.front();
    d.layout.data_size = first.data_size;
    d.layout.initialized_size = std::min(first.initialized_size, first.data_size);
    if ((first.flags & attr_compressed) && first.compression_unit != 0 && first.compression_unit <= 8)
        d.layout.unit_clusters = 1u << first.compression_unit;
    for (const attribute_view& e : extents) {
        if (e.lowest_vcn != d.layout.mapped_clusters()) continue; // a stale copy of an extent
        if (!decode_run_list(e.run_list, e.lowest_vcn, total_clusters, d.layout.runs)) break;
    }
    return d;
}

std::optional<attribute_view> find_attribute_list(const opened_record& base)
{
    attribute_cursor cursor(base.bytes, base.header);
    attribute_view a;
    while (cursor.next(a))
        if (a.type == attr_attribute_list) return a;
    return std::nullopt;
}

bool extension_owned_by(const opened_record& base, const opened_record& extension)
{
    uint64_t owner = extension.header.base_record;
    return extension.number != base.number && reference_record(owner) == base.number &&
           sequence_matches(reference_sequence(owner), base.header.sequence, !(base.header.flags & record_in_use));
}

bool extension_belongs(const opened_record& base, uint64_t reference, const opened_record& extension)
{
    return extension_owned_by(base, extension) &&
           sequence_matches(reference_sequence(reference), extension.header.sequence,
                            !(extension.header.flags & record_in_use));
}

} // namespace ntscan
