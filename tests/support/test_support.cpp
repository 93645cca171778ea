#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace test_support {

scratch_dir::scratch_dir()
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() /
                             ("zorvane-test-" + std::to_string(rd()) + std::to_string(attempt));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch folder");
}

scratch_dir::~scratch_dir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    if (status == -1)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string output_of(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

bool have_program(const std::string& program)
{
    return run("command -v '" + program + "' >/dev/null 2>&1") == 0;
}

void make_sparse_file(const std::string& path, uint64_t size)
{
    { std::ofstream create(path, std::ios::binary | std::ios::trunc); }
    fs::resize_file(path, size);
}

void write_bytes(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes)
{
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!f)
        throw std::runtime_error("cannot open " + path);
    f.seekp(std::streamoff(offset));
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> read_bytes(const std::string& path, uint64_t offset, size_t length)
{
    std::ifstream f(path, std::ios::binary);
    std::vector<uint8_t> bytes(length);
    f.seekg(std::streamoff(offset));
    f.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(length));
    bytes.resize(size_t(f.gcount()));
    return bytes;
}

std::vector<uint8_t> read_file(const std::string& path)
{
    return read_bytes(path, 0, size_t(fs::file_size(path)));
}

void use_disks(const std::vector<std::string>& images)
{
    std::string list;
    for (size_t i = 0; i < images.size(); ++i)
        list += (i ? ":" : "") + images[i];
    setenv("ZORVANE_DISKS", list.c_str(), 1);
}

void unpack_test_data(const std::string& gz_name, const std::string& to)
{
    const std::string from = std::string(ZORVANE_TEST_DATA) + "/" + gz_name;
    if (run("gzip -dc '" + from + "' > '" + to + "'") != 0)
        throw std::runtime_error("cannot unpack " + from);
}

} // namespace test_support
