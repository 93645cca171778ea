#include "libcarve/config.h"

#include "platform/debug_log.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

namespace libcarve {

namespace {

std::vector<std::string_view> words_of(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r')
            ++j;
        if (j > i)
            words.push_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

// "123", "64K", "16M", "2G"; false on anything else or on overflow.
bool parse_size(std::string_view text, uint64_t& size)
{
    uint64_t unit = 1;
    if (!text.empty()) {
        switch (text.back()) {
        case 'K': case 'k': unit = 1ULL << 10; break;
        case 'M': case 'm': unit = 1ULL << 20; break;
        case 'G': case 'g': unit = 1ULL << 30; break;
        default: break;
        }
        if (unit != 1)
            text.remove_suffix(1);
    }
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return false;
    if (value > UINT64_MAX / unit)
        return false;
    size = value * unit;
    return true;
}

} // namespace

bool config::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream text;
    text << in.rdbuf();
    parse(text.str());
    return true;
}

int config::parse(std::string_view text)
{
    int malformed = 0;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (const size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        if (!apply(line)) {
            ++malformed;
            platform::debug_log("libcarve: configuration line %d ignored: %.*s\n", number,
                                int(line.size()), line.data());
        }
    }
    return malformed;
}

bool config::apply(std::string_view line)
{
    const std::vector<std::string_view> words = words_of(line);
    if (words.empty())
        return true;
    // One setting changes one field; "*" changes it for every type.
    std::function<void(type_limits&)> change;
    if (words.size() == 2 && (words[1] == "on" || words[1] == "off")) {
        const bool on = words[1] == "on";
        change = [on](type_limits& l) { l.enabled = on; };
    } else if (words.size() == 3 && (words[1] == "min" || words[1] == "max")) {
        uint64_t size = 0;
        if (!parse_size(words[2], size))
            return false;
        const bool min = words[1] == "min";
        change = [min, size](type_limits& l) { (min ? l.min_size : l.max_size) = size; };
    } else {
        return false;
    }
    if (words[0] == "*") {
        change(all_);
        for (auto& [name, l] : types_)
            change(l);
    } else {
        auto [entry, added] = types_.try_emplace(std::string(words[0]), all_);
        change(entry->second);
    }
    return true;
}

type_limits config::limits(std::string_view type) const
{
    const auto found = types_.find(type);
    return found == types_.end() ? all_ : found->second;
}

config& current_config()
{
    static config settings;
    return settings;
}

} // namespace libcarve
