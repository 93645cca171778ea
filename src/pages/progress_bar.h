// A progress bar painted with its owner's painter: a background colour, an
// image-textured fill and the percentage in the middle.
#pragma once

#include <QBrush>
#include <QColor>
#include <QObject>
#include <QPixmap>
#include <QString>

class QPainter;
class QRect;

class progress_bar_c : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Loads the fill image and sets the value to 0.
    void setup(const QString& image_path, const QColor& background);
    void set_value(double value) { value_ = value; }
    double value() const { return value_; }
    // The percentage shown, truncated: 0.999 reads "99%".
    QString text() const;
    void draw(QPainter& painter, const QRect& rect) const;

private:
    QPixmap image_;
    QBrush brush_;
    QColor background_;
    double value_ = 0.0;
};
