// PNG: chunks from IHDR to IEND; the header chunk's checksum proves the start.
#include "libcarve/carver.h"
#include "libcarve/checksums.h"

namespace libcarve {

namespace {

constexpr std::string_view signature{"\x89PNG\r\n\x1A\n", 8};

bool header(const uint8_t* p, size_t n)
{
    return n >= 16 && std::string_view(reinterpret_cast<const char*>(p), 8) == signature &&
           std::string_view(reinterpret_cast<const char*>(p + 12), 4) == "IHDR";
}

bool is_letter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

found_file measure(reader& r)
{
    uint8_t ihdr[17];
    if (r.be32(8) != 13 || !r.bytes(12, ihdr, sizeof ihdr) || crc32(ihdr, 17) != r.be32(29))
        return {};
    uint64_t at = 8;
    for (;;) {
        const uint32_t length = r.be32(at);
        uint8_t type[4];
        r.bytes(at + 4, type, 4);
        if (!r || length > 0x7FFFFFFF)
            return {};
        for (uint8_t c : type)
            if (!is_letter(c))
                return {};
        at += 12 + uint64_t(length);
        if (std::string_view(reinterpret_cast<char*>(type), 4) == "IEND")
            return length == 0 && r.be32(at - 4) == 0xAE426082 && r ? found_file{at, "png"}
                                                                     : found_file{};
        if (!r.has(at, 12))
            return {};
    }
}

constexpr const char* extensions[] = {"png"};

} // namespace

extern const carver png_carver{"png", "\x89", extensions, header, measure, nullptr, 1ULL << 30};

} // namespace libcarve
