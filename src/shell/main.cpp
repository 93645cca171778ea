#include "i18n/settings.h"
#include "shell/init_worker.h"
#include "shell/instance_lock.h"
#include "shell/main_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (!take_instance_lock())
        return -1;
    load_settings();

    int result = 0;
    {
        QApplication application(argc, argv);
        auto* window = new main_window_c;
        auto* worker = new init_c;
        QObject::connect(worker, &init_c::init_finished, window, &main_window_c::on_init_finished);
        worker->start(QThread::InheritPriority);
        window->show();
        result = application.exec();

        // The worker may still be enumerating when the window closes early.
        worker->wait();
        delete worker;
        delete window;
    }
    return result;
}
