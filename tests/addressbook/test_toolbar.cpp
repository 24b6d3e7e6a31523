#include "addressbook/toolbar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace promemo::rubrica;

namespace {

class ToolbarTest : public ::testing::Test
{
protected:
    ToolbarTest() : toolbar(&window, [this] { return pointer; })
    {
        window.resize(700, 300);
        window.show();
    }

    // A point of button `index` in global coordinates.
    QPoint over(int index, QPoint at = {2, 2}) const
    {
        return toolbar.button(index)->mapToGlobal(at);
    }
    // A move over the button, delivered even when the pointer is already there.
    void hover(int index)
    {
        ToolButton *button = toolbar.button(index);
        const QPoint at(5, 5);
        QMouseEvent move(QEvent::MouseMove, at, button->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button, &move);
    }
    ToolButtonLook look(int index) const { return toolbar.button(index)->look(); }

    QWidget window;
    QPoint pointer;
    Toolbar toolbar;
};

TEST_F(ToolbarTest, HoverMovesFromButtonToButtonAndTheActionRunsOnThePress)
{
    QSignalSpy triggered(&toolbar, &Toolbar::triggered);
    hover(CopyButton);
    EXPECT_EQ(toolbar.activeButton(), CopyButton);
    EXPECT_TRUE(toolbar.timerActive());
    hover(BoldButton);
    EXPECT_EQ(look(CopyButton), ToolButtonLook::Rest);
    EXPECT_EQ(look(BoldButton), ToolButtonLook::Hover);

    QTest::mousePress(toolbar.button(BoldButton), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(triggered.size(), 1);
    EXPECT_EQ(look(BoldButton), ToolButtonLook::Pressed);
    QTest::mouseRelease(toolbar.button(BoldButton), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(look(BoldButton), ToolButtonLook::Hover);
    QTest::mouseClick(toolbar.button(CloseButton), Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_EQ(triggered.size(), 2);
    EXPECT_EQ(triggered.at(0).at(0).toInt(), BoldButton);
    EXPECT_EQ(triggered.at(1).at(0).toInt(), CloseButton);
}

TEST_F(ToolbarTest, TimerRestsTheButtonOnceThePointerLeavesTheBand)
{
    const QRect first = toolbar.button(SaveButton)->rect();
    const QRect last = toolbar.button(CloseButton)->rect();
    const QPoint outside[] = {over(CloseButton, {last.width(), 5}), over(BoldButton, {5, first.height()})};
    for (const QPoint &point : outside) {
        hover(PasteButton);
        // Anywhere in the band, between the buttons and over the search box too.
        for (const QPoint inside : {over(SaveButton, {0, 0}), over(CloseButton, last.bottomRight()),
                                    over(TextColourButton, {first.width() + 2, 12})}) {
            pointer = inside;
            toolbar.tick();
            EXPECT_EQ(look(PasteButton), ToolButtonLook::Hover);
        }
        pointer = point;
        toolbar.tick();
        EXPECT_EQ(look(PasteButton), ToolButtonLook::Rest) << point.x() << "," << point.y();
        EXPECT_EQ(toolbar.activeButton(), kNoButton);
        EXPECT_FALSE(toolbar.timerActive());
    }

    // The running timer does it by itself.
    hover(UnderlineButton);
    pointer = outside[0];
    ASSERT_TRUE(QTest::qWaitFor([this] { return toolbar.activeButton() == kNoButton; }, 2000));
}

TEST_F(ToolbarTest, ButtonRestedByItsActionStillGoesBackToRest)
{
    // As the insert-row question does: the toolbar is rested while the button is held.
    QObject::connect(&toolbar, &Toolbar::triggered, &toolbar, &Toolbar::azzeraPulsanti);
    hover(InsertRowButton);
    QTest::mouseClick(toolbar.button(InsertRowButton), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(look(InsertRowButton), ToolButtonLook::Hover);
    EXPECT_EQ(toolbar.activeButton(), InsertRowButton);
    EXPECT_TRUE(toolbar.timerActive());
    pointer = over(InsertRowButton, {5, 40});
    toolbar.tick();
    EXPECT_EQ(look(InsertRowButton), ToolButtonLook::Rest);
}

} // namespace
