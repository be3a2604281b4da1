// One copy at a time: a live holder's lock is honoured, a crashed one's is
// taken over, and a later start reaches the copy that runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "app/Instance.h"

TEST(Instance, LiveLockHonouredStaleOneTakenOver) {
    TempDir dir;
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.Path));
    QFile file(QString::fromStdString(dir.Path) + "tarnel-test.lock");
    QByteArray written;  // the lock file as a live copy writes it
    if (const auto first = TakeInstanceLock("tarnel-test"); first && file.open(QIODevice::ReadOnly)) {
        EXPECT_FALSE(TakeInstanceLock("tarnel-test")) << "a live copy's lock is honoured";
        written = file.readAll();
        file.close();
    }
    // The same file left by a copy that has ended without removing it.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    ASSERT_TRUE(!written.isEmpty() && file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(gone) + written.mid(written.indexOf('\n')));
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
