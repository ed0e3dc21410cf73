// One running program per user: the first start holds a lock file and listens on a local server; a later
// start finds the lock taken, asks the first one over the server to come to the front, and ends.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace nms {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The lock file and the server name; the server name follows from the lock file when empty.
    explicit SingleInstance(const QString& lockPath, QString serverName = QString(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // The program's own: velmora.lock in the config folder.
    static QString DefaultLockPath();

    // True when this is the first instance (it now holds the lock and listens). False when another one
    // runs; that one has then been asked to come to the front.
    bool Acquire();
    bool IsFirst() const { return m_first; }
    const QString& ServerName() const { return m_serverName; }

signals:
    // A later start asked this instance to show its window.
    void activationRequested();

private:
    void OnNewConnection();

    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_first = false;
};

}  // namespace nms
