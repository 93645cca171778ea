#include "cli/scan_session.h"

#include "cli/output.h"
#include "disk/format_size.h"
#include "recovery/engine_choice.h"
#include "recovery/fat/disk_layer.h"

scan_session::scan_session()
{
    // What the program's start-up does before any scan.
    disk_startup();
    raw_recovery_c::initialise_library();
}

bool scan_session::choose(const volume_item_s& volume, bool deep, QString& error)
{
    kind_ = choose_engine(volume.file_system, deep);
    switch (kind_) {
    case engine_raw:
        engine_ = &raw_;
        break;
    case engine_ntfs:
        engine_ = &ntfs_;
        break;
    case engine_fat:
        engine_ = &fat_;
        break;
    default: {
        const QString name = volume.file_system.isEmpty() ? QStringLiteral("no known file system")
                                                          : volume.file_system;
        error = QStringLiteral("%1 holds %2: no file-system scan fits; try --deep").arg(volume.mount_path, name);
        return false;
    }
    }
    volume_ = volume;
    engine_->reset();
    engine_->set_volume(volume);
    return true;
}

void scan_session::run()
{
    progress_line line;
    engine_->start();
    while (!engine_->wait(200)) {
        const double share = engine_->progress() * 100.0;
        if (kind_ == engine_raw)
            line.show(QString::asprintf("deep scan: %5.1f%%  %s", share,
                                        format_size(uint64_t(engine_->progress() * double(volume_.total_bytes)))
                                            .toLocal8Bit().constData()));
        else
            line.show(QString::asprintf("scanning: %5.1f%%  %lld entries read  %lld kept", share,
                                        static_cast<long long>(engine_->entries_read()),
                                        static_cast<long long>(engine_->files_found())));
    }
    engine_->set_progress(1.0);
}

bool scan_session::load(const QString& file, QString& error)
{
    const QString device = raw_.read_results(file.toLocal8Bit());
    if (device.isEmpty()) {
        error = QStringLiteral("%1 is not a scan-result file").arg(file);
        return false;
    }
    enumerate_volumes();
    for (const volume_item_s& v : volume_list()) {
        if (!v.mount_path.isEmpty() && v.volume_name.startsWith(device)) {
            volume_ = v;
            raw_.set_volume(v);
            engine_ = &raw_;
            kind_ = engine_raw;
            return true;
        }
    }
    error = QStringLiteral("the volume %1 of %2 is not present").arg(device, file);
    return false;
}

std::vector<result_folder> scan_session::folders() const
{
    switch (kind_) {
    case engine_fat:
        return entry_result_folders(fat_.entries());
    case engine_ntfs:
        return entry_result_folders(ntfs_.entries());
    case engine_raw:
        return raw_result_folders(raw_.found_records(), raw_.found_groups());
    default:
        return {};
    }
}

QString engine_name(engine_kind kind)
{
    switch (kind) {
    case engine_fat:
        return QStringLiteral("fat");
    case engine_ntfs:
        return QStringLiteral("ntfs");
    case engine_raw:
        return QStringLiteral("raw");
    default:
        return QString();
    }
}
