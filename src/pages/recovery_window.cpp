#include "pages/recovery_window.h"

#include "disk/format_size.h"
#include "i18n/language_table.h"
#include "pages/model_swap.h"
#include "pages/open_folder.h"
#include "pages/page_style.h"
#include "pages/recovery_delegate.h"
#include "pages/recovery_destination.h"
#include "pages/recovery_models.h"
#include "pages/recovery_views.h"
#include "platform/locations.h"
#include "recovery/engine_choice.h"
#include "recovery/recover_item.h"
#include "recovery/recovery_file.h"
#include "recovery/safe_name.h"
#include "shell/file_dialogs.h"
#include "shell/warning_box.h"

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>

bool recovery_busy = false;

namespace {

constexpr uint64_t largest_preview = 5 * 1024 * 1024;
const char* const result_file_filter = "Zorvane Scan files (*.sav);;All files (*.*)";
const char* const result_file_selected = "Zorvane Scan files (*.sav)";

// A = H - 143: the height shared by the preview area and the table.
int shared_height(const QWidget& page)
{
    return page.height() - 143;
}

} // namespace

recovery_window_c::recovery_window_c(QWidget* owner)
    : QWidget(nullptr), main_window(owner), engine(&null_engine)
{
    setupUi(this);

    movie = new QMovie(QStringLiteral(":/images/recovery/ani.gif"), QByteArray(), this);
    lbl_anime->move(0, 0);
    lbl_anime->resize(130, 86);
    lbl_anime->setMovie(movie);

    table = new MyQTableView(this);
    table->setStyleSheet("QTableView{border-style: none;border: 1px solid #8bb8fe;}");

    set_tree_model(new TreeModel);
    tv_dirtree->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    tv_dirtree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tv_dirtree->header()->setStretchLastSection(false);
    tv_dirtree->header()->hide();

    delegate = new recovery_delegate_c;
    table->setItemDelegate(delegate);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();

    header = new MyHeaderView(Qt::Horizontal, this);
    header->resizeSection(0, 33);
    table->setHorizontalHeader(header);
    set_table_model();

    btn_back->resize(100, 30);
    btn_stop->resize(80, 30);
    btn_pause->resize(80, 30);
    btn_filter->resize(80, 30);
    btn_recovery->resize(100, 30);
    btn_back->setText(lang_text("btn_back"));
    btn_stop->setText(lang_text("btn_stop"));
    btn_pause->setText(lang_text("btn_pause"));
    btn_filter->setText(lang_text("btn_save_result"));
    btn_recovery->setText(lang_text("btn_recovery"));

    for (recovery_base_c* real : {static_cast<recovery_base_c*>(&fat_engine),
                                  static_cast<recovery_base_c*>(&ntfs_engine),
                                  static_cast<recovery_base_c*>(&raw_engine)})
        connect(real, &QThread::finished, this, &recovery_window_c::on_thread_finished);
    connect(tv_dirtree, &QTreeView::clicked, this, &recovery_window_c::on_tree_clicked);
    connect(table, &QTableView::clicked, this, &recovery_window_c::on_list_clicked);
    connect(btn_recovery, &QPushButton::clicked, this, &recovery_window_c::on_recovery_clicked);
    connect(btn_pause, &QPushButton::clicked, this, &recovery_window_c::on_pause_clicked);
    connect(btn_stop, &QPushButton::clicked, this, &recovery_window_c::on_stop_clicked);
    connect(btn_filter, &QPushButton::clicked, this, &recovery_window_c::on_save_result_clicked);
    if (main_window)
        connect(btn_back, SIGNAL(clicked()), main_window, SLOT(on_click_recovery_back()));
    connect(&timer, &QTimer::timeout, this, &recovery_window_c::on_timer);
    connect(header, &MyHeaderView::check_all, this, &recovery_window_c::on_check_all);
    connect(header, &MyHeaderView::sort_column, this, &recovery_window_c::on_sort_column);
    // The program may end without destroying its pages.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &recovery_window_c::remove_preview_copy);

    timer.start(200);
    progress_bar.setup(QStringLiteral(":/images/partition_search/loding_on.png"),
                       QColor(226, 240, 253));
    raw_recovery_c::initialise_library();
}

