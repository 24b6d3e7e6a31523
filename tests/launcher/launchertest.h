#pragma once

// What the tests of the launcher's windows share.

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

namespace promemo::test {

// A window under test on a program folder with fakes; deleted at the end.
template <typename Window>
struct WindowTest : ::testing::Test, ProgramFolderWithFakes
{
    ~WindowTest() override { delete window.data(); }
    QPointer<Window> window;
};

inline void clickRow(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

} // namespace promemo::test
