// The command line: a command word, positional words and options.
#pragma once

#include <QString>
#include <QStringList>

#include <map>

struct arguments {
    QString command;
    QStringList positional;
    QStringList ids;               // every --id value, in order
    std::map<QString, QString> values; // --to, --save, --from
    QStringList flags;             // --json, --yes, --all, --deep

    bool has(const char* flag) const { return flags.contains(QLatin1String(flag)); }
    QString value(const char* option) const;
};

// Fills `out` from argv; on a malformed line returns false with `error` set.
bool parse_arguments(const QStringList& argv, arguments& out, QString& error);
