#include "recovery/scan_result_file.h"

#include <QtEndian>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr size_t max_path_bytes = scan_header_size - 1; // room for the terminator

void put_int64(char* at, int64_t value)
{
    qToLittleEndian(value, at);
}

int64_t get_int64(const char* at)
{
    return qFromLittleEndian<int64_t>(at);
}

void encode_record(const raw_file_s& record, char* at)
{
    put_int64(at, record.index);
    put_int64(at + 8, record.offset);
    put_int64(at + 16, record.size);
    std::memcpy(at + 24, record.extension, sizeof record.extension);
}

raw_file_s decode_record(const char* at)
{
    raw_file_s record;
    record.index = get_int64(at);
    record.offset = get_int64(at + 8);
    record.size = get_int64(at + 16);
    std::memcpy(record.extension, at + 24, sizeof record.extension);
    return record;
}

// The header's text up to its first zero, or all of it when it has none.
QString header_path(QByteArrayView header)
{
    const qsizetype end = header.indexOf('\0');
    return QString::fromLocal8Bit(end < 0 ? header : header.first(end));
}

// The device path, if the header is followed by whole records and at least one.
bool decode_header(QByteArrayView header, uint64_t file_length, QString* device_path)
{
    if (file_length < scan_header_size + scan_record_size ||
        (file_length - scan_header_size) % scan_record_size != 0)
        return false;
    *device_path = header_path(header);
    return !device_path->isEmpty();
}

// Appends the whole records of `bytes`, each of which must carry its position
// among all records as its index; false at a partial or bad record.
bool decode_records(QByteArrayView bytes, std::vector<raw_file_s>* records)
{
    if (size_t(bytes.size()) % scan_record_size != 0)
        return false;
    for (qsizetype at = 0; at < bytes.size(); at += qsizetype(scan_record_size)) {
        const raw_file_s record = decode_record(bytes.data() + at);
        // The page takes indexes as positions in the records.
        if (record.index != int64_t(records->size()) || record.offset < 0 || record.size < 0)
            return false;
        records->push_back(record);
    }
    return true;
}

struct file_closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using file_ptr = std::unique_ptr<std::FILE, file_closer>;

} // namespace

QByteArray encode_scan_results(const QString& device_path, const std::vector<raw_file_s>& records)
{
    QByteArray bytes(qsizetype(scan_header_size + scan_record_size * records.size()), '\0');
    const QByteArray path = device_path.toLocal8Bit().left(qsizetype(max_path_bytes));
    std::memcpy(bytes.data(), path.constData(), size_t(path.size()));
    char* at = bytes.data() + scan_header_size;
    for (const raw_file_s& record : records) {
        encode_record(record, at);
        at += scan_record_size;
    }
    return bytes;
}

int decode_scan_results(QByteArrayView bytes, scan_results_s* out)
{
    if (size_t(bytes.size()) < scan_header_size)
        return -1;
    scan_results_s results;
    if (!decode_header(bytes.first(qsizetype(scan_header_size)), uint64_t(bytes.size()),
                       &results.device_path) ||
        !decode_records(bytes.sliced(qsizetype(scan_header_size)), &results.records))
        return -1;
    *out = std::move(results);
    return 0;
}

int write_scan_result_file(const QByteArray& name, const QString& device_path,
                           const std::vector<raw_file_s>& records)
{
    if (records.empty())
        return -1;
    const QByteArray bytes = encode_scan_results(device_path, records);
    std::FILE* f = std::fopen(name.constData(), "wb");
    if (!f)
        return -1;
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) ==
                         size_t(bytes.size());
    const bool closed = std::fclose(f) == 0;
    return written && closed ? 0 : -1;
}

int read_scan_result_file(const QByteArray& name, scan_results_s* out)
{
    const file_ptr f(std::fopen(name.constData(), "rb"));
    if (!f)
        return -1;
    char header[scan_header_size];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header ||
        std::fseek(f.get(), 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(f.get());
    scan_results_s results;
    if (length < 0 || !decode_header(QByteArrayView(header, sizeof header), uint64_t(length),
                                     &results.device_path))
        return -1;
    // Checked a chunk at a time, so that a large file of another kind is
    // refused at its first bad record rather than read whole.
    if (std::fseek(f.get(), long(scan_header_size), SEEK_SET) != 0)
        return -1;
    char chunk[2048 * scan_record_size];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f.get())) > 0)
        if (!decode_records(QByteArrayView(chunk, qsizetype(got)), &results.records))
            return -1;
    if (std::ferror(f.get()) ||
        results.records.size() != (uint64_t(length) - scan_header_size) / scan_record_size)
        return -1;
    *out = std::move(results);
    return 0;
}
