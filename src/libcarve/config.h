// What to carve: each type on or off with its size limits. Read from a text
// file of lines "<type> on", "<type> off", "<type> min <size>" and
// "<type> max <size>" ("*" names every type; sizes in bytes with an optional
// K, M or G suffix; '#' starts a comment). Malformed lines are ignored.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace libcarve {

struct type_limits {
    bool enabled = true;
    uint64_t min_size = 1;
    uint64_t max_size = 0; // 0: the type's built-in maximum
};

class config {
public:
    // Applies one file's lines over the current settings; false when the
    // file cannot be read.
    bool load(const std::string& path);
    // Applies the text of a configuration file; returns malformed lines.
    int parse(std::string_view text);

    bool enabled(std::string_view type) const { return limits(type).enabled; }
    type_limits limits(std::string_view type) const;

private:
    bool apply(std::string_view line);

    type_limits all_;
    std::map<std::string, type_limits, std::less<>> types_;
};

// The process-wide settings given to initialise().
config& current_config();

} // namespace libcarve