recovery_window_c::~recovery_window_c()
{
    // The export writes with the engines, which go after this body.
    delete export_thread;
    remove_preview_copy();
    delete tree_model;
    delete table_model;
    delete delegate;
}

bool recovery_window_c::export_running() const
{
    return export_thread && export_thread->isRunning();
}

recovery_base_c& recovery_window_c::engine_of(engine_kind kind)
{
    switch (kind) {
    case engine_fat: return fat_engine;
    case engine_ntfs: return ntfs_engine;
    case engine_raw: return raw_engine;
    case engine_none: break;
    }
    return null_engine;
}

int recovery_window_c::scan_volume(const volume_item_s& target, bool deep)
{
    // An export still writes with the current engine's results.
    if (recovery_busy || export_running())
        return -1;
    show_scan_buttons();
    reset_tree();
    // Rows of the last scan would name entries of results about to go.
    clear_rows();
    preview_ready = false;
    deep_scan = deep;
    btn_filter->hide();
    volume = target;
    return start_engine();
}

int recovery_window_c::start_engine()
{
    engine->reset();
    const engine_kind kind = choose_engine(volume.file_system, deep_scan);
    if (kind == engine_none)
        return -1;
    engine_type = kind;
    engine = &engine_of(kind);
    engine->reset();
    engine->set_volume(volume);
    requested_stop = stop_none;
    recovery_busy = true;
    engine->start(QThread::InheritPriority);
    timer.start(200);
    movie->start();
    return 0;
}

int recovery_window_c::restart_scan()
{
    if (recovery_busy || export_running())
        return -1;
    if (start_engine() != 0)
        return -1;
    show_scan_buttons();
    return 0;
}

void recovery_window_c::abort_if_busy()
{
    if (!recovery_busy)
        return;
    requested_stop = stop_abandon;
    engine->set_stop(stop_abandon);
}

void recovery_window_c::reset_page()
{
    reset_tree();
    clear_rows();
    preview_ready = false;
    if (!recovery_busy && !export_running())
        engine->reset();
    progress_bar.set_value(0);
    timer.stop();
}

void recovery_window_c::finish_abandoned_scan()
{
    if (!recovery_busy)
        return;
    engine->set_stop(stop_abandon);
    engine->wait();
    engine->reset();
    requested_stop = stop_none;
    recovery_busy = false;
    movie->stop();
}

int recovery_window_c::load_results()
{
    if (export_running())
        return -1;
    // A scan left a moment ago may still be ending; the load replaces it.
    finish_abandoned_scan();
    reset_tree();
    clear_rows();
    preview_ready = false;
    engine->reset();
    progress_bar.set_value(0);
    timer.stop();

    const QString file = choose_open_file(this, QStringLiteral("Save"), QDir::currentPath(),
                                          result_file_filter, result_file_selected);
    if (file.isEmpty())
        return -1;
    const QString device_path = raw_engine.read_results(QFile::encodeName(file));
    if (device_path.isEmpty())
        return -1;
    const QList<volume_item_s>& volumes = volume_list();
    const auto match = std::find_if(volumes.begin(), volumes.end(), [&](const volume_item_s& v) {
        return v.volume_name.startsWith(device_path);
    });
    if (match == volumes.end())
        return -1;
    volume = *match;
    engine_type = engine_raw;
    engine = &raw_engine;
    raw_engine.set_volume(volume);
    handle_scan_end();
    btn_pause->hide();
    btn_filter->hide();
    return 0;
}

void recovery_window_c::reset_tree()
{
    set_tree_model(new TreeModel);
}

void recovery_window_c::set_tree_model(TreeModel* model)
{
    tree_model = model;
    swap_model(*tv_dirtree, model);
}

void recovery_window_c::clear_rows()
{
    rows.clear();
    set_table_model();
}

void recovery_window_c::set_table_model()
{
    table_model = new recovery_model_c(&rows);
    swap_model(*table, table_model);
    // A new model gives the header new sections.
    header->resizeSection(0, 33);
    header->resizeSection(1, 235);
}

void recovery_window_c::show_scan_buttons()
{
    btn_pause->setText(lang_text("btn_pause"));
    btn_pause->show();
    btn_stop->show();
}

