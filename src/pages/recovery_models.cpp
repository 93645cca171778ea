#include "pages/recovery_models.h"

#include "i18n/language_table.h"

#include <QIcon>

#include <algorithm>

tree_node_s::tree_node_s(const QString& node_name, tree_node_s* parent_node,
                         const void* folder_data)
    : name(node_name), parent(parent_node), folder(folder_data)
{
}

tree_node_s::~tree_node_s()
{
    QList<tree_node_s*> pending = std::move(children);
    while (!pending.isEmpty()) {
        tree_node_s* node = pending.takeLast();
        pending.append(node->children);
        node->children.clear();
        delete node;
    }
}

tree_node_s* tree_node_s::add_child(const QString& child_name, const void* child_folder)
{
    auto* child = new tree_node_s(child_name, this, child_folder);
    children.append(child);
    return child;
}

TreeModel::TreeModel(QObject* parent)
    : QAbstractItemModel(parent), root(QStringLiteral("Title"), nullptr, nullptr)
{
}

TreeModel::~TreeModel() = default;

const tree_node_s* TreeModel::node_of(const QModelIndex& index)
{
    return static_cast<const tree_node_s*>(index.internalPointer());
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    const tree_node_s* parent_node = parent.isValid() ? node_of(parent) : &root;
    if (row >= parent_node->children.size())
        return {};
    return createIndex(row, column, parent_node->children[row]);
}

QModelIndex TreeModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    tree_node_s* parent_node = node_of(index)->parent;
    if (parent_node == &root || !parent_node)
        return {};
    const int row = int(parent_node->parent->children.indexOf(parent_node));
    return createIndex(row, 0, parent_node);
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const tree_node_s* node = parent.isValid() ? node_of(parent) : &root;
    return int(node->children.size());
}

int TreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DecorationRole)
        return QIcon(QStringLiteral(":/images/recovery/folder.png"));
    if (role == Qt::DisplayRole)
        return node_of(index)->name;
    return {};
}

QVariant TreeModel::headerData(int, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return root.name;
    return {};
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

recovery_model_c::recovery_model_c(std::vector<recovery_item_s>* page_rows, QObject* parent)
    : QAbstractTableModel(parent), rows(page_rows)
{
}

int recovery_model_c::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows->size());
}

int recovery_model_c::columnCount(const QModelIndex&) const
{
    return 5;
}

QVariant recovery_model_c::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(rows->size()))
        return {};
    return QVariant::fromValue((*rows)[size_t(index.row())]);
}

QVariant recovery_model_c::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0: return QStringLiteral("checkbox");
    case 1: return lang_text("recovery_name");
    case 2: return lang_text("drive_size");
    case 3: return lang_text("recovery_date1");
    case 4: return lang_text("recovery_date2");
    }
    return {};
}

void recovery_model_c::set_checked(int row, bool value)
{
    if (row < 0 || row >= int(rows->size()))
        return;
    (*rows)[size_t(row)].checked = value;
    emit dataChanged(index(row, 0), index(row, 0));
}

namespace {

// Orders two rows by a column's key: negative, zero or positive.
int compare_rows(const recovery_item_s& a, const recovery_item_s& b, int column)
{
    auto three_way = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (column) {
    case 1: return QString::compare(a.name, b.name, Qt::CaseSensitive);
    case 2: return three_way(a.size, b.size);
    case 3: return three_way(a.date1, b.date1);
    case 4: return three_way(a.date2, b.date2);
    }
    return 0;
}

} // namespace

void recovery_model_c::sort_by_column(int column)
{
    if (column < 0 || column > 4)
        return;
    const bool ascending = sort_ascending[column] = !sort_ascending[column];
    if (column > 0)
        std::sort(rows->begin(), rows->end(),
                  [column, ascending](const recovery_item_s& a, const recovery_item_s& b) {
                      const int order = compare_rows(a, b, column);
                      return ascending ? order < 0 : order > 0;
                  });
    emit dataChanged(index(0, 0), index(int(rows->size()) - 1, 4));
}
