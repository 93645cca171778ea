#include "libcarve/deflate_walk.h"

#include <array>
#include <cstring>

namespace libcarve {

namespace {

class bit_reader {
public:
    bit_reader(reader& r, uint64_t at) : r_(r), at_(at) {}

    // `n` bits (at most 32), first bit lowest; false once the input runs out.
    bool bits(int n, uint32_t& value)
    {
        if (count_ < n && (refill(), count_ < n))
            return false;
        value = uint32_t(buffer_ & ((1ULL << n) - 1));
        buffer_ >>= n;
        count_ -= n;
        return true;
    }

    // The next 15 bits without consuming them; missing bits past the end read as zeros.
    uint32_t peek15()
    {
        if (count_ < 15)
            refill();
        return uint32_t(buffer_ & 0x7FFF);
    }
    bool consume(int n)
    {
        if (n > count_)
            return false;
        buffer_ >>= n;
        count_ -= n;
        return true;
    }

    void align() { consume(count_ % 8); }
    // Offset of the next unread byte, once aligned.
    uint64_t byte_offset() const { return at_ - uint64_t(end_ - next_) - uint64_t(count_ / 8); }
    void skip_bytes(uint64_t n)
    {
        at_ = byte_offset() + n;
        next_ = end_ = nullptr;
        buffer_ = 0;
        count_ = 0;
    }

private:
    void refill()
    {
        if (end_ - next_ >= 8) {
            // Eight bytes at once; only the whole bytes that fit are taken.
            uint64_t word;
            std::memcpy(&word, next_, 8);
            const int taken = (63 - count_) / 8;
            buffer_ |= word << count_;
            buffer_ &= (1ULL << (count_ + taken * 8)) - 1; // bits past the taken bytes stay clear
            next_ += taken;
            count_ += taken * 8;
            return;
        }
        while (count_ <= 56) {
            if (next_ == end_) {
                size_t got = 0;
                next_ = r_.window(at_, 1 << 16, got);
                if (!next_) {
                    end_ = nullptr;
                    return;
                }
                end_ = next_ + got;
                at_ += got;
            }
            buffer_ |= uint64_t(*next_++) << count_;
            count_ += 8;
        }
    }

    reader& r_;
    uint64_t at_;                  // offset just past the bytes in hand
    const uint8_t* next_ = nullptr; // bytes in hand, not yet in the buffer
    const uint8_t* end_ = nullptr;
    uint64_t buffer_ = 0;
    int count_ = 0;
};

// Canonical Huffman codes: codes of up to 12 bits through a table, longer
// ones by their length counts.
struct huffman {
    static constexpr int fast_bits = 12;
    std::array<uint16_t, 1 << fast_bits> fast{}; // length << 9 | symbol; 0: longer or no code
    std::array<uint16_t, 16> count{};
    std::array<uint16_t, 320> sorted{};           // symbols by code

    // False for an over-subscribed code; incomplete codes are allowed, as
    // deflate permits them for a single code.
    bool build(const uint8_t* lengths, int n)
    {
        count.fill(0);
        for (int i = 0; i < n; ++i)
            ++count[lengths[i]];
        count[0] = 0;
        int left = 1;
        for (int len = 1; len < 16; ++len) {
            left = (left << 1) - count[len];
            if (left < 0)
                return false;
        }
        std::array<uint16_t, 16> offsets{};
        std::array<uint32_t, 16> next{};
        for (int len = 1, code = 0; len < 16; ++len) {
            code = (code + count[len - 1]) << 1;
            next[len] = uint32_t(code);
            if (len < 15)
                offsets[len + 1] = uint16_t(offsets[len] + count[len]);
        }
        fast.fill(0);
        for (int symbol = 0; symbol < n; ++symbol) {
            const int len = lengths[symbol];
            if (len == 0)
                continue;
            sorted[offsets[len]++] = uint16_t(symbol);
            const uint32_t code = next[len]++;
            if (len > fast_bits)
                continue;
            uint32_t reversed = 0;
            for (int i = 0; i < len; ++i)
                reversed |= ((code >> i) & 1) << (len - 1 - i);
            for (uint32_t i = reversed; i < fast.size(); i += 1u << len)
                fast[i] = uint16_t(len << 9 | symbol);
        }
        return true;
    }

