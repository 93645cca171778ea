// A volume read through the platform's device interface.
#pragma once

#include "byte_source.h"

#include <memory>
#include <string>

namespace platform::device { class handle; }

namespace ntscan {

class device_source final : public byte_source {
public:
    // The volume of partition `partition` on disk `disk`, or nullptr.
    static std::unique_ptr<device_source> open(uint32_t disk, uint32_t partition);
    ~device_source() override;
    device_source(const device_source&) = delete;
    device_source& operator=(const device_source&) = delete;

    bool read(uint64_t offset, void* buffer, size_t length) override;
    uint64_t size() const override { return size_; }
    uint32_t sector_size() const override { return sector_size_; }

private:
    explicit device_source(platform::device::handle* h) : handle_(h) {}
    platform::device::handle* handle_;
    uint64_t size_ = 0;
    uint32_t sector_size_ = 512;
};

} // namespace ntscan
