#include "cli/result_json.h"

#include "cli/output.h"
#include "disk/format_size.h"
#include "recovery/recover_item.h"

#include <QDateTime>
#include <QJsonArray>

namespace {

QJsonObject row_json(scan_session& session, const recovery_item_s& item)
{
    QJsonObject row{{"name", item.name},
                    {"size", qint64(item.size)},
                    {"date1", qint64(item.date1)},
                    {"date2", qint64(item.date2)},
                    {"id", qint64(item.id)},
                    {"attributes", qint64(item.attributes)}};
    if (session.kind() == engine_ntfs && (item.attributes & ntfs_flag_deleted))
        row.insert("recoverable", session.ntfs().recoverable_share(item.id));
    return row;
}

QString date_text(int64_t seconds)
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(seconds);
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

} // namespace

QJsonObject scan_json(scan_session& session, const std::vector<result_folder>& folders)
{
    QJsonArray list;
    for (const result_folder& folder : folders) {
        QJsonArray files;
        for (const recovery_item_s& item : folder.files)
            files.append(row_json(session, item));
        list.append(QJsonObject{{"path", folder.path}, {"id", qint64(folder.id)}, {"files", files}});
    }
    recovery_base_c& engine = session.engine();
    return QJsonObject{{"engine", engine_name(session.kind())},
                       {"stop_code", engine.stop_code()},
                       {"entries_read", qint64(engine.entries_read())},
                       {"files_found", qint64(engine.files_found())},
                       {"folders", list}};
}

void print_scan(scan_session& session, const std::vector<result_folder>& folders)
{
    if (folders.empty()) {
        print_line(QStringLiteral("nothing found"));
        return;
    }
    for (const result_folder& folder : folders) {
        print_line(folder.path);
        std::vector<QStringList> rows;
        for (const recovery_item_s& item : folder.files)
            rows.push_back({QStringLiteral("   "), QString::number(item.id), item.name,
                            format_size(item.size), date_text(item.date1), date_text(item.date2)});
        if (!rows.empty())
            print_table(rows);
    }
    if (session.kind() != engine_raw)
        print_line(QStringLiteral("%1 entries read, %2 kept")
                       .arg(session.engine().entries_read())
                       .arg(session.engine().files_found()));
}
