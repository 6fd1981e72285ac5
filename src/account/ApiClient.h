#pragma once
#include "ApiError.h"
#include "ClientConfiguration.h"
#include "Reachability.h"

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// The one JSON client of the account service. Requests made while the network is down
// wait and are sent, in order, when it returns; each request is sent at most once and its
// completion runs at most once, on the interface thread, with exactly one of reply/error.
// Replies that end the session (status 7000-7002 on POST) are absorbed here.
class ApiClient : public QObject {
    Q_OBJECT
public:
    enum MethodType { Get = 0, Post = 1 };
    using Completion = std::function<void(const std::optional<QJsonObject>& reply,
                                          const std::optional<ApiError>& error)>;

    static ApiClient& sharedJsonClient();
    // Only before the first sharedJsonClient() call; returns false once it exists.
    static bool setSharedConfiguration(const ClientConfiguration& configuration);

    // Without a reachability source the desktop's is used.
    explicit ApiClient(const ClientConfiguration& configuration,
                       Reachability* reachability = nullptr, QObject* parent = nullptr);
    ~ApiClient() override;

    void requestJsonDataWithPath(const QString& path, const QJsonObject& params, QWidget* target,
                                 int methodType, bool loading, Completion completion);

    QUrl baseUrl() const { return configuration_.baseUrl; }
    int waitingRequestCount() const { return static_cast<int>(waiting_.size()); }

    static bool isSessionEndedCode(qint64 status);
    // The longest reply read: the service's JSON answers are a few kilobytes.
    static constexpr qint64 MaxReplyBytes = 1 << 20;
    // The parameters as the diagnostic log shows them: passwords and tokens hidden.
    static QString loggableParameters(QJsonObject params);

Q_SIGNALS:
    // The user was told "No Network"; the request waits.
    void requestWaitingForNetwork(const QString& path);
    void requestSent(const QString& path);
    // The reply was handled: handed to the caller, or absorbed.
    void requestFinished(const QString& path);

private:
    struct Request {
        QString path;
        QJsonObject params;
        QPointer<QWidget> target;
        int methodType = Post;
        bool loading = false;
        Completion completion;
    };

    bool canSendNow() const;
    void onReachabilityChanged(Reachability::Status status);
    void sendWaiting();
    void send(Request request);
    // Why the client itself cut a reply short.
    enum class Abort { None, Timeout, TooLarge };
    void handleReply(QNetworkReply* reply, const Request& request, Abort abort);
    std::optional<ApiError> errorOf(QNetworkReply* reply, Abort abort) const;
    void endSession(qint64 status);

    ClientConfiguration configuration_;
    Reachability* reachability_ = nullptr;
    QNetworkAccessManager* network_ = nullptr;
    std::deque<Request> waiting_;
};
