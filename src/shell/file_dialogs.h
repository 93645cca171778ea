// The file choosers the pages open, in one place so that tests can answer them.
#pragma once

#include <QString>

#include <functional>

class QWidget;

struct file_dialog_request {
    enum kind_t { existing_directory, save_file, open_file } kind = existing_directory;
    QString caption;
    QString start;
    QString filter;          // save and open only
    QString selected_filter; // save and open only
};

// QFileDialog::getExistingDirectory.
QString choose_existing_directory(QWidget* parent, const QString& caption, const QString& start);
// QFileDialog::getSaveFileName / getOpenFileName with a selected filter.
QString choose_save_file(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter, const QString& selected_filter);
QString choose_open_file(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter, const QString& selected_filter);

// Tests answer the choosers instead of a person; the answer is the chosen
// path, empty for Cancel. An empty function opens the dialogs again.
using file_dialog_answerer = std::function<QString(const file_dialog_request& request)>;
void set_file_dialog_answerer(file_dialog_answerer answerer);
