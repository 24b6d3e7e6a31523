#include <QApplication>

#include <gtest/gtest.h>

#include "tests/support/pinnedenvironment.h"

int main(int argc, char **argv)
{
    promemo::test::pinEnvironment();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
