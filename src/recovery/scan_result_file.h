// The scan-result file (*.sav): a 256-byte header holding the scanned
// volume's device path, then the carved records, 32 bytes each, little-endian.
// No magic number and no count: the length says how many records there are.
#pragma once

#include "recovery/raw_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <vector>

constexpr size_t scan_header_size = 256;
constexpr size_t scan_record_size = 32;

struct scan_results_s {
    QString device_path;
    std::vector<raw_file_s> records;
};

// The file's bytes; the path, in the local 8-bit code page, is cut to 255 bytes.
QByteArray encode_scan_results(const QString& device_path, const std::vector<raw_file_s>& records);

// 0, or -1 when the bytes are not a scan-result file: too short, a length
// that is not the header plus whole records, no device path, a record whose
// index is not its position, or a negative offset or size. `out` is written
// only on success.
int decode_scan_results(QByteArrayView bytes, scan_results_s* out);

// Writes the file `name` (8-bit text, used as it stands). -1, creating no
// file, when there are no records; -1 when it cannot be created or written.
int write_scan_result_file(const QByteArray& name, const QString& device_path,
                           const std::vector<raw_file_s>& records);

// Reads and decodes the file `name`; 0, or -1 leaving `out` alone.
int read_scan_result_file(const QByteArray& name, scan_results_s* out);
