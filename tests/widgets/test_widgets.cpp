#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/fakewindowregistry.h"
#include "widgets/twipsgeometry.h"

using namespace promemo;

namespace {

// Boxes that touch in twips touch in pixels, whatever the rounding of their sizes.
TEST(TwipsRect, RoundsTheEdgesSoTouchingBoxesStillTouch)
{
    EXPECT_EQ(std::pair(twipsRect({0, 0, 1000, 375}), twipsRect({1000, 0, 1000, 375})),
              std::pair(QRect(0, 0, 67, 25), QRect(67, 0, 66, 25)));
}

// A registry whose look at a caption finds what the test says.
struct PresenceRegistry final : test::FakeWindowRegistry
{
    void checkPresence(const QString &, QObject *context,
                       std::function<void(const WindowPresence &)> done) override
    {
        QMetaObject::invokeMethod(context, [this, done] { done(found); }, Qt::QueuedConnection);
    }
    WindowPresence found;
};

// A window that answers, or one whose program hangs, is there; only no window at all is not.
TEST(WindowExists, AHungOwnerCountsAsThereAndTheAnswerComesFromTheEventLoop)
{
    const std::pair<WindowPresence, bool> cases[] = {
        {{true, {}}, true}, {{false, {4242}}, true}, {{false, {}}, false}};
    for (const auto &[presence, expected] : cases) {
        PresenceRegistry registry;
        registry.found = presence;
        QObject context;
        std::optional<bool> there;
        registry.exists(QStringLiteral("NotinoTray"), &context, [&](bool answer) { there = answer; });
        EXPECT_FALSE(there);
        EXPECT_TRUE(QTest::qWaitFor([&] { return there == expected; }));
    }
}

} // namespace
