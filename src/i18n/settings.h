// The settings file "Zorvane.ini" in the current directory: the user's
// language and a folder entry carried along unchanged.
#pragma once

#include <QSettings>
#include <QString>

#include <optional>

// Created by load_settings() and kept for the whole process.
extern QSettings* settings;
// "recovery_folder" as read at start; written back by every save.
extern QString recovery_folder;
// The current language: a section name of the language file.
extern QString language;

// Reads the settings, settles the language (the setting, else the one left in
// the registry, else "English") and loads the texts, English underneath the
// chosen language. Runs before any window exists. Returns 0.
int load_settings();

// Writes both keys at once. Returns 0; a file that cannot be written is not reported.
int save_settings();

// The language named by the number under HKEY_CURRENT_USER\SOFTWARE\Zorvane_Init,
// value "language"; none when the key, the value or its number is not known.
std::optional<QString> registry_language();
