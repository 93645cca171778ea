// Shows a folder to the user in the desktop's file manager, as the shell does
// on Windows; tests answer instead of a file manager.
#pragma once

#include <QString>

#include <functional>

void open_folder(const QString& path);

// An empty function opens folders with the desktop again.
using folder_opener = std::function<void(const QString& path)>;
void set_folder_opener(folder_opener opener);
