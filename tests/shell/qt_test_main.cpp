// Widget tests need one QApplication for the whole run, off any screen (test
// discovery runs the binary without the tests' environment).
#include "shell_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    shell_test::answer_stray_boxes();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
