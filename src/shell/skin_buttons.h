// The title-bar buttons of the skinned window: plain objects with three
// images and a rectangle that draw themselves on the window's canvas and call
// a member function of the window when clicked.
#pragma once

#include <QPainter>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

template <typename T>
class button_c {
public:
    using action_t = void (T::*)();

    button_c() = default;
    button_c(const button_c&) = delete;
    button_c& operator=(const button_c&) = delete;

    virtual void setup(const QString& normal, const QString& hover, const QString& pressed,
                       const QRect& where)
    {
        set_images(normal, hover, pressed);
        rect = where;
    }

    // `window` is the window's own rectangle, (0, 0) at its top left.
    virtual bool hit(const QPoint& point, const QRect& window) const = 0;
    virtual void draw(QPainter* painter, const QRect& window) const = 0;

    virtual void set_images(const QString& normal, const QString& hover, const QString& pressed)
    {
        pixmaps[0] = QPixmap(normal);
        pixmaps[1] = QPixmap(hover);
        pixmaps[2] = QPixmap(pressed);
    }

    virtual ~button_c() = default;

    QPixmap pixmaps[3]; // normal, hover, pressed
    int state = 0;      // index of the image drawn
    QRect rect;
    action_t action = nullptr;
};

// Placed from the window's left edge.
template <typename T>
class top_button_c : public button_c<T> {
public:
    bool hit(const QPoint& point, const QRect&) const override { return this->rect.contains(point); }

    void draw(QPainter* painter, const QRect&) const override
    {
        painter->drawPixmap(this->rect.topLeft(), this->pixmaps[this->state]);
    }
};

// Placed from the window's right edge: `rect` is mirrored, so the buttons stay
// in the corner whatever the window's width.
template <typename T>
class system_button_c : public button_c<T> {
public:
    bool hit(const QPoint& point, const QRect& window) const override
    {
        return this->rect.contains(QPoint(window.right() - point.x(), point.y()));
    }

    void draw(QPainter* painter, const QRect& window) const override
    {
        painter->drawPixmap(QPoint(window.right() - this->rect.right(), this->rect.top()),
                            this->pixmaps[this->state]);
    }
};
