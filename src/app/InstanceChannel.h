#pragma once
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <sys/types.h>

// Lets a second launch hand its files to the instance already running: the first instance
// listens on a per-user local socket; a later one sends its path list there and exits. A
// --convert-to target follows the list in the same message: an instance that predates it
// reads the paths and ignores the rest, and a message without it is just paths.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(QObject* parent = nullptr);

    // The socket's path: in the user's runtime folder when there is one, otherwise in a
    // private folder of ours under the temporary folder. Empty, with why set, when neither is
    // a folder only this user can write to: then there is no forwarding at all.
    static QString serverName(QString* why = nullptr);
    // Sends paths (to convert to target, "" to open) to a running instance; true when it
    // confirmed receiving them.
    static bool forward(const QStringList& paths, const QString& target = {}, int timeoutMs = 3000);
    // What forward() sends.
    static QByteArray message(const QStringList& paths, const QString& target = {});
    // Only this user's own launches may hand over files; a peer of any other user is dropped.
    static bool acceptsPeer(uid_t uid);

    enum class ListenResult { Listening, OtherInstance, Failed };
    // Becomes the instance that receives files, unless another instance already answers.
    ListenResult listen();
    bool isListening() const { return server_ != nullptr && server_->isListening(); }

Q_SIGNALS:
    // Paths received from a later launch, in its order (possibly empty: just come forward),
    // and the target to convert them to ("" to open them).
    void filesReceived(const QStringList& paths, const QString& target);

private:
    void takeConnection();

    QPointer<QLocalServer> server_;
};
