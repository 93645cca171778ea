#include "shell/skin_widget.h"

#include "i18n/lang_image.h"
#include "i18n/language_table.h"
#include "i18n/settings.h"
#include "shell/help_page.h"
#include "shell/init_worker.h"
#include "shell/skin_resize_handler.h"
#include "shell/warning_box.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

// Everything above this line belongs to the title band.
constexpr int title_band_bottom = 100;

QString system_image(const char* name, int state)
{
    return QStringLiteral(":/images/system/%1%2.png").arg(QLatin1String(name)).arg(state);
}

QPoint position_of(const QMouseEvent* event)
{
    return event->position().toPoint();
}

} // namespace

QSkinWidget::QSkinWidget(QWidget* parent) : QWidget(parent)
{
    logo = QPixmap(QStringLiteral(":/images/top/logo.png"));

    add_top_button(1, 10, &QSkinWidget::on_click_top_deleted);
    add_top_button(2, 113, &QSkinWidget::on_click_top_partition);
    add_top_button(3, 216, &QSkinWidget::on_click_top_raw);

    add_system_button("quiButton", 1, &QSkinWidget::on_click_close);
    max_button = add_system_button("maxButton", 31, &QSkinWidget::on_click_max);
    add_system_button("minButton", 61, &QSkinWidget::on_click_min);
    add_system_button("settingButton", 91, &QSkinWidget::on_click_setting);

    build_menu();

    // The canvas is the window's whole look, shadow included, so the window
    // has neither a frame nor a background of its own.
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    QTimer::singleShot(1, this, &QSkinWidget::setLayered);
    setWindowTitle(QStringLiteral("Quenridge"));
    canvas = QPixmap(size());

    auto* repaint_timer = new QTimer(this);
    connect(repaint_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    repaint_timer->start(400);

    setMouseTracking(true);

    const QPixmap top_band(QStringLiteral(":/images/system/so.png"));
    const QPixmap left_edge(QStringLiteral(":/images/system/sl.png"));
    const QPixmap right_edge(QStringLiteral(":/images/system/sr.png"));
    const QPixmap bottom_band(QStringLiteral(":/images/system/su.png"));
    setContentsMargins(left_edge.width(), top_band.height(), right_edge.width(), bottom_band.height());

    resize_handler = new QSkinWidgetResizeHandler(this);
    dirty = true;
}

QSkinWidget::~QSkinWidget()
{
    qDeleteAll(buttons);
}

void QSkinWidget::add_top_button(int number, int x, button_c<QSkinWidget>::action_t action)
{
    auto* button = new top_button_c<QSkinWidget>;
    button->setup(lang_image::top_button(number, 1), lang_image::top_button(number, 2),
                  lang_image::top_button(number, 3), QRect(x, 25, 95, 70));
    button->action = action;
    buttons.append(button);
}

system_button_c<QSkinWidget>* QSkinWidget::add_system_button(const char* name, int x,
                                                             button_c<QSkinWidget>::action_t action)
{
    auto* button = new system_button_c<QSkinWidget>;
    button->setup(system_image(name, 1), system_image(name, 2), system_image(name, 3),
                  QRect(x, 1, 30, 21));
    button->action = action;
    buttons.append(button);
    return button;
}

void QSkinWidget::build_menu()
{
    menu = new QMenu(this);
    QMenu* languages = menu->addMenu(QStringLiteral("Language"));
    for (int index = int(lang_names.size()) - 1; index >= 0; --index) {
        QAction* action = languages->addAction(lang_names[index]);
        action->setData(index);
        connect(action, &QAction::triggered, this, &QSkinWidget::on_click_language);
    }
    menu->addSeparator();
    connect(menu->addAction(lang_text("menu_help")), &QAction::triggered, this,
            &QSkinWidget::on_click_help);
    menu->addSeparator();
    connect(menu->addAction(lang_text("menu_exit")), &QAction::triggered, this,
            &QSkinWidget::on_click_close);
}

void QSkinWidget::setLayered()
{
    layered = true;
    update();
}

void QSkinWidget::paintEvent(QPaintEvent*)
{
    painting = true;
    {
        QPainter painter(&canvas);
        compose_children(painter);
        for (const auto* button : buttons)
            button->draw(&painter, rect());
    }
    if (dirty)
        updateStyle();
    updateAlpha();
    painting = false;
}

// Each named child in child-list order, so the page raised last lands on top.
// Hidden children are left out: the layout never places a page that has not
// been shown yet, and drawing one at its unplaced geometry would cover the skin.
void QSkinWidget::compose_children(QPainter& painter)
{
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->objectName().isEmpty() || widget->isHidden())
            continue;
        widget->render(&painter, widget->pos(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
    }
}

void QSkinWidget::updateStyle()
{
    const QPixmap top_band(QStringLiteral(":/images/system/so.png"));
    const QPixmap left_edge(QStringLiteral(":/images/system/sl.png"));
    const QPixmap right_edge(QStringLiteral(":/images/system/sr.png"));
    const QPixmap bottom_band(QStringLiteral(":/images/system/su.png"));
    const int w = width();
    const int h = height();
    const int th = top_band.height();
    const int bh = bottom_band.height();
    const int lw = left_edge.width();
    const int rw = right_edge.width();

    canvas = QPixmap(w, h);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);

    // The 64-pixel ends of the top band keep their shape; the middle stretches.
    painter.drawPixmap(QRect(w - 64, 0, 64, th), top_band, QRect(top_band.width() - 64, 0, 64, th));
    painter.drawPixmap(QRect(0, 0, 64, th), top_band, QRect(0, 0, 64, th));
    painter.drawPixmap(QRect(64, 0, w - 128, th), top_band, QRect(64, 0, top_band.width() - 128, th));

    painter.drawPixmap(QRect(lw, h - bh, w - lw - rw, bh), bottom_band,
                       QRect(lw, 0, bottom_band.width() - lw - rw, bh));
    painter.drawPixmap(QRect(0, h - bh, lw, bh), bottom_band, QRect(0, 0, lw, bh));
    painter.drawPixmap(QRect(w - rw, h - bh, rw, bh), bottom_band,
                       QRect(bottom_band.width() - rw, 0, rw, bh));

    painter.drawPixmap(QRect(w - rw, th, rw, h - th - bh), right_edge);
    painter.drawPixmap(QRect(0, th, lw, h - bh - th), left_edge);

    painter.drawPixmap(w - 120, 24, logo);

    painter.setFont(QFont(QStringLiteral("Comic Sans MS")));
    painter.setPen(Qt::white);
    painter.drawText(10, 20, windowTitle());

    dirty = false;
}

