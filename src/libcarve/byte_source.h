// Bytes of a device at absolute offsets, as the structure walkers see them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace libcarve {

class byte_source {
public:
    static constexpr uint64_t unknown_size = UINT64_MAX;

    virtual ~byte_source() = default;
    // Copies up to `length` bytes at `offset`; fewer only at the end.
    virtual size_t read(uint64_t offset, void* out, size_t length) = 0;
    // Every byte below it can be read; `unknown_size` when only reading tells.
    virtual uint64_t size() const = 0;
    // The bytes at `offset` in place, `length` of them, when the source holds
    // them in memory for as long as the walk reading them lasts; else null.
    virtual const uint8_t* view(uint64_t offset, size_t& length) = 0;
};

// A byte buffer as a source: tests and fuzzing.
class memory_source final : public byte_source {
public:
    explicit memory_source(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t read(uint64_t offset, void* out, size_t length) override
    {
        if (offset >= bytes_.size())
            return 0;
        const size_t n = std::min<uint64_t>(length, bytes_.size() - offset);
        std::memcpy(out, bytes_.data() + offset, n);
        return n;
    }
    uint64_t size() const override { return bytes_.size(); }
    const uint8_t* view(uint64_t offset, size_t& length) override
    {
        length = offset < bytes_.size() ? bytes_.size() - size_t(offset) : 0;
        return length ? bytes_.data() + offset : nullptr;
    }

private:
    std::span<const uint8_t> bytes_;
};

} // namespace libcarve
