#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace qb::tools {

// A Radicale server of the test's own on 127.0.0.1 with a free port and a temporary storage
// folder (in memory under /dev/shm where there is one: Radicale syncs every write to disk, which
// makes it ten times slower on a disk), stopped with the object. With a password it checks it
// (htpasswd, plain), else it takes any.
class RadicaleServer {
public:
    explicit RadicaleServer(const QString &password = {});
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer &) = delete;
    RadicaleServer &operator=(const RadicaleServer &) = delete;

    bool isRunning() const { return m_port != 0; }
    QString failure() const { return m_failure; }
    QUrl root() const;
    qint64 processId() const { return m_process.processId(); }
    // The number of calendar objects stored in all of alice's collections.
    int objectCount() const;
    // Where the collection at `path` (as in its URL) keeps its objects, one file each.
    QString folderOf(const QString &path) const;
    void stop();

private:
    static QString storageRoot();
    QTemporaryDir m_folder{storageRoot()};
    QProcess m_process;
    int m_port = 0;
    QString m_failure;
};

} // namespace qb::tools
