// The passes shared by the FAT and NTFS engines over their result hash, and
// the walks the recovery page and the command line make over its tree.
#pragma once

#include "recovery/entry_traits.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <cstddef>
#include <string>
#include <vector>

template <class Entry>
using entry_key_t = typename entry_traits<Entry>::key_type;

template <class Entry>
using entry_hash = QHash<entry_key_t<Entry>, Entry>;

// The text of a fixed-size name field, up to its first zero or its end.
template <size_t N>
QString entry_name(const char16_t (&name)[N])
{
    size_t length = 0;
    while (length < N && name[length] != 0)
        ++length;
    return QString::fromUtf16(name, qsizetype(length));
}

// Link pass: appends each entry to its parent's children. Pointers go into the
// hash's own storage, so nothing may be inserted or removed afterwards.
template <class Entry>
void link_entries(entry_hash<Entry>& entries)
{
    using traits = entry_traits<Entry>;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (!traits::linked(*it))
            continue;
        const auto parent = entries.find(traits::parent(*it));
        if (parent != entries.end())
            parent->children.append(&*it);
    }
}

// Mark pass: sets has_files on every directory above a file. A walk stops at a
// directory already marked, which also ends it on a cycle of parents.
template <class Entry>
void mark_entries(entry_hash<Entry>& entries)
{
    using traits = entry_traits<Entry>;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (!traits::is_file(*it))
            continue;
        const Entry* entry = &*it;
        for (;;) {
            const auto parent = entries.find(traits::parent(*entry));
            if (parent == entries.end() || parent->has_files)
                break;
            parent->has_files = 1;
            entry = &*parent;
        }
    }
}

// Appends to `out` where the entry lives on the mounted volume: the mount path
// without one trailing separator, then "\" and each name from the top level
// down to the entry. -1, leaving `out` alone, when an entry on the way up is
// missing or the walk comes back to an entry it has passed.
template <class Entry>
int entry_file_path(const entry_hash<Entry>& entries, entry_key_t<Entry> key,
                    const QString& mount_path, std::wstring* out)
{
    using traits = entry_traits<Entry>;
    std::vector<const Entry*> chain;
    QSet<const Entry*> passed;
    for (;;) {
        const auto it = entries.constFind(key);
        if (it == entries.cend() || passed.contains(&*it))
            return -1;
        chain.push_back(&*it);
        passed.insert(&*it);
        if (traits::is_top_level(*it))
            break;
        key = traits::parent(*it);
    }
    QString path = mount_path;
    if (path.endsWith(u'/') || path.endsWith(u'\\'))
        path.chop(1);
    for (auto e = chain.rbegin(); e != chain.rend(); ++e)
        path += u'\\' + entry_name((*e)->name);
    out->append(path.toStdWString());
    return 0;
}

// The entry at the top of the folder tree, or null when the scan left none.
template <class Entry>
const Entry* root_entry(const entry_hash<Entry>& entries)
{
    const auto it = entries.constFind(entry_traits<Entry>::root_key);
    return it == entries.cend() ? nullptr : &*it;
}

// The children of a folder that the tree shows as folders, in list order.
template <class Entry>
QList<const Entry*> folder_children(const Entry& folder)
{
    QList<const Entry*> shown;
    for (const Entry* child : folder.children)
        if (entry_traits<Entry>::shown_folder(*child))
            shown.append(child);
    return shown;
}

// The children of a folder that its file list shows, in list order.
template <class Entry>
QList<const Entry*> file_children(const Entry& folder)
{
    QList<const Entry*> shown;
    for (const Entry* child : folder.children)
        if (entry_traits<Entry>::shown_file(*child))
            shown.append(child);
    return shown;
}
