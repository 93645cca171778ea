// The FAT engine: walks every directory of a FAT volume through the FAT
// driver, deleted ones included, and keeps the directories and the deleted
// entries by start cluster.
#pragma once

#include "recovery/entry_tree.h"
#include "recovery/fat_entry.h"
#include "recovery/counted_engine.h"

struct fat_dir_s;
struct fat_info_s;

class fat_recovery_c : public counted_engine_c {
    Q_OBJECT
public:
    explicit fat_recovery_c(QObject* parent = nullptr);
    ~fat_recovery_c() override;

    void reset() override;
    int recover_file(int64_t id, QString path) override;
    int file_path(int64_t id, std::wstring* out) const override;

    const entry_hash<fat_entry_s>& entries() const { return entries_; }

    // Seconds since 1970 of a FAT date and time taken as local time; 0 when
    // the calendar conversion fails.
    static int64_t fat_time(uint16_t date, uint16_t time);

protected:
    void run() override;

private:
    struct open_directory;
    bool open_root(open_directory& top);
    bool open_subdirectory(open_directory& frame);
    void walk_volume();
    // Reads one entry of `dir`: 1 for an entry, 0 at the end or on a failure.
    int next_entry(open_directory& dir, fat_info_s& info);
    bool wait_while_paused();
    // True when N is stored newly under its key (the only case that is walked).
    bool store(const fat_entry_s& entry);

    entry_hash<fat_entry_s> entries_;
};
