// One copy at a time: a live holder's lock is honoured, a crashed one's is
// taken over, and a later start reaches the copy that runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "app/Instance.h"

namespace {
// A process id nobody holds any more.
qint64 DeadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}
}  // namespace

TEST(Instance, LiveLockHonouredStaleOneTakenOver) {
    TempDir dir;
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.Path));
    const QString lockPath = QString::fromStdString(dir.Path) + "tarnel-test.lock";

    // The lock file as this live copy writes it, then as a crashed copy left it.
    QByteArray held;
    {
        const auto first = TakeInstanceLock("tarnel-test");
        ASSERT_TRUE(first);
        EXPECT_FALSE(TakeInstanceLock("tarnel-test")) << "a live copy's lock is honoured";
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        held = file.readAll();
    }
    QFile file(lockPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(DeadPid()) + held.mid(held.indexOf('\n')));
    file.close();
    const auto taken = TakeInstanceLock("tarnel-test");
    EXPECT_TRUE(taken) << "a crashed copy's lock is taken over";

    QObject owner;
    int shown = 0;
    ListenForLaterStarts("tarnel-test", &owner, [&shown] { ++shown; });
    EXPECT_TRUE(CallRunningCopy("tarnel-test"));
    for (int i = 0; i < 200 && shown == 0; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(shown, 1) << "the running copy is asked to show its window";
    qunsetenv("XDG_RUNTIME_DIR");
}
