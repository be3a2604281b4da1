#include "app/Instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int CALL_MS = 2000;

QString RuntimePath(const QString& file) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return QDir(dir).filePath(file);
}
}  // namespace

std::unique_ptr<QLockFile> TakeInstanceLock(const QString& executableName) {
    auto lock = std::make_unique<QLockFile>(RuntimePath(executableName + ".lock"));
    // A lock left by a copy that crashed is taken over, not honoured.
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

void ListenForLaterStarts(const QString& executableName, QObject* parent, std::function<void()> show) {
    const QString path = RuntimePath(executableName + ".call");
    // The lock is ours, so a socket file there was left by a copy that crashed.
    QLocalServer::removeServer(path);
    auto* server = new QLocalServer(parent);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) return;  // later starts then say that a copy runs
    QObject::connect(server, &QLocalServer::newConnection, server, [server, show] {
        while (QLocalSocket* call = server->nextPendingConnection()) {
            QObject::connect(call, &QLocalSocket::disconnected, call, &QObject::deleteLater);
            show();
        }
    });
}

bool CallRunningCopy(const QString& executableName) {
    QLocalSocket call;
    call.connectToServer(RuntimePath(executableName + ".call"));
    if (!call.waitForConnected(CALL_MS)) return false;
    call.disconnectFromServer();
    return true;
}
