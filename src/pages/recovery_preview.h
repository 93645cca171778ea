// The preview above the recovery page's file table: the last clicked file,
// drawn as a picture or as text.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

// Whether a file of this name is drawn as a picture, by its last four
// characters lower-cased (".jpg", "jpeg", "tiff", ...).
bool is_picture_name(const QString& name);

// The text of a file's first bytes: UTF-16 after FF FE, UTF-8 after
// EF BB BF, else Latin-1; it ends at the first zero unit.
QString preview_text(const QByteArray& bytes);

// What the preview draws, read once when the file is written rather than on
// every repaint of the page.
struct preview_content {
    bool picture = false;
    QImage image; // null when the file is not a readable picture
    QString text; // at most the first 8192 bytes, decoded
};

// Reads the file at `path`, written there under `name`.
preview_content load_preview(const QString& path, const QString& name);

// Draws into the preview area of a page of size `page`; a file that could not
// be read or decoded draws nothing.
void draw_preview(QPainter& painter, const QSize& page, const preview_content& content);
