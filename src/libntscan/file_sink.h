// A destination file for extracted content; runs of zeros become holes in
// a regular file and are written out to anything else (a device, a pipe).
#pragma once

#include "extract.h"

#include <cstdint>

namespace ntscan {

class file_sink final : public data_sink {
public:
    // Creates or truncates `path`; check `is_open`.
    explicit file_sink(const char* path);
    ~file_sink() override;
    file_sink(const file_sink&) = delete;
    file_sink& operator=(const file_sink&) = delete;

    bool is_open() const { return fd_ >= 0; }
    bool write(const uint8_t* bytes, size_t length) override;
    bool zeros(uint64_t length) override;
    // Sets the file's length to what was written and closes it.
    bool finish();

private:
    int fd_ = -1;
    bool regular_ = false;
    uint64_t position_ = 0;
};

} // namespace ntscan