void recovery_window_c::on_timer()
{
    progress_bar.set_value(engine->progress());
}

void recovery_window_c::on_thread_finished()
{
    // An end already handled, or of an engine the page has since left
    // (a load waits for an abandoned scan itself), changes nothing.
    if (sender() != engine || !recovery_busy)
        return;
    handle_scan_end();
}

void recovery_window_c::handle_scan_end()
{
    btn_pause->setText(lang_text("btn_start"));
    btn_stop->hide();
    const int code = requested_stop != stop_none ? requested_stop : engine->stop_code();
    requested_stop = stop_none;
    bool found = false;
    if (code == stop_abandon) {
        engine->reset();
    } else {
        engine->set_progress(1.0);
        found = build_tree();
        if (engine_type == engine_raw)
            btn_filter->show();
    }
    recovery_busy = false;
    movie->stop();
    if (found || code == stop_by_user || deep_scan || !isVisible())
        return;
    if (warning_box(this, "deep_scan_query", warning_buttons::yes_no) != QMessageBox::Yes)
        return;
    engine->reset();
    engine = &raw_engine;
    engine_type = engine_raw;
    deep_scan = true;
    restart_scan();
}

bool recovery_window_c::build_tree()
{
    auto* model = new TreeModel;
    tree_node_s* root = model->root_node();
    switch (engine_type) {
    case engine_fat:
        if (const fat_entry_s* top = root_entry(fat_engine.entries()))
            build_entry_tree<fat_entry_s>(root->add_child(QStringLiteral("/"), top));
        break;
    case engine_ntfs:
        if (const ntfs_entry_s* top = root_entry(ntfs_engine.entries()))
            build_entry_tree<ntfs_entry_s>(root->add_child(QStringLiteral("/"), top));
        break;
    case engine_raw: {
        tree_node_s* top = root->add_child(QStringLiteral("/"), nullptr);
        for (const auto& [extension, indexes] : raw_engine.found_groups())
            top->add_child(QString::fromLatin1(extension.data(), qsizetype(extension.size())),
                           &indexes);
        break;
    }
    case engine_none:
        break;
    }
    if (root->children.isEmpty() || root->children.first()->children.isEmpty()) {
        delete model;
        reset_tree();
        return false;
    }
    set_tree_model(model);
    tv_dirtree->expandToDepth(0);
    return true;
}

void recovery_window_c::on_tree_clicked(const QModelIndex& index)
{
    preview_ready = false;
    if (!index.isValid() || index.model() != tree_model)
        return;
    fill_rows(TreeModel::node_of(index));
}

void recovery_window_c::fill_rows(const tree_node_s* node)
{
    rows.clear();
    if (node->folder) {
        switch (engine_type) {
        case engine_fat:
            rows = file_rows(*static_cast<const fat_entry_s*>(node->folder));
            break;
        case engine_ntfs:
            rows = file_rows(*static_cast<const ntfs_entry_s*>(node->folder));
            break;
        case engine_raw:
            rows = file_rows(raw_engine.found_records(),
                             *static_cast<const std::vector<int64_t>*>(node->folder));
            break;
        case engine_none:
            break;
        }
    }
    set_table_model();
    header->set_all_checked(false);
}

void recovery_window_c::on_list_clicked(const QModelIndex& index)
{
    preview_ready = false;
    const int row = index.row();
    if (!index.isValid() || row >= int(rows.size()))
        return;
    if (index.column() == 0)
        table_model->set_checked(row, !rows[size_t(row)].checked);
    const recovery_item_s item = rows[size_t(row)];
    // The engine writes for one caller at a time: no preview while an export runs.
    if (item.size <= largest_preview && !export_running())
        show_preview(item);
    update();
}

void recovery_window_c::show_preview(const recovery_item_s& item)
{
    remove_preview_copy();
    if (recover_item(engine_type, *engine, QDir::temp(), item) != 0)
        return;
    preview_item = item;
    preview_copy = destination_path(QDir::temp(), item.name);
    preview = load_preview(preview_copy, item.name);
    preview_ready = true;
}

void recovery_window_c::remove_preview_copy()
{
    if (preview_copy.isEmpty())
        return;
    QFile::remove(preview_copy);
    preview_copy.clear();
    preview = {};
    preview_ready = false;
}

