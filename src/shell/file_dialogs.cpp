#include "shell/file_dialogs.h"

#include <QFileDialog>

namespace {

file_dialog_answerer& answerer()
{
    static file_dialog_answerer hook;
    return hook;
}

QString run(QWidget* parent, const file_dialog_request& request)
{
    if (answerer())
        return answerer()(request);
    QString selected = request.selected_filter;
    switch (request.kind) {
    case file_dialog_request::existing_directory:
        return QFileDialog::getExistingDirectory(parent, request.caption, request.start);
    case file_dialog_request::save_file:
        return QFileDialog::getSaveFileName(parent, request.caption, request.start, request.filter,
                                            &selected);
    case file_dialog_request::open_file:
        return QFileDialog::getOpenFileName(parent, request.caption, request.start, request.filter,
                                            &selected);
    }
    return QString();
}

} // namespace

QString choose_existing_directory(QWidget* parent, const QString& caption, const QString& start)
{
    return run(parent, {file_dialog_request::existing_directory, caption, start, {}, {}});
}

QString choose_save_file(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter, const QString& selected_filter)
{
    return run(parent, {file_dialog_request::save_file, caption, start, filter, selected_filter});
}

QString choose_open_file(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter, const QString& selected_filter)
{
    return run(parent, {file_dialog_request::open_file, caption, start, filter, selected_filter});
}

void set_file_dialog_answerer(file_dialog_answerer hook)
{
    answerer() = std::move(hook);
}
