// Edge resizing and title-band dragging for the frameless skinned window.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class QMouseEvent;
class QSkinWidget;

class QSkinWidgetResizeHandler : public QObject {
    Q_OBJECT

public:
    // Installs itself as an event filter of `window`.
    explicit QSkinWidgetResizeHandler(QSkinWidget* window);

    // Whether the press being handled may drag the window; the window decides
    // this in its own press handler, which runs before the handler acts.
    void set_move_allowed(bool allowed) { move_allowed = allowed; }

    // Width of the band along each edge that resizes the window.
    static constexpr int edge_band = 4;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    enum edge : unsigned { none = 0, left = 1, top = 2, right = 4, bottom = 8 };

    unsigned edges_at(const QPoint& position) const;
    void show_edge_cursor(unsigned edges);
    bool press(QMouseEvent* event);
    bool move(QMouseEvent* event);
    QRect resized(const QPoint& delta) const;

    QSkinWidget* window;
    bool move_allowed = false;
    enum { idle, moving, resizing } mode = idle;
    unsigned grabbed_edges = none;
    QPoint press_position; // global
    QRect press_geometry;
};