void recovery_window_c::on_recovery_clicked()
{
    if (rows.empty() || recovery_busy || export_running())
        return;
    if (std::none_of(rows.begin(), rows.end(), [](const recovery_item_s& r) { return r.checked; })) {
        warning_box(this, "recovery_check_warning");
        return;
    }
    const QString folder = choose_existing_directory(
        this, lang_text("recovery_select"), QString::fromStdString(platform::folder_dialog_start()));
    if (folder.isEmpty())
        return;
    if (folder_on_volume(folder, volume) &&
        warning_box(this, "recovery_same_volume_warning", warning_buttons::yes_no) != QMessageBox::Yes)
        return;
    if (!export_thread) {
        export_thread = new recovery_file_c;
        connect(export_thread, &recovery_file_c::open_folder, this, &recovery_window_c::on_open_folder);
    }
    export_thread->start_export(QDir(folder), rows, engine_type, *engine);
}

void recovery_window_c::on_open_folder(const QString& path)
{
    open_folder(path);
}

void recovery_window_c::on_stop_clicked()
{
    if (recovery_busy && requested_stop != stop_abandon)
        requested_stop = stop_by_user;
    engine->set_stop(stop_by_user);
    btn_stop->hide();
}

void recovery_window_c::on_pause_clicked()
{
    if (engine->isRunning()) {
        const bool resume = engine->paused() != 0;
        engine->set_paused(resume ? 0 : 1);
        btn_pause->setText(lang_text(resume ? "btn_pause" : "btn_resume"));
        return;
    }
    if (recovery_busy || export_running())
        return;
    reset_tree();
    clear_rows();
    preview_ready = false;
    btn_pause->setText(lang_text("btn_pause"));
    btn_filter->hide();
    btn_stop->show();
    restart_scan();
}

void recovery_window_c::on_save_result_clicked()
{
    if (recovery_busy)
        return;
    const QString file = choose_save_file(this, QStringLiteral("Save"), QDir::currentPath(),
                                          result_file_filter, result_file_selected);
    if (!file.isEmpty())
        raw_engine.save_results(QFile::encodeName(file));
}

void recovery_window_c::on_check_all(bool value)
{
    for (recovery_item_s& row : rows)
        row.checked = value;
    set_table_model();
}

void recovery_window_c::on_sort_column(int column)
{
    table_model->sort_by_column(column);
}

void recovery_window_c::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width(), h = height(), a = shared_height(*this);
    btn_back->move(200, h - 49);
    btn_recovery->move(w - 300, h - 49);
    btn_pause->move(360, 29);
    btn_stop->move(470, 29);
    btn_filter->move(w - 130, 29);
    table->setGeometry(212, int(a * 0.4 + 79 + 7), w - 222, int(a * 0.6));
    tv_dirtree->setGeometry(10, 79, 193, h - 137);
}

void recovery_window_c::paintEvent(QPaintEvent*)
{
    if (!isVisible())
        return;
    QPainter painter(this);
    const int w = width(), a = shared_height(*this);
    paint_top_band(painter, w);

    painter.setPen(QColor(139, 184, 241));
    painter.drawRect(10, 13, w - 20, 60);
    painter.drawRect(212, 79, w - 222, int(a * 0.4));
    progress_bar.draw(painter, QRect(90, 38, 250, 12));

    painter.setPen(Qt::black);
    painter.setFont(QFont(QStringLiteral("Verdana"), 10));
    QString status;
    if (deep_scan) {
        const auto bytes = uint64_t(engine->progress() * double(volume.total_bytes));
        status = lang_text("raw_progress") + u' ' + format_size(bytes);
    } else {
        status = lang_text("recovery_reading") + QString::number(engine->entries_read());
    }
    painter.drawText(90, 30, status);

    if (preview_ready)
        draw_preview(painter, size(), preview);
    else
        painter.fillRect(QRect(213, 80, w - 223, int(a * 0.4 - 1)), Qt::white);

    const int64_t found = engine->files_found();
    if (found > 0) {
        painter.setPen(Qt::red);
        painter.drawText(90, 65, lang_text("recovery_total_files") + u' ' + QString::number(found));
    }
}
