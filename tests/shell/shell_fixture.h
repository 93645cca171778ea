// What the shell tests share: warning boxes answered and recorded, mouse
// events sent the way the window system delivers them.
#pragma once

#include "i18n/language_table.h"
#include "shell/warning_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <string>
#include <vector>

namespace shell_test {

struct shown_box {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    QWidget* owner;
    bool fixed_size;
    bool has_icon;
};

// Outside a recorder's life a box that comes up anyway (a page's own question
// at the end of a scan, say) is answered No rather than left waiting for a person.
inline void answer_stray_boxes()
{
    set_warning_answerer([](QMessageBox&) { return int(QMessageBox::No); });
}

// Answers every box with `answer` and keeps what each one looked like. Each
// warning key's text is the key itself, so the boxes can be told apart.
class box_recorder {
public:
    explicit box_recorder(int answer = QMessageBox::Ok)
    {
        for (const char* key : {"startup_warning", "main_warning1", "main_warning2", "back_warning",
                                "quit_warning", "language_warning", "scan_nosel_warning"})
            lang_text(key) = QString::fromLatin1(key);
        set_answer(answer);
    }
    ~box_recorder() { answer_stray_boxes(); }

    void set_answer(int answer)
    {
        set_warning_answerer([this, answer](QMessageBox& box) {
            boxes.push_back({box.text(), box.windowTitle(), box.standardButtons(), box.parentWidget(),
                             bool(box.windowFlags() & Qt::MSWindowsFixedSizeDialogHint),
                             !box.iconPixmap().isNull()});
            return answer;
        });
    }

    // The texts of the boxes shown so far, which are their keys.
    std::vector<std::string> keys() const
    {
        std::vector<std::string> result;
        for (const auto& box : boxes)
            result.push_back(box.text.toStdString());
        return result;
    }

    std::vector<shown_box> boxes;
};

// Runs the event loop until `done` holds or `limit_ms` has passed; true when it holds.
template <typename Predicate>
bool wait_until(Predicate done, int limit_ms = 20000)
{
    for (int waited = 0; !done(); waited += 10) {
        if (waited >= limit_ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

inline void send_mouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button,
                       Qt::MouseButtons held, QPoint global)
{
    QMouseEvent event(type, QPointF(position), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A press, optional moves and a release at window positions; the global
// positions follow the window as it was at the press.
inline void click(QWidget* widget, QPoint press, QPoint release)
{
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    send_mouse(widget, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton, origin + press);
    if (release != press)
        send_mouse(widget, QEvent::MouseMove, release, Qt::NoButton, Qt::LeftButton, origin + release);
    send_mouse(widget, QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton,
               origin + release);
}

inline void click(QWidget* widget, QPoint at)
{
    click(widget, at, at);
}

inline void double_click(QWidget* widget, QPoint at)
{
    const QPoint global = widget->mapToGlobal(at);
    send_mouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, global);
    send_mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, global);
    send_mouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, global);
    send_mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, global);
}

} // namespace shell_test