    int decode(bit_reader& in) const
    {
        const uint32_t bits = in.peek15();
        if (const uint16_t entry = fast[bits & ((1u << fast_bits) - 1)]) {
            if (!in.consume(entry >> 9))
                return -1;
            return entry & 0x1FF;
        }
        int code = 0, first = 0, index = 0;
        for (int len = 1; len < 16; ++len) {
            code |= int((bits >> (len - 1)) & 1);
            const int c = count[len];
            if (code - c < first)
                return in.consume(len) ? sorted[index + (code - first)] : -1;
            index += c;
            first = (first + c) << 1;
            code <<= 1;
        }
        return -1;
    }
};

constexpr uint16_t length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t length_extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t distance_base[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                        33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t distance_extra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class inflater {
public:
    inflater(reader& r, uint64_t at) : in_(r, at) {}

    deflate_end run()
    {
        for (;;) {
            uint32_t last, type;
            if (!in_.bits(1, last) || !in_.bits(2, type))
                return {};
            bool ok = false;
            if (type == 0)
                ok = stored();
            else if (type == 1)
                ok = fixed();
            else if (type == 2)
                ok = dynamic();
            if (!ok)
                return {};
            if (last) {
                in_.align();
                return {true, in_.byte_offset(), output_};
            }
        }
    }

private:
    bool stored()
    {
        in_.align();
        uint32_t length, inverse;
        if (!in_.bits(16, length) || !in_.bits(16, inverse) || (length ^ 0xFFFF) != inverse)
            return false;
        in_.skip_bytes(length);
        output_ += length;
        return true;
    }

    bool fixed()
    {
        uint8_t lengths[288 + 30];
        for (int i = 0; i < 144; ++i) lengths[i] = 8;
        for (int i = 144; i < 256; ++i) lengths[i] = 9;
        for (int i = 256; i < 280; ++i) lengths[i] = 7;
        for (int i = 280; i < 288; ++i) lengths[i] = 8;
        for (int i = 0; i < 30; ++i) lengths[288 + i] = 5;
        huffman literals, distances;
        literals.build(lengths, 288);
        distances.build(lengths + 288, 30);
        return codes(literals, distances);
    }

    bool dynamic()
    {
        uint32_t nlen, ndist, ncode;
        if (!in_.bits(5, nlen) || !in_.bits(5, ndist) || !in_.bits(4, ncode))
            return false;
        nlen += 257;
        ndist += 1;
        ncode += 4;
        if (nlen > 286 || ndist > 30)
            return false;
        static constexpr uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        uint8_t lengths[320] = {};
        for (uint32_t i = 0; i < ncode; ++i) {
            uint32_t v;
            if (!in_.bits(3, v))
                return false;
            lengths[order[i]] = uint8_t(v);
        }
        huffman code_lengths;
        if (!code_lengths.build(lengths, 19))
            return false;
        uint32_t i = 0;
        while (i < nlen + ndist) {
            const int sym = code_lengths.decode(in_);
            if (sym < 0)
                return false;
            if (sym < 16) {
                lengths[i++] = uint8_t(sym);
                continue;
            }
            uint8_t repeat_value = 0;
            uint32_t repeat;
            if (sym == 16) {
                if (i == 0 || !in_.bits(2, repeat))
                    return false;
                repeat_value = lengths[i - 1];
                repeat += 3;
            } else if (sym == 17) {
                if (!in_.bits(3, repeat))
                    return false;
                repeat += 3;
            } else {
                if (!in_.bits(7, repeat))
                    return false;
                repeat += 11;
            }
            if (i + repeat > nlen + ndist)
                return false;
            while (repeat--)
                lengths[i++] = repeat_value;
        }
        if (lengths[256] == 0)
            return false;
        huffman literals, distances;
        if (!literals.build(lengths, int(nlen)) || !distances.build(lengths + nlen, int(ndist)))
            return false;
        return codes(literals, distances);
    }

    bool codes(const huffman& literals, const huffman& distances)
    {
        for (;;) {
            const int sym = literals.decode(in_);
            if (sym < 0)
                return false;
            if (sym < 256) {
                ++output_;
                continue;
            }
            if (sym == 256)
                return true;
            const int l = sym - 257;
            if (l >= 29)
                return false;
            uint32_t extra;
            if (!in_.bits(length_extra[l], extra))
                return false;
            const uint64_t length = length_base[l] + extra;
            const int d = distances.decode(in_);
            if (d < 0 || d >= 30 || !in_.bits(distance_extra[d], extra))
                return false;
            // A distance reaching before the first byte proves this is not deflate.
            if (distance_base[d] + extra > output_)
                return false;
            output_ += length;
        }
    }

    bit_reader in_;
    uint64_t output_ = 0;
};

} // namespace

deflate_end walk_deflate(reader& r, uint64_t at) { return inflater(r, at).run(); }

} // namespace libcarve
