#include "cli/output.h"

#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

void print_json(const QJsonDocument& document)
{
    std::fputs(document.toJson(QJsonDocument::Indented).constData(), stdout);
}

void print_table(const std::vector<QStringList>& rows)
{
    std::vector<qsizetype> widths;
    for (const QStringList& row : rows) {
        widths.resize(std::max(widths.size(), size_t(row.size())));
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[size_t(c)] = std::max(widths[size_t(c)], row[c].size());
    }
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(widths[size_t(c)] + 2) : row[c];
        print_line(line);
    }
}

void print_line(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

int fail(const QString& text, int status)
{
    std::fprintf(stderr, "zorvane-cli: %s\n", text.toLocal8Bit().constData());
    return status;
}

progress_line::progress_line() : terminal_(isatty(STDERR_FILENO) == 1) {}

progress_line::~progress_line()
{
    if (shown_)
        std::fputc('\n', stderr);
}

void progress_line::show(const QString& text)
{
    if (!terminal_)
        return;
    std::fprintf(stderr, "\r\033[K%s", text.toLocal8Bit().constData());
    std::fflush(stderr);
    shown_ = true;
}
