#include "cli/commands.h"
#include "cli/disk_argument.h"
#include "cli/output.h"
#include "disk/format_size.h"
#include "partition/partition_repair.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>

namespace {

// Opens the disk as the search will, so that a disk we may not read is an
// error and not an empty result.
bool can_read(const drive_item_s& drive)
{
    platform::device::handle* h = platform::device::open(
        drive.path.toStdString(), platform::device::generic_read, platform::device::no_buffering);
    platform::device::close(h);
    return h != nullptr;
}

// Runs the search to its end, with percent and MB/s on a terminal.
QList<partition_item_s> search(partition_repair_c& worker, const drive_item_s& drive)
{
    worker.set_drive(drive);
    QElapsedTimer clock;
    clock.start();
    progress_line line;
    worker.start();
    while (!worker.wait(200)) {
        const double share = worker.progress();
        const double seconds = std::max(clock.elapsed(), qint64(1)) / 1000.0;
        const double mb = share * double(drive.size) / (1024.0 * 1024.0);
        line.show(QString::asprintf("searching %s: %5.1f%%  %.1f MB/s  %lld found",
                                    drive.path.toLocal8Bit().constData(), share * 100.0,
                                    mb / seconds, static_cast<long long>(worker.found_count())));
    }
    return worker.found();
}

void print_partitions(const QList<partition_item_s>& found, bool json)
{
    if (json) {
        QJsonArray list;
        for (const partition_item_s& p : found)
            list.append(QJsonObject{{"file_system", p.file_system},
                                    {"type", p.type},
                                    {"start_sector", qint64(p.start_sector)},
                                    {"end_sector", qint64(p.end_sector)}});
        print_json(QJsonDocument(list));
        return;
    }
    if (found.isEmpty()) {
        print_line(QStringLiteral("no partitions found"));
        return;
    }
    std::vector<QStringList> rows = {{"#", "file system", "type", "start sector", "end sector", "size"}};
    for (qsizetype i = 0; i < found.size(); ++i) {
        const partition_item_s& p = found[i];
        rows.push_back({QString::number(i), p.file_system, QString::number(p.type),
                        QString::number(p.start_sector), QString::number(p.end_sector),
                        format_size((p.end_sector - p.start_sector + 1) * 512)});
    }
    print_table(rows);
}

const drive_item_s* readable_disk(const arguments& args, int& status)
{
    if (args.positional.size() != 1) {
        status = fail(QStringLiteral("%1 takes one DISK").arg(args.command), exit_usage);
        return nullptr;
    }
    QString error;
    const drive_item_s* drive = find_disk(args.positional.front(), error);
    if (!drive) {
        status = fail(error);
        return nullptr;
    }
    if (!can_read(*drive)) {
        status = fail(QStringLiteral("cannot open %1 for reading").arg(drive->path));
        return nullptr;
    }
    return drive;
}

} // namespace

int command_find_partitions(const arguments& args)
{
    int status = exit_ok;
    const drive_item_s* drive = readable_disk(args, status);
    if (!drive)
        return status;
    partition_repair_c worker;
    print_partitions(search(worker, *drive), args.has("--json"));
    return exit_ok;
}

int command_repair(const arguments& args)
{
    if (!args.has("--yes"))
        return fail(QStringLiteral("repair rewrites sector 0 of the disk; add --yes to confirm"),
                    exit_usage);
    int status = exit_ok;
    const drive_item_s* drive = readable_disk(args, status);
    if (!drive)
        return status;
    partition_repair_c worker;
    const QList<partition_item_s> found = search(worker, *drive);
    if (found.isEmpty())
        return fail(QStringLiteral("no partitions found on %1; sector 0 left as it was").arg(drive->path));
    if (worker.repair() != 0)
        return fail(QStringLiteral("could not write sector 0 of %1").arg(drive->path));
    print_partitions(found, args.has("--json"));
    return exit_ok;
}
