#include "shell/skin_resize_handler.h"

#include "shell/skin_widget.h"

#include <QEvent>
#include <QMouseEvent>

QSkinWidgetResizeHandler::QSkinWidgetResizeHandler(QSkinWidget* window)
    : QObject(window), window(window)
{
    window->installEventFilter(this);
}

// The window sees each mouse event before the handler acts on it, so its
// press handler has settled the move permission by then.
bool QSkinWidgetResizeHandler::eventFilter(QObject* object, QEvent* event)
{
    if (object != window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        window->mousePressEvent(mouse);
        return press(mouse);
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        window->mouseMoveEvent(mouse);
        return move(mouse);
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        window->mouseReleaseEvent(mouse);
        const bool was_dragging = mode != idle;
        mode = idle;
        return was_dragging;
    }
    case QEvent::Leave: // to a child widget or off the window
        if (mode == idle)
            window->unsetCursor();
        return false;
    case QEvent::WindowActivate:
        window->repaint();
        return false;
    default:
        return false;
    }
}

bool QSkinWidgetResizeHandler::press(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    grabbed_edges = edges_at(event->position().toPoint());
    if (grabbed_edges != none)
        mode = resizing;
    else if (move_allowed)
        mode = moving;
    else
        return false;
    press_position = event->globalPosition().toPoint();
    press_geometry = window->geometry();
    return true;
}

bool QSkinWidgetResizeHandler::move(QMouseEvent* event)
{
    if (mode == idle || !(event->buttons() & Qt::LeftButton)) {
        mode = idle;
        show_edge_cursor(edges_at(event->position().toPoint()));
        return false;
    }
    const QPoint delta = event->globalPosition().toPoint() - press_position;
    if (mode == moving)
        window->move(press_geometry.topLeft() + delta);
    else
        window->setGeometry(resized(delta));
    return true;
}

unsigned QSkinWidgetResizeHandler::edges_at(const QPoint& position) const
{
    unsigned edges = none;
    if (position.x() < edge_band)
        edges |= left;
    else if (position.x() >= window->width() - edge_band)
        edges |= right;
    if (position.y() < edge_band)
        edges |= top;
    else if (position.y() >= window->height() - edge_band)
        edges |= bottom;
    return edges;
}

void QSkinWidgetResizeHandler::show_edge_cursor(unsigned edges)
{
    if (edges == (left | top) || edges == (right | bottom))
        window->setCursor(Qt::SizeFDiagCursor);
    else if (edges == (right | top) || edges == (left | bottom))
        window->setCursor(Qt::SizeBDiagCursor);
    else if (edges & (left | right))
        window->setCursor(Qt::SizeHorCursor);
    else if (edges & (top | bottom))
        window->setCursor(Qt::SizeVerCursor);
    else
        window->unsetCursor();
}

// The grabbed edges follow the pointer; the opposite ones stay, and the
// window never shrinks below its minimum size.
QRect QSkinWidgetResizeHandler::resized(const QPoint& delta) const
{
    QRect geometry = press_geometry;
    const QSize minimum = window->minimumSize();
    if (grabbed_edges & left)
        geometry.setLeft(std::min(geometry.left() + delta.x(), geometry.right() + 1 - minimum.width()));
    if (grabbed_edges & right)
        geometry.setRight(std::max(geometry.right() + delta.x(), geometry.left() - 1 + minimum.width()));
    if (grabbed_edges & top)
        geometry.setTop(std::min(geometry.top() + delta.y(), geometry.bottom() + 1 - minimum.height()));
    if (grabbed_edges & bottom)
        geometry.setBottom(std::max(geometry.bottom() + delta.y(), geometry.top() - 1 + minimum.height()));
    return geometry;
}
