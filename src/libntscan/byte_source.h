// Where a volume's bytes come from: a device, or memory in tests and fuzzing.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

namespace ntscan {

class byte_source {
public:
    virtual ~byte_source() = default;
    // Reads exactly `length` bytes at `offset` from the volume's start.
    virtual bool read(uint64_t offset, void* buffer, size_t length) = 0;
    // Bytes of the volume; 0 when unknown.
    virtual uint64_t size() const = 0;
    // Logical sector size of the device beneath.
    virtual uint32_t sector_size() const { return 512; }
};

class memory_source final : public byte_source {
public:
    explicit memory_source(std::span<const uint8_t> bytes, uint32_t sector = 512)
        : bytes_(bytes), sector_(sector) {}
    bool read(uint64_t offset, void* buffer, size_t length) override
    {
        if (offset > bytes_.size() || length > bytes_.size() - offset) return false;
        std::memcpy(buffer, bytes_.data() + offset, length);
        return true;
    }
    uint64_t size() const override { return bytes_.size(); }
    uint32_t sector_size() const override { return sector_; }

private:
    std::span<const uint8_t> bytes_;
    uint32_t sector_;
};

} // namespace ntscan
