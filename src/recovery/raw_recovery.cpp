#include "recovery/raw_recovery.h"

#include "recovery/scan_result_file.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

namespace {

constexpr int32_t copy_chunk = 8192;
constexpr const char* library_configuration = "./Zorvane.conf";

// The control block's progress and flags are shared with the library's scan
// thread; both sides go through atomic references to the plain fields.
template <class T>
T load_shared(const T& field)
{
    return std::atomic_ref<T>(const_cast<T&>(field)).load(std::memory_order_relaxed);
}

template <class T>
void store_shared(T& field, T value)
{
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

void found_file(void* user, const char* extension, int64_t offset, int64_t size)
{
    static_cast<raw_recovery_c*>(user)->on_found(extension, offset, size);
}

// The extension as stored in a record: up to its eight bytes or first zero.
std::string stored_extension(const raw_file_s& record)
{
    const char* end = std::find(record.extension, record.extension + sizeof record.extension, '\0');
    return std::string(record.extension, end);
}

raw_recovery_c::group_map group_by_extension(const std::vector<raw_file_s>& records)
{
    raw_recovery_c::group_map groups;
    for (const raw_file_s& record : records)
        groups[stored_extension(record)].push_back(record.index);
    return groups;
}

// Copies up to `size` bytes from the handle's position; 0, or -1 when the
// output could not be written. The device ending early is not a failure.
int copy_extent(libcarve::carve_handle* device, int64_t size, QFile& out)
{
    std::vector<char> buffer(copy_chunk, 0);
    for (int64_t remaining = size; remaining > 0;) {
        const int32_t got = libcarve::read(device, buffer.data(), copy_chunk);
        if (got <= 0)
            break;
        const int64_t wanted = std::min<int64_t>(got, remaining);
        if (out.write(buffer.data(), wanted) != wanted)
            return -1;
        remaining -= got;
    }
    return out.flush() ? 0 : -1;
}

} // namespace

raw_recovery_c::~raw_recovery_c()
{
    stop_and_wait();
}

void raw_recovery_c::initialise_library()
{
    libcarve::initialise(library_configuration);
}

void raw_recovery_c::set_volume(const volume_item_s& v)
{
    volume = v;
    device_path = v.volume_name;
    if (device_path.endsWith(u'\\'))
        device_path.chop(1);
}

double raw_recovery_c::progress() const
{
    return load_shared(control.progress);
}

void raw_recovery_c::set_progress(double p)
{
    store_shared(control.progress, p);
}

void raw_recovery_c::set_stop(int code)
{
    store_shared(control.stop, int32_t(code));
}

int raw_recovery_c::stop_code() const
{
    return load_shared(control.stop);
}

int raw_recovery_c::paused() const
{
    return load_shared(control.paused);
}

void raw_recovery_c::set_paused(int flag)
{
    store_shared(control.paused, int32_t(flag));
}

void raw_recovery_c::reset()
{
    control = libcarve::carve_control_s{};
    groups.clear();
    records.clear();
}

void raw_recovery_c::run()
{
    reset();
    control.user = this;
    control.callback = &found_file;
    libcarve::scan(&control, device_path.toLocal8Bit().constData());
}

void raw_recovery_c::on_found(const char* extension, int64_t offset, int64_t size)
{
    const std::string type = extension ? extension : "";
    raw_file_s record;
    record.index = int64_t(records.size());
    record.offset = offset;
    record.size = size;
    std::memcpy(record.extension, type.data(), std::min(type.size(), sizeof record.extension));
    records.push_back(record);
    groups[type].push_back(record.index);
}

int raw_recovery_c::recover_file(int64_t id, QString path)
{
    if (id < 0 || uint64_t(id) >= records.size())
        return -1;
    const raw_file_s record = records[size_t(id)];
    libcarve::carve_handle* device = libcarve::open(device_path.toLocal8Bit().constData());
    if (!device)
        return -1;
    if (libcarve::seek(device, record.offset, 0) < 0) {
        libcarve::close(device);
        return -1;
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        libcarve::close(device);
        return -1;
    }
    const int result = copy_extent(device, record.size, out);
    out.close();
    libcarve::close(device);
    return result;
}

int raw_recovery_c::save_results(const QByteArray& name) const
{
    return write_scan_result_file(name, device_path, records);
}

QString raw_recovery_c::read_results(const QByteArray& name)
{
    scan_results_s loaded;
    if (read_scan_result_file(name, &loaded) != 0)
        return QString();
    records = std::move(loaded.records);
    groups = group_by_extension(records);
    device_path = loaded.device_path;
    return device_path;
}
