#include "note/core/printlayout.h"

#include <gtest/gtest.h>

using namespace promemo::note;

namespace {

const QString kStamp = QStringLiteral("06/12/2030 14.05");

TEST(NotePage, HeaderThenEveryLineOfTheTextCutOnceAtABlankFrom45To60OrElseAfter60)
{
    // `count` letters with blanks at the given positions (from 1).
    const auto withBlanks = [](int count, std::initializer_list<int> blanks) {
        QString line(count, u'x');
        for (const int position : blanks)
            line[position - 1] = u' ';
        return line;
    };
    const QString words = QStringLiteral("abcdefghij ").repeated(14).left(150);
    const struct { QString text; QStringList body; } cases[] = {
        {QString(49, u'x') + u"\r\n"_qs + withBlanks(50, {46}),
         {QString(49, u'x'), withBlanks(46, {46}), QString(4, u'x')}},
        {QString(70, u'x'), {QString(60, u'x'), QString(10, u'x')}},
        // Blanks after the cut are trimmed; one before character 45 does not count.
        {withBlanks(70, {30, 50, 51, 70}), {withBlanks(50, {30, 50}), QString(18, u'x')}},
        {words, {words.left(55), words.mid(55)}},
    };
    const QStringList head = {{}, {}, {}, {}, u"Data e ora di registrazione del messaggio: "_qs + kStamp, {}, {}};
    for (const auto &c : cases)
        EXPECT_EQ(notePageLines(kStamp, c.text), head + c.body) << c.text.toStdString();
}

} // namespace
