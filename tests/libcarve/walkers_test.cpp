// Each format's walker over real files: the exact size and the extension,
// the true end found with junk right behind the file, and broken structures
// refused.
#include "libcarve/carver.h"
#include "samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

using namespace libcarve;
using libcarve_test::sample;
using libcarve_test::samples;

namespace {

// The first carver whose header test accepts the bytes, as the scan tries them.
const carver* carver_for(const std::vector<uint8_t>& bytes)
{
    for (const carver* c : all_carvers())
        if (!bytes.empty() && c->first_bytes.find(char(bytes[0])) != std::string_view::npos &&
            c->header(bytes.data(), bytes.size()))
            return c;
    return nullptr;
}

// What a scan's walker sees of a device whose blocks come and go: stretches
// handed out in place, ending at odd offsets, and stretches only copied.
class patchy_source final : public byte_source {
public:
    explicit patchy_source(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    size_t read(uint64_t offset, void* out, size_t length) override { return memory_source(bytes_).read(offset, out, length); }
    uint64_t size() const override { return bytes_.size(); }
    const uint8_t* view(uint64_t offset, size_t& length) override
    {
        constexpr uint64_t stretch = 1000;
        if (offset >= bytes_.size() || (offset / stretch) % 2 == 1)
            return nullptr;
        length = size_t(std::min<uint64_t>((offset / stretch + 1) * stretch, bytes_.size()) - offset);
        return bytes_.data() + offset;
    }

private:
    const std::vector<uint8_t>& bytes_;
};

found_file walk_through(byte_source& source, const std::vector<uint8_t>& bytes)
{
    const carver* c = carver_for(bytes);
    if (!c)
        return {};
    reader r(source, 0, bytes.size());
    return carve_one(*c, r);
}

found_file walk(const std::vector<uint8_t>& bytes)
{
    memory_source source(bytes);
    return walk_through(source, bytes);
}

const sample* named(const std::string& name)
{
    for (const sample& s : samples())
        if (s.name == name)
            return &s;
    return nullptr;
}

// Junk that cannot pass for a line end or a frame sync right after a file.
std::vector<uint8_t> with_junk_behind(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> out = bytes;
    std::vector<uint8_t> tail = libcarve_test::junk(3000, 99);
    tail[0] = 0xA5;
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

} // namespace

TEST(walkers, every_real_file_measures_to_its_size_and_type)
{
    if (samples().empty())
        GTEST_SKIP() << "python3 is needed to make the samples";
    std::set<std::string> extensions;
    for (const sample& s : samples()) {
        SCOPED_TRACE(s.name);
        const found_file file = walk(with_junk_behind(s.bytes));
        EXPECT_EQ(file.size, s.bytes.size());
        ASSERT_NE(file.extension, nullptr);
        EXPECT_STREQ(file.extension, s.extension.c_str());
        extensions.insert(s.extension);
    }
    // The samples cover the office formats inside zip and ole.
    for (const char* kind : {"docx", "xlsx", "pptx", "odt", "ods", "odp", "epub", "jar", "apk", "doc", "xls", "ppt"})
        EXPECT_TRUE(extensions.count(kind)) << kind;
}

TEST(walkers, a_file_read_partly_in_place_measures_the_same)
{
    if (samples().empty())
        GTEST_SKIP() << "python3 is needed to make the samples";
    for (const sample& s : samples()) {
        SCOPED_TRACE(s.name);
        const std::vector<uint8_t> bytes = with_junk_behind(s.bytes);
        patchy_source patchy(bytes);
        EXPECT_EQ(walk_through(patchy, bytes).size, s.bytes.size());
    }
}

TEST(walkers, a_file_cut_short_is_not_a_file)
{
    if (samples().empty())
        GTEST_SKIP() << "python3 is needed to make the samples";
    // Streams of frames or pages are whole up to any frame; they end where the
    // device does. A gzip file's first member is a gzip file by itself.
    const std::set<std::string> streams = {"mp3", "mpg", "ogg", "webm"};
    for (const sample& s : samples()) {
        if (streams.count(s.extension) || s.name == "members.gz")
            continue;
        SCOPED_TRACE(s.name);
        std::vector<uint8_t> cut(s.bytes.begin(), s.bytes.begin() + ptrdiff_t(s.bytes.size() * 8 / 10));
        EXPECT_EQ(walk(cut).size, 0u);
    }
}

TEST(walkers, a_broken_structure_is_not_a_file)
{
    if (samples().empty())
        GTEST_SKIP() << "python3 is needed to make the samples";
    struct damage {
        const char* file;
        int64_t at; // from the start, or from the end when negative
        const char* what;
    };
    const damage cases[] = {
        {"picture.png", 29, "header chunk checksum"},
        {"data.gz", -1, "length in the trailer"},
        {"stored.gz", 11, "stored block length"},
        {"data.bz2", -2, "combined checksum"},
        {"data.xz", -8, "backward size in the footer"},
        {"archive.7z", -3, "next header"},
        {"new.rar", 14, "block header"},
        {"old.rar", 9, "main header"},
        {"voice.ogg", 40, "first page"},
        {"plain.zip", -6, "central directory offset"},
        {"store.sqlite", 28, "page count"},
        {"tone.flac", 700, "frame data"},
        {"report.doc", 0x4C, "allocation table sector"},
        {"photo.jpg", 3, "first marker"},
        {"updated.pdf", -12, "startxref"},
        {"video.mkv", 4, "EBML header size"},
        {"sound.wav", 12, "first chunk id"},
        {"prog.elf", 0x3A, "section header size"},
    };
    for (const damage& d : cases) {
        SCOPED_TRACE(std::string(d.file) + ": " + d.what);
        const sample* s = named(d.file);
        if (!s)
            continue;
        std::vector<uint8_t> bytes = s->bytes;
        const size_t at = d.at < 0 ? size_t(int64_t(bytes.size()) + d.at) : size_t(d.at);
        ASSERT_LT(at, bytes.size());
        bytes[at] ^= 0x5A;
        EXPECT_NE(walk(with_junk_behind(bytes)).size, s->bytes.size());
        EXPECT_EQ(walk(bytes).size, 0u);
    }
}

TEST(walkers, reader_finds_text_across_its_window_edge)
{
    std::vector<uint8_t> bytes(200000, 'x');
    const size_t at = 65536 - 3; // the needle straddles the first window
    std::memcpy(bytes.data() + at, "%%EOF", 5);
    memory_source source(bytes);
    reader r(source, 0, bytes.size());
    EXPECT_EQ(r.find(0, "%%EOF"), at);
    EXPECT_EQ(r.find(at + 1, "%%EOF"), reader::npos);
    reader bounded(source, 0, at + 4); // the limit cuts the needle
    EXPECT_EQ(bounded.find(0, "%%EOF"), reader::npos);
    EXPECT_EQ(bounded.le32(at + 1), 0u);
    EXPECT_FALSE(bounded.ok());
}
