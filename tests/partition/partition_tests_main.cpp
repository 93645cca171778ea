// Runs the tests inside a QCoreApplication, with the per-user data folder (and
// so the sector-0 backups) in a scratch folder instead of the user's home.
#include "test_support.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    test_support::scratch_dir data_home;
    setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
