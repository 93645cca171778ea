// Runs zorvane-cli on a set of disk images and keeps what it said.
#pragma once

#include <QJsonDocument>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

struct cli_result {
    int status = -1;
    QByteArray out;
    QByteArray err;
    QJsonDocument json() const { return QJsonDocument::fromJson(out); }
};

// `data_home` (when given) becomes XDG_DATA_HOME, where backups go.
cli_result run_cli(const QStringList& arguments, const std::vector<std::string>& disks,
                   const std::string& data_home = {});
