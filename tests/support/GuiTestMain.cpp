#include "tests/support/QtTestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

// The main of the widget tests: a plain offscreen QApplication, since the
// widgets do without the program's application object.
int main(int argc, char** argv)
{
    quorvane::testing::PrepareQtTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
