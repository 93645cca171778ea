// The two models of the recovery page: the folder tree built from a scan's
// results, and the file table over the page's rows.
#pragma once

#include "recovery/entry_tree.h"
#include "recovery/recovery_item.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <vector>

// One folder of the tree. `folder` points into the engine's results (an
// entry, or a group of record indexes) and stays valid until its reset.
struct tree_node_s {
    QList<tree_node_s*> children; // owned
    QString name;
    tree_node_s* parent = nullptr;
    const void* folder = nullptr;

    tree_node_s(const QString& node_name, tree_node_s* parent_node, const void* folder_data);
    // Deletes the whole subtree without recursing: a crafted volume may nest
    // folders deeper than the stack allows.
    ~tree_node_s();
    tree_node_s(const tree_node_s&) = delete;
    tree_node_s& operator=(const tree_node_s&) = delete;

    // Makes a child of this node and appends it.
    tree_node_s* add_child(const QString& child_name, const void* child_folder);
};

// Adds below `top`, whose folder is a FAT or NTFS directory entry, a node for
// every folder the tree shows, each below its parent in the entries' order.
// No recursion: a crafted volume may nest directories far deeper than the
// stack would take.
template <class Entry>
void build_entry_tree(tree_node_s* top)
{
    std::vector<tree_node_s*> pending = {top};
    while (!pending.empty()) {
        tree_node_s* node = pending.back();
        pending.pop_back();
        const auto* entry = static_cast<const Entry*>(node->folder);
        for (const Entry* child : folder_children(*entry))
            pending.push_back(node->add_child(entry_name(child->name), child));
    }
}

class TreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TreeModel(QObject* parent = nullptr);
    ~TreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    tree_node_s* root_node() { return &root; }
    static const tree_node_s* node_of(const QModelIndex& index);

private:
    tree_node_s root;
};

class recovery_model_c : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit recovery_model_c(std::vector<recovery_item_s>* page_rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void set_checked(int row, bool value);
    // Each request for a column flips its direction, the first one ascending.
    void sort_by_column(int column);

private:
    std::vector<recovery_item_s>* rows;
    bool sort_ascending[5] = {};
};
