// One copy of the program at a time: a lock file named after the executable.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// The lock, or nothing when another copy holds it.
std::unique_ptr<QLockFile> TakeInstanceLock(const QString& executableName);
