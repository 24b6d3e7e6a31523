// The real Elenko in a temporary program folder, beside a stand-in for the launcher's tray.

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "addressbook/core/addressbook.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/registryrequests.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;

const QString kCaption = QStringLiteral(" Rubrica di Promemo");

class AddressBookProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.install(QStringLiteral("Elenko"), QStringLiteral(ELENKO_PATH)));
    }

    void start(QProcess &process) { folder.start(process, QStringLiteral("Elenko")); }
    static bool ends(QProcess &process)
    {
        return test::waitFor([&] { return process.state() == QProcess::NotRunning; });
    }
    QString dataPath() const { return folder.filePath(QStringLiteral("rubri.dat")); }
    QByteArray data() const { return folder.read(QStringLiteral("rubri.dat")); }

    test::TemporaryProgramFolder folder;
    QProcess elenko;
};

TEST_F(AddressBookProgram, MendsAShortFileAndClosesOnRequest)
{
    // A file cut after two and a half records keeps them and gains the rest.
    rubrica::Row anna;
    anna.name.text = QStringLiteral("Anna");
    anna.number.text = QStringLiteral("06 555");
    const QByteArray head = rubrica::encodeRecord(anna) + rubrica::blankRecord()
                            + rubrica::encodeRecord(anna).left(70);
    {
        QFile file(dataPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(head), head.size());
    }

    WindowRegistry registry(folder.path());
    const auto tray = registry.registerWindow(QStringLiteral("NotinoTray"));
    ASSERT_TRUE(tray);
    start(elenko);
    ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, kCaption); }));
    const QByteArray mended = data();
    EXPECT_EQ(mended.size(), rubrica::kFileSize);
    EXPECT_TRUE(mended.startsWith(head));

    // Nothing edited: a close request ends it without a question, the file unchanged.
    EXPECT_TRUE(test::postClose(registry, kCaption));
    ASSERT_TRUE(ends(elenko));
    EXPECT_EQ(elenko.exitCode(), 0);
    EXPECT_EQ(data(), mended);
}

} // namespace
} // namespace promemo
