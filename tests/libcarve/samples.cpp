#include "samples.h"

#include "test_support.h"

#include <fstream>
#include <random>
#include <sstream>

namespace libcarve_test {

const std::vector<sample>& samples()
{
    static const std::vector<sample> all = [] {
        std::vector<sample> found;
        if (!test_support::have_program("python3"))
            return found;
        static test_support::scratch_dir folder;
        if (test_support::run("python3 " LIBCARVE_SAMPLE_SCRIPT " " + folder.path().string()) != 0)
            return found;
        std::ifstream manifest(folder.file("manifest.txt"));
        std::string name, extension;
        while (manifest >> name >> extension)
            found.push_back({name, extension, test_support::read_file(folder.file(name))});
        return found;
    }();
    return all;
}

std::vector<uint8_t> junk(size_t length, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(length);
    for (auto& b : bytes)
        b = uint8_t(random());
    return bytes;
}

std::vector<uint8_t> layout(const std::vector<const sample*>& files, std::vector<placed>& where,
                            uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> image(4096, 0);
    for (const sample* s : files) {
        // One to three sectors between files: random bytes or zeros.
        const size_t gap = 512 * (1 + random() % 3);
        const bool zeros = random() % 2;
        const std::vector<uint8_t> filler = zeros ? std::vector<uint8_t>(gap, 0) : junk(gap, random());
        image.insert(image.end(), filler.begin(), filler.end());
        where.push_back({s, image.size()});
        image.insert(image.end(), s->bytes.begin(), s->bytes.end());
        // The rest of the last sector is slack: zeros, as a file system leaves it.
        image.resize((image.size() + 511) / 512 * 512, 0);
    }
    image.resize(image.size() + 8192, 0);
    return image;
}

} // namespace libcarve_test
