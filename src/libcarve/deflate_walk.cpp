#include "libcarve/deflate_walk.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace libcarve {

namespace {

// The bit buffer and the bytes in hand behind it: small enough to live in
// registers through the decoding loop.
struct bit_window {
    uint64_t buffer = 0;
    int count = 0; // negative once bits past the input's end were taken
    const uint8_t* next = nullptr;
    const uint8_t* end = nullptr;

    bool eight_bytes_in_hand() const { return end - next >= 8; }
    // Eight bytes at once; only the whole bytes that fit are taken.
    void refill_fast()
    {
        uint64_t word;
        std::memcpy(&word, next, 8);
        const int taken = (63 - count) / 8;
        buffer |= word << count;
        buffer &= (1ULL << (count + taken * 8)) - 1; // bits past the taken bytes stay clear
        next += taken;
        count += taken * 8;
    }
    // At most 56 bits may be taken between refills.
    uint32_t peek(int n) const { return uint32_t(buffer & ((1ULL << n) - 1)); }
    void consume(int n)
    {
        buffer >>= n;
        count -= n;
    }
    uint32_t take(int n)
    {
        const uint32_t value = peek(n);
        consume(n);
        return value;
    }
    bool overrun() const { return count < 0; }
};

class bit_reader {
public:
    bit_reader(reader& r, uint64_t at) : r_(r), at_(at) {}

    // Tops the buffer up to at least 56 bits while the input lasts; past its
    // end the missing bits read as zeros and `overrun()` tells they were used.
    void refill()
    {
        if (w_.overrun())
            return;
        if (w_.eight_bytes_in_hand()) {
            w_.refill_fast();
            return;
        }
        while (w_.count <= 56) {
            if (w_.next == w_.end) {
                size_t got = 0;
                w_.next = r_.window(at_, 1 << 16, got);
                if (!w_.next) {
                    w_.next = w_.end = nullptr;
                    return;
                }
                w_.end = w_.next + got;
                at_ += got;
            }
            w_.buffer |= uint64_t(*w_.next++) << w_.count;
            w_.count += 8;
        }
    }

    bit_window& bits() { return w_; }
    uint32_t take(int n) { return w_.take(n); }
    bool overrun() const { return w_.overrun(); }

    void align() { w_.consume(w_.count % 8); }
    // Offset of the next unread byte, once aligned.
    uint64_t byte_offset() const { return at_ - uint64_t(w_.end - w_.next) - uint64_t(w_.count / 8); }
    void skip_bytes(uint64_t n)
    {
        at_ = byte_offset() + n;
        w_ = {};
    }

private:
    reader& r_;
    uint64_t at_; // offset just past the bytes in hand
    bit_window w_;
};

// Canonical Huffman codes: codes of up to `fast_bits` through a table,
// longer ones by their length counts.
template <int fast_bits>
struct huffman {
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

