// One copy of the program at a time: a lock file named after the executable,
// and beside it a local socket through which a later start asks the running
// copy to show its window.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// The lock, or nothing when another copy holds it.
std::unique_ptr<QLockFile> TakeInstanceLock(const QString& executableName);

// For the copy that holds the lock: runs show whenever a later start calls.
// The listener lives as long as parent.
void ListenForLaterStarts(const QString& executableName, QObject* parent, std::function<void()> show);

// For a later start: true when the running copy took the call.
bool CallRunningCopy(const QString& executableName);
