// Looks the pages share: their palette, their text buttons, the list frame
// and the tiled band along the top.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QPainter;
class QPushButton;
class QRect;
class QWidget;

// White backgrounds, black texts, grey for the disabled ones.
QPalette page_palette();

// Bold Arial 11 on the "btn_wai" images, with `text` as its text colour
// (grey when disabled).
void style_text_button(QPushButton* button, const QColor& text);
// A text button of a form, named, placed and styled as above.
QPushButton* make_text_button(QWidget* form, const char* name, const char* text,
                              const QRect& geometry, const QColor& text_colour);

// The thin blue frame of every page list.
extern const char* const list_view_style;

// An image button's style sheet from its normal, hover and pressed image
// paths, each given without the leading colon.
QString image_button_style(const QString& normal, const QString& hover, const QString& pressed);

// Tiles ":/images/background/bai.png" along the top of a page `width` wide.
void paint_top_band(QPainter& painter, int width);
