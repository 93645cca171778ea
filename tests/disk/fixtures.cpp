#include "fixtures.h"

#include "test_support.h"

#include <regex>

namespace fat_fixture {

using test_support::output_of;
using test_support::run;

bool tools_present()
{
    return test_support::have_program("mkfs.fat") && test_support::have_program("mcopy") &&
           test_support::have_program("fsstat");
}

bool make(const std::string& image, unsigned mib, const std::string& mkfs_options)
{
    const std::string q = "'" + image + "'", content = "'" + image + ".content'";
    const std::string mcopy = "MTOOLS_SKIP_CHECK=1 mcopy -i " + q + " " + content;
    return run("rm -f " + q + " && truncate -s " + std::to_string(mib) + "M " + q) == 0 &&
           run("mkfs.fat " + mkfs_options + " " + q + " >/dev/null") == 0 &&
           run("MTOOLS_SKIP_CHECK=1 mmd -i " + q + " ::/sub") == 0 &&
           run("head -c 10000 /dev/zero > " + content + " && " + mcopy + " ::/sub/big.bin") == 0 &&
           run("head -c 100 /dev/zero > " + content + " && " + mcopy + " ::/small.txt") == 0 &&
           run("rm -f " + content) == 0;
}

namespace {

std::string trimmed(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n'))
        s.pop_back();
    return s;
}

std::string first_match(const std::string& text, const std::string& pattern)
{
    std::smatch m;
    return std::regex_search(text, m, std::regex(pattern)) ? m[1].str() : std::string();
}

} // namespace

facts oracle(const std::string& image)
{
    const std::string stat = output_of("fsstat '" + image + "'");
    facts f;
    f.label = trimmed(first_match(stat, "Volume Label \\(Root Directory\\): ([^\\n]*)"));
    if (f.label.empty())
        f.label = trimmed(first_match(stat, "Volume Label \\(Boot Sector\\): ([^\\n]*)"));
    if (f.label == "NO NAME")
        f.label.clear();
    const uint64_t cluster = std::stoull(first_match(stat, "Cluster Size: (\\d+)"));
    const uint64_t first = std::stoull(first_match(stat, "Total Cluster Range: (\\d+) - "));
    const uint64_t last = std::stoull(first_match(stat, "Total Cluster Range: \\d+ - (\\d+)"));
    f.total_bytes = (last - first + 1) * cluster;

    std::string free = first_match(output_of("MTOOLS_SKIP_CHECK=1 mdir -i '" + image + "' ::/"),
                                   "\\n *([0-9 ]+) bytes free");
    std::erase(free, ' ');
    f.free_bytes = std::stoull(free);
    return f;
}

} // namespace fat_fixture

namespace ntfs_fixture {

const std::string& sample_image()
{
    static test_support::scratch_dir dir;
    static const std::string image = [] {
        const std::string path = dir.file("ntfs.raw");
        test_support::unpack_test_data("ntfs-lastaccess.raw.gz", path);
        return path;
    }();
    return image;
}

uint64_t sample_length()
{
    const auto sectors = test_support::read_bytes(sample_image(), 0x1CA, 4);
    return uint64_t(sectors[0] | sectors[1] << 8 | sectors[2] << 16 | uint32_t(sectors[3]) << 24) *
           512;
}

} // namespace ntfs_fixture
