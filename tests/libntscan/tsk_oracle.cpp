#include "tsk_oracle.h"

#include "test_support.h"

#include <sstream>

namespace tsk_oracle {

namespace {

std::string utf8(const char16_t* name)
{
    std::string out;
    for (; *name; ++name) {
        char32_t c = *name;
        if (c < 0x80) out += char(c);
        else if (c < 0x800) out += char(0xC0 | c >> 6), out += char(0x80 | (c & 0x3F));
        else out += char(0xE0 | c >> 12), out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

std::string listing::path(int64_t id) const
{
    std::string p;
    for (int depth = 0; id != 5 && depth < 64; ++depth) {
        auto it = entries.find(id);
        if (it == entries.end()) return "?";
        p = utf8(it->second.name) + (p.empty() ? "" : "/") + p;
        id = it->second.parent;
    }
    return p;
}

listing scan_all(ntscan::ntfs_scan_context_s& ctx)
{
    listing l;
    ntscan::ntfs_entry_s e;
    while (ntscan::ntfs_scan_next(&ctx, &e)) l.entries[e.id] = e;
    return l;
}

std::vector<tsk_name> fls(const std::string& options, const std::string& image)
{
    std::vector<tsk_name> names;
    std::istringstream lines(test_support::output_of("fls " + options + " -p '" + image + "'"));
    std::string line;
    // "d/d * 39-144-1:\ttest"
    while (std::getline(lines, line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        std::string path = line.substr(tab + 1);
        if (path.find(':') != std::string::npos || path == "$OrphanFiles") continue;
        bool orphan = path.rfind("$OrphanFiles/", 0) == 0;
        if (orphan) path.erase(0, std::string("$OrphanFiles/").size());
        size_t number = line.find_first_of("0123456789", 3);
        names.push_back({std::stoll(line.substr(number)), line[0] == 'd' || line[2] == 'd', orphan, path});
    }
    return names;
}

std::string last_name(const std::string& path) { return path.substr(path.rfind('/') + 1); }

} // namespace tsk_oracle
