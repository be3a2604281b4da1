#include "app/Instance.h"

#include <QDir>
#include <QStandardPaths>

std::unique_ptr<QLockFile> TakeInstanceLock(const QString& executableName) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(executableName + ".lock"));
    // A lock left by a copy that crashed is taken over, not honoured.
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}
