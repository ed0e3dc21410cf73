// Two starts of the real program: the second finds the first, asks it to come to the front and ends at
// once, without a login dialog of its own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>

#include "platform/single_instance.h"

namespace nms {
namespace {

TEST(SingleStart, SecondStartEndsAndTheFirstRuns) {
    int argc = 1;
    char name[] = "single_start_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    // Both programs see this test's config folder, and so its lock and server name.
    const QString server = SingleInstance(SingleInstance::DefaultLockPath()).ServerName();
    QProcess first;
    first.start(VELMORA_BIN, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    bool listening = false;
    for (int i = 0; i < 200 && !listening; ++i) {
        QLocalSocket probe;
        probe.connectToServer(server);
        listening = probe.waitForConnected(100);
        if (!listening)
            QThread::msleep(50);
    }
    ASSERT_TRUE(listening) << "the first start never listened";

    QProcess second;
    second.start(VELMORA_BIN, {});
    ASSERT_TRUE(second.waitForFinished(20000)) << "the second start did not end";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(10000);
}

}  // namespace
}  // namespace nms
