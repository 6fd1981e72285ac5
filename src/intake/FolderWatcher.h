#pragma once
#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <vector>

class QSocketNotifier;
struct stat;

// Reports the files that arrive in watched folders once they are complete: written and closed,
// or moved in. A file still open for writing is never reported, and a file is reported once
// (again only after it was rewritten). Hidden names are passed over, which covers the
// program's own work files. Linux only: inotify, read on the thread the watcher lives on.
//
// Files found by a scan (a new subfolder, the folders' existing files, a rescan after the
// kernel's event queue overflowed) have no close to wait for: they are taken once no process
// has them open for writing, which a read lease tells; where leases are not supported, once
// their size and time stayed the same for one settle interval.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    enum class Depth { TopLevel, Recursive };
    enum class ExistingFiles { Report, Ignore };
    // True for a file the caller takes, e.g. a name the conversion accepts.
    using FileFilter = std::function<bool(const QString& path)>;

    explicit FolderWatcher(Depth depth, QObject* parent = nullptr);
    ~FolderWatcher() override;
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Default: every regular file.
    void setFileFilter(FileFilter accepts);
    // Folders never entered, such as the output folder when it lies inside a watched one.
    // Matched by path and, once they exist, by identity, so another spelling counts too.
    void setExcludedFolders(const QStringList& folders);
    // How long a file found by a scan must stay unchanged where leases cannot tell.
    void setSettleInterval(int milliseconds);

    // Watches folder, then scans it, so nothing lands unseen in between. Existing files are
    // reported from the event loop, after this returns. False, with a message naming the
    // folder, when it cannot be watched.
    bool addFolder(const QString& folder, ExistingFiles existing, QString* error = nullptr);

Q_SIGNALS:
    // path is complete; subfolder is its folder relative to the watched folder, "" at the top.
    void fileReady(const QString& path, const QString& subfolder);
    // A watched folder was deleted, moved away or unmounted; it is no longer watched.
    void folderLost(const QString& folder);
    // A subfolder could not be watched (e.g. the system's watch limit): arrivals there are missed.
    void subfolderNotWatched(const QString& folder, const QString& reason);

private:
    struct Stamp {
        quint64 device = 0, inode = 0;
        qint64 size = 0, modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Watch {
        QString path;
        QString subfolder;
        int root = 0; // index into roots_
    };
    struct Root {
        QString path;
        int wd = -1;
        quint64 device = 0, inode = 0;
        bool lost = false;
    };
    struct Pending {
        QString subfolder;
        Stamp stamp;
        bool stampSeen = false; // the stamp was taken at an earlier check
    };
    enum class Arrival { Complete, Found };
    enum class Writers { None, Some, Unknown };

    bool watchTree(const QString& path, int root, const QString& subfolder, ExistingFiles existing,
                   QString* error);
    void readEvents();
    void handleEvent(int wd, quint32 mask, const QByteArray& name);
    void consider(const QString& path, const QString& subfolder, Arrival arrival);
    void checkPending();
    void rescan();
    void dropTree(const QString& path);
    void loseRoot(int root);
    bool isExcluded(const QString& folder) const;
    static Stamp stampOf(const struct stat& st);
    static Writers writersOf(const QByteArray& rawPath);

    Depth depth_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    FileFilter accepts_;
    QStringList excluded_;
    std::vector<Root> roots_;
    QHash<int, Watch> watches_;
    QHash<QString, Stamp> known_;    // reported, or present when watching began and ignored
    QMap<QString, Pending> pending_; // found by a scan, waiting for their writers
    QTimer pendingTimer_;
    int settleInterval_ = 1000;
};
