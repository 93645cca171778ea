// The recovery page's models: sort and check rules of the file table, the
// folder tree's structure, and trees far deeper than a stack.
#include "pages/recovery_models.h"

#include <QIcon>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

namespace {

recovery_item_s row(const char* name, uint64_t size, int64_t date1, int64_t date2)
{
    recovery_item_s item;
    item.name = QString::fromUtf8(name);
    item.size = size;
    item.date1 = date1;
    item.date2 = date2;
    return item;
}

QStringList names(const std::vector<recovery_item_s>& rows)
{
    QStringList out;
    for (const recovery_item_s& r : rows)
        out << r.name;
    return out;
}

std::vector<recovery_item_s> sample_rows()
{
    // Sizes above 2^63 must sort as unsigned; dates as signed.
    return {row("b", 10, 0, 5), row("B", 0x8000000000000000ull, -1, 2), row("a", 3, 100, -7),
            row("C", 10000, INT64_MIN, 0)};
}

struct sort_case {
    int column;
    int requests;
    QStringList expected;
};

class table_sort : public testing::TestWithParam<sort_case> {};

TEST_P(table_sort, alternates_from_ascending)
{
    std::vector<recovery_item_s> rows = sample_rows();
    recovery_model_c model(&rows);
    for (int i = 0; i < GetParam().requests; ++i)
        model.sort_by_column(GetParam().column);
    EXPECT_EQ(names(rows), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    columns, table_sort,
    testing::Values(
        // UTF-16 code units: upper case before lower case.
        sort_case{1, 1, {"B", "C", "a", "b"}}, sort_case{1, 2, {"b", "a", "C", "B"}},
        sort_case{1, 3, {"B", "C", "a", "b"}}, sort_case{2, 1, {"a", "b", "C", "B"}},
        sort_case{2, 2, {"B", "C", "b", "a"}}, sort_case{3, 1, {"C", "B", "b", "a"}},
        sort_case{4, 1, {"a", "C", "B", "b"}},
        // Column 0 has no key: nothing moves.
        sort_case{0, 1, {"b", "B", "a", "C"}}));

TEST(table_model, directions_are_kept_per_column)
{
    std::vector<recovery_item_s> rows = sample_rows();
    recovery_model_c model(&rows);
    model.sort_by_column(1); // name ascending
    model.sort_by_column(2); // size ascending
    model.sort_by_column(1); // name descending: its own second request
    EXPECT_EQ(names(rows), (QStringList{"b", "a", "C", "B"}));
}

TEST(table_model, checks_travel_with_their_rows)
{
    std::vector<recovery_item_s> rows = sample_rows();
    recovery_model_c model(&rows);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.set_checked(2, true); // "a"
    model.set_checked(4, true); // outside: nothing
    model.set_checked(-1, true);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(2, 0));
    model.sort_by_column(1);
    EXPECT_EQ(rows[2].name, "a");
    EXPECT_TRUE(rows[2].checked);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](auto& r) { return r.checked; }), 1);
}

TEST(table_model, hands_whole_rows_and_nothing_outside)
{
    std::vector<recovery_item_s> rows = sample_rows();
    recovery_model_c model(&rows);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(model.data(model.index(1, column), Qt::DisplayRole).value<recovery_item_s>().size,
                  0x8000000000000000ull);
    EXPECT_FALSE(model.data(model.index(1, 1), Qt::EditRole).isValid());
    const QModelIndex last = model.index(3, 1);
    rows.resize(1); // a list rebuilt under an old model
    EXPECT_FALSE(model.data(last, Qt::DisplayRole).isValid());
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "checkbox");
    EXPECT_FALSE(model.headerData(1, Qt::Vertical, Qt::DisplayRole).isValid());
}

TEST(table_model, sorting_nothing_still_reports_a_change)
{
    std::vector<recovery_item_s> rows;
    recovery_model_c model(&rows);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.sort_by_column(3);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_FALSE(changed[0][1].toModelIndex().isValid());
}

