#include <QCoreApplication>

#include <gtest/gtest.h>

#include "tests/support/pinnedenvironment.h"

int main(int argc, char **argv)
{
    promemo::test::pinEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
