// Helpers shared by the test binaries: scratch folders, outside tools,
// image files and the image backend's disk list.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// A scratch folder removed when the object goes away.
class scratch_dir {
public:
    scratch_dir();
    ~scratch_dir();
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Runs a shell command; returns its exit status (-1 if it could not run).
int run(const std::string& command);
// Runs a shell command and returns what it printed on standard output.
std::string output_of(const std::string& command);
// True when `program` is on the PATH.
bool have_program(const std::string& program);

// A file of `size` bytes, sparse and zero.
void make_sparse_file(const std::string& path, uint64_t size);
void write_bytes(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> read_bytes(const std::string& path, uint64_t offset, size_t length);
std::vector<uint8_t> read_file(const std::string& path);

// Points the image backend at these images: entry N is \\.\PhysicalDriveN.
void use_disks(const std::vector<std::string>& images);

// Copies a gzipped file from the test data folder, unpacked, to `to`.
void unpack_test_data(const std::string& gz_name, const std::string& to);

} // namespace test_support