    // The next symbol, or -1 for a code that is not in the table. Takes up
    // to 15 bits without a refill.
    int decode(bit_window& in) const
    {
        if (const uint16_t entry = fast[in.peek(fast_bits)]) {
            in.consume(entry >> 9);
            return entry & 0x1FF;
        }
        const uint32_t bits = in.peek(15);
        int code = 0, first = 0, index = 0;
        for (int len = 1; len < 16; ++len) {
            code |= int((bits >> (len - 1)) & 1);
            const int c = count[len];
            if (code - c < first) {
                in.consume(len);
                return sorted[index + (code - first)];
            }
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

using literal_code = huffman<12>;
using distance_code = huffman<10>;
using length_code = huffman<7>; // code length codes are at most 7 bits: all in the table

class inflater {
public:
    inflater(reader& r, uint64_t at) : in_(r, at) {}

    deflate_end run()
    {
        for (;;) {
            in_.refill();
            const uint32_t last = in_.take(1), type = in_.take(2);
            if (in_.overrun())
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
        in_.refill();
        const uint32_t length = in_.take(16), inverse = in_.take(16);
        if (in_.overrun() || (length ^ 0xFFFF) != inverse)
            return false;
        in_.skip_bytes(length);
        output_ += length;
        return true;
    }

    struct fixed_codes {
        literal_code literals;
        distance_code distances;
        fixed_codes()
        {
            uint8_t lengths[288 + 30];
            std::fill(lengths, lengths + 144, 8);
            std::fill(lengths + 144, lengths + 256, 9);
            std::fill(lengths + 256, lengths + 280, 7);
            std::fill(lengths + 280, lengths + 288, 8);
            std::fill(lengths + 288, lengths + 318, 5);
            literals.build(lengths, 288);
            distances.build(lengths + 288, 30);
        }
    };

    bool fixed()
    {
        static const fixed_codes tables;
        return codes(tables.literals, tables.distances);
    }

    bool dynamic()
    {
        in_.refill();
        const uint32_t nlen = in_.take(5) + 257, ndist = in_.take(5) + 1, ncode = in_.take(4) + 4;
        if (nlen > 286 || ndist > 30)
            return false;
        static constexpr uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        uint8_t lengths[320] = {};
        for (uint32_t i = 0; i < ncode; ++i) {
            in_.refill();
            lengths[order[i]] = uint8_t(in_.take(3));
        }
        length_code code_lengths;
        if (in_.overrun() || !code_lengths.build(lengths, 19))
            return false;
        uint32_t i = 0;
        while (i < nlen + ndist) {
            in_.refill();
            const int sym = code_lengths.decode(in_.bits());
            if (sym < 0 || in_.overrun())
                return false;
            if (sym < 16) {
                lengths[i++] = uint8_t(sym);
                continue;
            }
            uint8_t repeat_value = 0;
            uint32_t repeat;
            if (sym == 16) {
                if (i == 0)
                    return false;
                repeat_value = lengths[i - 1];
                repeat = 3 + in_.take(2);
            } else if (sym == 17) {
                repeat = 3 + in_.take(3);
            } else {
                repeat = 11 + in_.take(7);
            }
            if (in_.overrun() || i + repeat > nlen + ndist)
                return false;
            while (repeat--)
                lengths[i++] = repeat_value;
        }
        if (lengths[256] == 0)
            return false;
        literal_code literals;
        distance_code distances;
        if (!literals.build(lengths, int(nlen)) || !distances.build(lengths + nlen, int(ndist)))
            return false;
        return codes(literals, distances);
    }

    // A refill tops the bits up to 56: enough for several literals, or for
    // a length and a distance with their extra bits. The bits are worked on
    // in a local copy, handed back for the slow refill near the end of a window.
    bool codes(const literal_code& literals, const distance_code& distances)
    {
        bit_window w = in_.bits();
        uint64_t output = output_;
        auto done = [&](bool ok) {
            in_.bits() = w;
            output_ = output;
            return ok;
        };
        // Tops the bits up to at least `needed` while the input lasts.
        auto have = [&](int needed) {
            if (w.count >= needed)
                return;
            if (w.eight_bytes_in_hand()) {
                w.refill_fast();
            } else {
                in_.bits() = w;
                in_.refill();
                w = in_.bits();
            }
        };
        for (;;) {
            have(15);
            const int sym = literals.decode(w);
            if (sym < 256) {
                if (sym < 0 || w.overrun())
                    return done(false);
                ++output;
                continue;
            }
            if (sym == 256)
                return done(!w.overrun());
            const int l = sym - 257;
            if (l >= 29)
                return done(false);
            have(5 + 15 + 13);
            const uint64_t length = length_base[l] + w.take(length_extra[l]);
            const int d = distances.decode(w);
            if (d < 0 || d >= 30)
                return done(false);
            const uint64_t distance = distance_base[d] + w.take(distance_extra[d]);
            // A distance reaching before the first byte proves this is not deflate.
            if (w.overrun() || distance > output)
                return done(false);
            output += length;
        }
    }

    bit_reader in_;
    uint64_t output_ = 0;
};

} // namespace

deflate_end walk_deflate(reader& r, uint64_t at) { return inflater(r, at).run(); }

} // namespace libcarve