TEST(tree_model, indexes_follow_the_nodes)
{
    TreeModel model;
    tree_node_s* top = model.root_node()->add_child("/", nullptr);
    tree_node_s* a = top->add_child("a", nullptr);
    tree_node_s* b = top->add_child("b", nullptr);
    b->add_child("b1", nullptr);

    const QModelIndex slash = model.index(0, 0);
    ASSERT_TRUE(slash.isValid());
    EXPECT_FALSE(model.parent(slash).isValid());
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(slash), 2);
    const QModelIndex b_index = model.index(1, 0, slash);
    EXPECT_EQ(model.data(b_index, Qt::DisplayRole).toString(), "b");
    EXPECT_EQ(TreeModel::node_of(b_index), b);
    const QModelIndex b1 = model.index(0, 0, b_index);
    EXPECT_EQ(model.parent(b1), b_index);
    EXPECT_EQ(model.parent(model.index(0, 0, slash)).row(), 0);
    EXPECT_EQ(TreeModel::node_of(model.index(0, 0, slash)), a);
    EXPECT_FALSE(model.index(2, 0, slash).isValid());
    EXPECT_FALSE(model.index(0, 1, slash).isValid());
    EXPECT_EQ(model.flags(b1), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    EXPECT_EQ(model.flags({}), Qt::NoItemFlags);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Title");
    EXPECT_FALSE(model.data(b1, Qt::DecorationRole).value<QIcon>().isNull());
}

// A directory chain as deep as a crafted FAT volume can make it.
entry_hash<fat_entry_s> directory_chain(uint32_t depth)
{
    entry_hash<fat_entry_s> entries;
    fat_entry_s root;
    root.attributes = fat_attribute_directory;
    entries.insert(0, root);
    for (uint32_t cluster = 2; cluster < depth + 2; ++cluster) {
        fat_entry_s dir;
        dir.start_cluster = cluster;
        dir.parent_cluster = cluster == 2 ? 0 : cluster - 1;
        dir.attributes = fat_attribute_directory | fat_attribute_deleted;
        dir.name[0] = u'd';
        entries.insert(cluster, dir);
    }
    fat_entry_s file;
    file.start_cluster = depth + 2;
    file.parent_cluster = depth + 1;
    file.attributes = fat_attribute_deleted;
    entries.insert(file.start_cluster, file);
    link_entries(entries);
    mark_entries(entries);
    return entries;
}

// Runs `work` on a thread with a small stack, where a walk that recursed
// once per level would overflow long before the end.
void on_small_stack(const std::function<void()>& work)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    thread->setStackSize(256 * 1024);
    thread->start();
    thread->wait();
}

TEST(tree_model, builds_and_frees_trees_deeper_than_the_stack)
{
    const uint32_t depth = 40000;
    const entry_hash<fat_entry_s> entries = directory_chain(depth);
    uint32_t levels = 0;
    on_small_stack([&] {
        auto model = std::make_unique<TreeModel>();
        build_entry_tree<fat_entry_s>(model->root_node()->add_child("/", root_entry(entries)));
        for (const tree_node_s* node = model->root_node()->children[0]; !node->children.isEmpty();
             node = node->children[0])
            ++levels;
        model.reset(); // must not recurse either
    });
    EXPECT_EQ(levels, depth);
}

TEST(tree_model, shows_only_folders_that_lead_to_files)
{
    entry_hash<fat_entry_s> entries = directory_chain(2);
    fat_entry_s empty_dir;
    empty_dir.start_cluster = 50;
    empty_dir.attributes = fat_attribute_directory | fat_attribute_deleted;
    entries.insert(50, empty_dir);
    for (auto& e : entries)
        e.children.clear(), e.has_files = 0;
    link_entries(entries);
    mark_entries(entries);
    TreeModel model;
    build_entry_tree<fat_entry_s>(model.root_node()->add_child("/", root_entry(entries)));
    const tree_node_s* slash = model.root_node()->children[0];
    ASSERT_EQ(slash->children.size(), 1);
    EXPECT_EQ(static_cast<const fat_entry_s*>(slash->children[0]->folder)->start_cluster, 2u);
}

} // namespace
