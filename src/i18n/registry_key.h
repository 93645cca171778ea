// The one registry key the program reads, HKEY_CURRENT_USER\SOFTWARE\Zorvane_Init,
// kept as the INI file "Zorvane_Init.ini" in the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config); its values are the file's top-level entries.
#pragma once

#include <QSettings>

#include <cstdint>
#include <memory>

class registry_key {
public:
    // Opens the key for reading, creating it empty when it does not exist.
    // Returns 0, or -1 when it can be neither opened nor created.
    int create();
    // Reads the 32-bit number `name` into `value`; returns 0, or -1 when the
    // key is not open or the value is missing or no such number (`value`
    // is then left as it was).
    int query_number(const QString& name, uint32_t& value) const;
    void close();

private:
    std::unique_ptr<QSettings> values_;
};
