// Every message the program shows: a modal box with the program's icon, the
// text of a language key, and OK or Yes and No.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

enum class warning_buttons { ok, yes_no };

// Builds the box and runs it; returns QMessageBox::Ok, Yes or No.
int warning_box(QWidget* parent, const char* key, warning_buttons buttons = warning_buttons::ok,
                const QString& title = QStringLiteral("Zorvane"));

// Tests answer the boxes instead of a person: the answerer gets the box as
// built (text, title, buttons, icon) and returns the button it presses.
// An empty function runs the boxes again.
using warning_answerer = std::function<int(QMessageBox& box)>;
void set_warning_answerer(warning_answerer answerer);
