#pragma once
// The colours every image shares, taken from the ones the pages paint with.

#include <QColor>

namespace theme {

inline const QColor border{139, 184, 254};     // list and tree frames
inline const QColor frame_pen{139, 184, 241};  // page rectangles
inline const QColor selection{81, 149, 206};   // selected rows
inline const QColor header{232, 246, 255};     // column headers
inline const QColor grid{211, 231, 255};       // header separators
inline const QColor row_tint{241, 250, 255};   // even rows
inline const QColor bar_back{226, 240, 253};   // progress bar background
inline const QColor note_text{91, 135, 201};   // home page texts
inline const QColor title_text{30, 78, 146};   // strong text on light ground

// The title band, from its top row to its bottom row.
inline const QColor band_top{38, 104, 186};
inline const QColor band_bottom{64, 142, 224};
inline const QColor band_edge{24, 74, 146};

// Filled blue controls (push buttons, checked boxes).
inline const QColor button_light{104, 172, 240};
inline const QColor button_dark{50, 118, 200};
inline const QColor button_edge{36, 94, 170};

inline const QColor shadow{12, 38, 80};

}  // namespace theme
