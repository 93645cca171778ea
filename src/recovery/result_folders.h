// The folder tree the recovery page shows after a scan, as a flat list in
// display order: "/" first, then every folder depth first in the engine's
// order, each with the file rows its click lists.
#pragma once

#include "recovery/entry_tree.h"
#include "recovery/recovery_item.h"

#include <QString>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct result_folder {
    QString path;
    int64_t id = -1; // the directory's key in its engine; -1 for carved groups
    std::vector<recovery_item_s> files;
};

// Empty when the scan found nothing: no root entry, or "/" has no folder.
template <class Entry>
std::vector<result_folder> entry_result_folders(const entry_hash<Entry>& entries)
{
    const Entry* root = root_entry(entries);
    if (!root)
        return {};
    std::vector<result_folder> folders;
    // An explicit stack: a crafted volume may nest folders far deeper than
    // the thread's stack would allow.
    std::vector<std::pair<const Entry*, QString>> pending = {{root, QStringLiteral("/")}};
    while (!pending.empty()) {
        auto [folder, path] = pending.back();
        pending.pop_back();
        folders.push_back({path, int64_t(entry_traits<Entry>::key(*folder)), file_rows(*folder)});
        const QList<const Entry*> children = folder_children(*folder);
        const QString prefix = path == QStringLiteral("/") ? path : path + u'/';
        for (auto child = children.crbegin(); child != children.crend(); ++child)
            pending.emplace_back(*child, prefix + entry_name((*child)->name));
    }
    if (folders.size() == 1)
        return {};
    return folders;
}

// "/" and one folder per group, in the container's order; empty without groups.
std::vector<result_folder> raw_result_folders(
    const std::vector<raw_file_s>& records,
    const std::unordered_map<std::string, std::vector<int64_t>>& groups);
