// Paths of the language-specific button images, in the resource folder
// ":/images/multilang/<code>" of the current language.
#pragma once

#include <QString>

namespace lang_image {

// Title-bar page button `number` (1 to 3) in `state` (1 normal, 2 hover, 3 pressed).
QString top_button(int number, int state);

// The home page's two buttons, without the leading colon: the style-sheet
// template that takes them adds it.
QString start_scan(int state);
QString resume_recovery(int state);

} // namespace lang_image