// The canvas is the window's content: copied with its alpha, not blended.
void QSkinWidget::updateAlpha()
{
    if (!painting) {
        update();
        return;
    }
    if (!layered)
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, canvas);
}

void QSkinWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = position_of(event);
    if (position.y() > title_band_bottom) {
        resize_handler->set_move_allowed(false);
        return;
    }
    bool button_hit = false;
    for (auto* button : buttons) {
        if (!button->hit(position, rect()))
            continue;
        resize_handler->set_move_allowed(false);
        if (button->state != 2) {
            button->state = 2;
            update();
            return;
        }
        button_hit = true;
    }
    resize_handler->set_move_allowed(!button_hit);
}

void QSkinWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint position = position_of(event);
    for (auto* button : buttons) {
        if (!button->hit(position, rect()) || button->state == 1)
            continue;
        button->state = 1;
        update();
        if (button->action)
            (this->*(button->action))();
        event->accept();
        return;
    }
}

// At most one button changes its look per move.
void QSkinWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = position_of(event);
    for (auto* button : buttons) {
        const bool hit = button->hit(position, rect());
        if (hit && button->state == 0) {
            button->state = 1;
            update();
            return;
        }
        if (!hit && button->state != 0) {
            button->state = 0;
            update();
            return;
        }
    }
}

void QSkinWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint position = position_of(event);
    if (position.y() > title_band_bottom)
        return;
    for (const auto* button : buttons)
        if (button->hit(position, rect()))
            return;
    (this->*(max_button->action))();
}

void QSkinWidget::resizeEvent(QResizeEvent*)
{
    dirty = true;
}

void QSkinWidget::closeEvent(QCloseEvent*)
{
    emit aboutToClose();
}

void QSkinWidget::toggle_maximized()
{
    if (normal_size) {
        saved_geometry = geometry();
        setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    } else {
        setGeometry(saved_geometry);
    }
    normal_size = !normal_size;
}

void QSkinWidget::on_click_max()
{
    max_button->set_images(system_image("resumeButton", 1), system_image("resumeButton", 2),
                           system_image("resumeButton", 3));
    max_button->action = &QSkinWidget::on_click_restore;
    toggle_maximized();
}

void QSkinWidget::on_click_restore()
{
    max_button->set_images(system_image("maxButton", 1), system_image("maxButton", 2),
                           system_image("maxButton", 3));
    max_button->action = &QSkinWidget::on_click_max;
    toggle_maximized();
}

void QSkinWidget::on_click_min()
{
    for (auto* button : buttons)
        button->state = 0;
    showMinimized();
}

void QSkinWidget::on_click_setting()
{
    menu->exec(QCursor::pos());
}

// The title-bar page buttons leave the page only after start-up and, while a
// file scan runs, unless the user says No.
bool QSkinWidget::may_leave_page()
{
    if (!init_done.load(std::memory_order_acquire)) {
        warning_box(this, "startup_warning");
        return false;
    }
    if (scan_running() && warning_box(this, "back_warning", warning_buttons::yes_no) == QMessageBox::No)
        return false;
    return true;
}

void QSkinWidget::on_click_top_deleted()
{
    if (!may_leave_page())
        return;
    raw_scan_mode = false;
    stop_recovery();
    show_page(1);
}

void QSkinWidget::on_click_top_partition()
{
    if (!may_leave_page())
        return;
    stop_recovery();
    show_page(2);
}

void QSkinWidget::on_click_top_raw()
{
    if (!may_leave_page())
        return;
    raw_scan_mode = true;
    stop_recovery();
    show_page(1);
}

void QSkinWidget::on_click_language()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const int index = action->data().toInt();
    if (index == lang_index || index < 0 || index >= lang_names.size())
        return;
    language = lang_names[index];
    lang_index = index;
    save_settings();
    warning_box(this, "language_warning");
}

void QSkinWidget::on_click_help()
{
    open_url(help_page_url());
}

// Quitting while a file scan runs needs a Yes; any other answer stays.
void QSkinWidget::on_click_close()
{
    if (scan_running() && warning_box(this, "quit_warning", warning_buttons::yes_no) != QMessageBox::Yes)
        return;
    close();
}
