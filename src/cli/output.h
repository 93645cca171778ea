// What the commands print: aligned tables for people, JSON for machines,
// progress and errors on standard error.
#pragma once

#include <QJsonDocument>
#include <QString>
#include <QStringList>

#include <vector>

// Exit statuses.
enum exit_status { exit_ok = 0, exit_failure = 1, exit_usage = 2 };

void print_json(const QJsonDocument& document);
// Columns padded to their widest cell; the first row is the heading.
void print_table(const std::vector<QStringList>& rows);
void print_line(const QString& text);
// "zorvane-cli: <text>" on standard error; returns `status` for the caller.
int fail(const QString& text, int status = exit_failure);

// A progress line redrawn in place, only when standard error is a terminal.
class progress_line {
public:
    progress_line();
    ~progress_line();
    void show(const QString& text);

private:
    bool terminal_;
    bool shown_ = false;
};
