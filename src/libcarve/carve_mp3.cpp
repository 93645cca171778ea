// MP3: an optional ID3v2 tag, then MPEG audio frames by their own lengths
// while each header agrees with the first, then optional ID3v1 and APE tags.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

struct frame_header {
    int version = 0; // 1, 2 or 25 (2.5)
    int layer = 0;
    int sample_rate = 0;
    uint32_t length = 0;
};

// The header of an MPEG audio frame, or false.
bool parse_frame(const uint8_t* h, frame_header& f)
{
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
        return false;
    const int version_bits = (h[1] >> 3) & 3, layer_bits = (h[1] >> 1) & 3;
    const int bitrate_index = h[2] >> 4, rate_index = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
    if (version_bits == 1 || layer_bits == 0 || bitrate_index == 0 || bitrate_index == 15 ||
        rate_index == 3 || (h[3] & 3) == 2)
        return false;
    static constexpr int rates[3] = {44100, 48000, 32000};
    static constexpr int bitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    f.version = version_bits == 3 ? 1 : version_bits == 2 ? 2 : 25;
    f.layer = 4 - layer_bits;
    f.sample_rate = rates[rate_index] / (f.version == 1 ? 1 : f.version == 2 ? 2 : 4);
    const int bitrate = bitrates[f.version == 1 ? 0 : 1][f.layer - 1][bitrate_index] * 1000;
    if (f.layer == 1)
        f.length = uint32_t((12 * bitrate / f.sample_rate + padding) * 4);
    else if (f.layer == 3 && f.version != 1)
        f.length = uint32_t(72 * bitrate / f.sample_rate + padding);
    else
        f.length = uint32_t(144 * bitrate / f.sample_rate + padding);
    return f.length >= 24;
}

bool id3v2(const uint8_t* p, size_t n)
{
    return n >= 10 && std::memcmp(p, "ID3", 3) == 0 && p[3] >= 2 && p[3] <= 4 && p[4] != 0xFF &&
           ((p[6] | p[7] | p[8] | p[9]) & 0x80) == 0;
}

bool header(const uint8_t* p, size_t n)
{
    frame_header f;
    return id3v2(p, n) || (n >= 4 && parse_frame(p, f));
}

constexpr int frames_without_tag = 8;
constexpr uint64_t max_gap = 4096; // zero padding some taggers leave after ID3v2

found_file measure(reader& r)
{
    uint8_t h[10];
    r.bytes(0, h, sizeof h);
    if (!r)
        return {};
    uint64_t at = 0;
    const bool tagged = id3v2(h, sizeof h);
    if (tagged) {
        at = 10 + (uint64_t(h[6]) << 21 | uint64_t(h[7]) << 14 | uint64_t(h[8]) << 7 | h[9]);
        if (h[5] & 0x10)
            at += 10;
        const uint64_t gap_end = at + max_gap;
        while (at < gap_end && r.has(at, 1) && r.u8(at) == 0)
            ++at;
    }
    frame_header first;
    int frames = 0;
    for (;;) {
        uint8_t b[4];
        if (!r.has(at, 4) || !r.bytes(at, b, 4))
            break;
        frame_header f;
        if (!parse_frame(b, f))
            break;
        if (frames == 0)
            first = f;
        else if (f.version != first.version || f.layer != first.layer || f.sample_rate != first.sample_rate)
            break;
        if (!r.has(at, f.length))
            break;
        at += f.length;
        ++frames;
    }
    if (frames < (tagged ? 2 : frames_without_tag))
        return {};
    if (r.has(at, 32) && r.equals(at, "APETAGEX"))
        at += 32 + uint64_t(r.le32(at + 12)) - 32 + ((r.le32(at + 20) & 0x80000000u) ? 32 : 0);
    if (r.has(at, 128) && r.equals(at, "TAG"))
        at += 128;
    return r.has(0, at) ? found_file{at, "mp3"} : found_file{};
}

constexpr const char* extensions[] = {"mp3"};

} // namespace

extern const carver mp3_carver{"mp3", "I\xFF", extensions, header, measure, nullptr, 1ULL << 30};

} // namespace libcarve
