#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include "platform/data_folder.h"

namespace nms {
namespace {

constexpr char kRaiseRequest[] = "raise\n";

}  // namespace

SingleInstance::SingleInstance(const QString& lockPath, QString serverName, QObject* parent)
    : QObject(parent), m_lockPath(lockPath), m_serverName(std::move(serverName)) {
    if (m_serverName.isEmpty()) {
        // One name per lock file, so a test's private config folder never reaches the operator's program.
        const QByteArray hash = QCryptographicHash::hash(lockPath.toUtf8(), QCryptographicHash::Sha1).toHex();
        m_serverName = "velmora-" + QString::fromLatin1(hash.left(16));
    }
}

SingleInstance::~SingleInstance() {
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::DefaultLockPath() {
    return QString::fromStdString(ConfigFolder() + "/velmora.lock");
}

bool SingleInstance::Acquire() {
    if (m_first)
        return true;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    m_lock->setStaleLockTime(0);  // only a dead owner frees the lock, however long the program has run
    if (m_lock->tryLock(0)) {
        m_first = true;
        // A server file left by a crashed run would make listen fail.
        QLocalServer::removeServer(m_serverName);
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
        m_server->listen(m_serverName);
        return true;
    }
    m_lock.reset();
    // The first one may be between taking the lock and listening: try a few times, then end anyway.
    for (int attempt = 0; attempt < 5; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(1000)) {
            socket.write(kRaiseRequest);
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            break;
        }
        QThread::msleep(200);
    }
    return false;
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains("raise"))
                emit activationRequested();
        });
        // The request may have arrived with the connection.
        if (socket->bytesAvailable() && socket->readAll().contains("raise"))
            emit activationRequested();
    }
}

}  // namespace nms
