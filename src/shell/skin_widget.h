// The skinned frameless window: every repaint composes the skin, the named
// child widgets and the title-bar buttons into one image with per-pixel alpha
// (the canvas), which is all the window shows.
#pragma once

#include "shell/skin_buttons.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

class QMenu;
class QSkinWidgetResizeHandler;

class QSkinWidget : public QWidget {
    Q_OBJECT
    friend class QSkinWidgetResizeHandler;

public:
    explicit QSkinWidget(QWidget* parent = nullptr);
    ~QSkinWidget() override;

    // The page that the main window shows and how it leaves a file scan.
    virtual void show_page(int index) = 0;
    virtual void stop_recovery() = 0;
    // Whether a file scan runs, so that leaving it or quitting asks first.
    virtual bool scan_running() const = 0;

    bool raw_scan_mode = false;

    // What the window's parts are, for its subclass and for tests.
    const QList<button_c<QSkinWidget>*>& title_buttons() const { return buttons; }
    const system_button_c<QSkinWidget>* maximize_button() const { return max_button; }
    QMenu* popup_menu() const { return menu; }
    const QPixmap& composed() const { return canvas; }
    bool maximized() const { return !normal_size; }

signals:
    void aboutToClose();

public slots:
    void updateStyle();
    void setLayered();
    void updateAlpha();
    void on_click_close();
    void on_click_help();
    void on_click_language();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void add_top_button(int number, int x, button_c<QSkinWidget>::action_t action);
    system_button_c<QSkinWidget>* add_system_button(const char* name, int x,
                                                     button_c<QSkinWidget>::action_t action);
    void build_menu();
    void compose_children(QPainter& painter);
    bool may_leave_page();
    void toggle_maximized();

    void on_click_max();
    void on_click_restore();
    void on_click_min();
    void on_click_setting();
    void on_click_top_deleted();
    void on_click_top_partition();
    void on_click_top_raw();

    bool dirty = true;
    QPixmap canvas;
    QSkinWidgetResizeHandler* resize_handler = nullptr;
    QList<button_c<QSkinWidget>*> buttons;
    QPixmap logo;
    system_button_c<QSkinWidget>* max_button = nullptr;
    QMenu* menu = nullptr;
    // A rectangle, not saveGeometry(): restoring that may shift a frameless
    // window to make room for a title bar it does not have.
    QRect saved_geometry;
    bool normal_size = true;
    // The presentation has a target only once the window is set up for
    // per-pixel alpha.
    bool layered = false;
    // updateAlpha() can draw on the window only inside its paint event.
    bool painting = false;
};
