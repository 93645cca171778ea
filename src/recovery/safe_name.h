// Names of recovered files come from disk; before one is joined to the
// destination folder it is made unable to leave that folder.
#pragma once

#include <QDir>
#include <QString>

// Path separators and control characters become '_', as do the names "." and
// ".." and an empty name; a name longer than the 255 bytes a file name may take
// is shortened before its extension.
QString safe_file_name(const QString& name);

// The folder's path, "/", and the safe form of `name`.
QString destination_path(const QDir& folder, const QString& name);
