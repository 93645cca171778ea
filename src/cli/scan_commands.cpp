#include "cli/commands.h"
#include "cli/output.h"
#include "cli/result_json.h"
#include "cli/scan_session.h"
#include "cli/volume_argument.h"
#include "recovery/recover_item.h"

#include <QDir>
#include <QSet>

namespace {

// Scans the volume that args.positional names; false with the exit status set.
bool scan_named_volume(const arguments& args, scan_session& session, int& status)
{
    if (args.positional.size() != 1) {
        status = fail(QStringLiteral("%1 takes one VOLUME").arg(args.command), exit_usage);
        return false;
    }
    volume_item_s volume;
    QString error;
    if (!find_volume(args.positional.front(), volume, error) ||
        !session.choose(volume, args.has("--deep"), error)) {
        status = fail(error);
        return false;
    }
    session.run();
    return true;
}

void print_results(scan_session& session, const arguments& args)
{
    const std::vector<result_folder> folders = session.folders();
    if (args.has("--json"))
        print_json(QJsonDocument(scan_json(session, folders)));
    else
        print_scan(session, folders);
}

// The rows --all or the --id values choose; unknown ids are reported.
std::vector<recovery_item_s> chosen_rows(const std::vector<result_folder>& folders,
                                         const arguments& args, int& status)
{
    QSet<qint64> wanted;
    for (const QString& text : args.ids) {
        bool ok = false;
        const qint64 id = text.toLongLong(&ok);
        if (!ok) {
            status = fail(QStringLiteral("'%1' is not an id").arg(text), exit_usage);
            return {};
        }
        wanted.insert(id);
    }
    std::vector<recovery_item_s> rows;
    QSet<qint64> seen;
    for (const result_folder& folder : folders) {
        for (const recovery_item_s& item : folder.files) {
            if ((args.has("--all") || wanted.contains(item.id)) && !seen.contains(item.id)) {
                seen.insert(item.id);
                rows.push_back(item);
            }
        }
    }
    for (qint64 id : wanted)
        if (!seen.contains(id))
            status = fail(QStringLiteral("no file with id %1 in the results").arg(id));
    return rows;
}

int recover_rows(scan_session& session, const arguments& args)
{
    int status = exit_ok;
    const std::vector<recovery_item_s> rows = chosen_rows(session.folders(), args, status);
    if (status == exit_usage)
        return status;
    const QDir folder(args.value("--to"));
    if (!QDir().mkpath(folder.path()))
        return fail(QStringLiteral("cannot create the folder %1").arg(folder.path()));
    int written = 0;
    for (const recovery_item_s& item : rows) {
        if (recover_item(session.kind(), session.engine(), folder, item) == 0)
            ++written;
        else
            status = fail(QStringLiteral("could not recover %1 (id %2)").arg(item.name).arg(item.id));
    }
    print_line(QStringLiteral("recovered %1 of %2 files into %3")
                   .arg(written)
                   .arg(rows.size())
                   .arg(folder.absolutePath()));
    return status;
}

} // namespace

int command_scan(const arguments& args)
{
    const QString save = args.value("--save");
    if (!save.isEmpty() && !args.has("--deep"))
        return fail(QStringLiteral("only deep-scan results can be saved: add --deep"), exit_usage);
    scan_session session;
    int status = exit_ok;
    if (!scan_named_volume(args, session, status))
        return status;
    print_results(session, args);
    if (!save.isEmpty() && session.raw().save_results(save.toLocal8Bit()) != 0)
        return fail(QStringLiteral("nothing saved to %1: no files found, or it cannot be written").arg(save));
    return exit_ok;
}

int command_load(const arguments& args)
{
    if (args.positional.size() != 1)
        return fail(QStringLiteral("load takes one FILE.sav"), exit_usage);
    scan_session session;
    QString error;
    if (!session.load(args.positional.front(), error))
        return fail(error);
    print_results(session, args);
    return exit_ok;
}

int command_recover(const arguments& args)
{
    if (args.value("--to").isEmpty())
        return fail(QStringLiteral("recover needs --to DIR"), exit_usage);
    if (args.has("--all") == !args.ids.isEmpty())
        return fail(QStringLiteral("recover needs --all or one or more --id ID"), exit_usage);
    scan_session session;
    const QString from = args.value("--from");
    if (!from.isEmpty()) {
        if (!args.positional.isEmpty())
            return fail(QStringLiteral("recover --from takes no VOLUME"), exit_usage);
        QString error;
        if (!session.load(from, error))
            return fail(error);
        return recover_rows(session, args);
    }
    int status = exit_ok;
    if (!scan_named_volume(args, session, status))
        return status;
    return recover_rows(session, args);
}
