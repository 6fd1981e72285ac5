#include "ApiClient.h"

#include "LoadingOverlay.h"
#include "PasswordVault.h"
#include "Preferences.h"
#include "ReplyValidation.h"
#include "TransientMessage.h"
#include "UserUtil.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <mutex>

namespace {

std::mutex sharedMutex;
ClientConfiguration& sharedConfiguration() {
    static ClientConfiguration configuration = ClientConfiguration::defaults();
    return configuration;
}
bool sharedCreated = false;

// JSON numbers are doubles: whole ones go out as integers, others in their shortest exact
// form, never in exponent notation.
QString numberText(double value) {
    constexpr double ExactIntegerLimit = 9007199254740992.0; // 2^53
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) <= ExactIntegerLimit)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QUrl urlWithQuery(QUrl url, const QJsonObject& params) {
    if (params.isEmpty())
        return url;
    QStringList pairs;
    for (auto it = params.begin(); it != params.end(); ++it) {
        const QJsonValue value = it.value();
        const QString text = value.isString()   ? value.toString()
                             : value.isDouble() ? numberText(value.toDouble())
                             : value.isBool()   ? QString::number(value.toBool() ? 1 : 0)
                                                : QString();
        pairs << QString::fromLatin1(QUrl::toPercentEncoding(it.key()) + '=' +
                                     QUrl::toPercentEncoding(text));
    }
    url.setQuery(pairs.join(u'&'), QUrl::StrictMode);
    return url;
}

} // namespace

ApiClient& ApiClient::sharedJsonClient() {
    static ApiClient* const client = [] {
        const std::lock_guard lock(sharedMutex);
        sharedCreated = true;
        // Lives as long as the application; replies are delivered on its thread.
        auto* created = new ApiClient(sharedConfiguration());
        QCoreApplication* app = QCoreApplication::instance();
        if (app && created->thread() != app->thread())
            created->moveToThread(app->thread());
        if (app) {
            QMetaObject::invokeMethod(
                app, [created, app] { created->setParent(app); },
                created->thread() == QThread::currentThread() ? Qt::DirectConnection
                                                              : Qt::QueuedConnection);
        }
        return created;
    }();
    return *client;
}

bool ApiClient::setSharedConfiguration(const ClientConfiguration& configuration) {
    const std::lock_guard lock(sharedMutex);
    if (sharedCreated)
        return false;
    sharedConfiguration() = configuration;
    return true;
}

ApiClient::ApiClient(const ClientConfiguration& configuration, Reachability* reachability,
                     QObject* parent)
    : QObject(parent), configuration_(configuration),
      reachability_(reachability ? reachability
                                 : new SystemReachability(configuration.baseUrl, this)),
      network_(new QNetworkAccessManager(this)) {
    connect(reachability_, &Reachability::statusChanged, this, &ApiClient::onReachabilityChanged);
}

ApiClient::~ApiClient() = default;

QString ApiClient::loggableParameters(QJsonObject params) {
    // Secrets never reach the log.
    for (auto it = params.begin(); it != params.end(); ++it) {
        if (it.key().contains(QLatin1String("password"), Qt::CaseInsensitive) ||
            it.key().contains(QLatin1String("token"), Qt::CaseInsensitive))
            it.value() = QStringLiteral("(hidden)");
    }
    return QString::fromUtf8(QJsonDocument(params).toJson(QJsonDocument::Compact));
}

bool ApiClient::isSessionEndedCode(qint64 status) {
    return status == 7000 || status == 7001 || status == 7002;
}

bool ApiClient::canSendNow() const {
    // An undeterminable status is no reason to hold a request back: a real failure reaches
    // the caller as an error.
    return reachability_->status() != Reachability::Status::NotReachable;
}

void ApiClient::requestJsonDataWithPath(const QString& path, const QJsonObject& params,
                                        QWidget* target, int methodType, bool loading,
                                        Completion completion) {
    waiting_.push_back({path, params, target, methodType, loading, std::move(completion)});
    if (canSendNow()) {
        sendWaiting();
        return;
    }
    TransientMessage::showInActiveWindow(QCoreApplication::translate("ApiClient", "No Network"));
    Q_EMIT requestWaitingForNetwork(path);
}

void ApiClient::onReachabilityChanged(Reachability::Status status) {
    if (status != Reachability::Status::NotReachable)
        sendWaiting();
}

void ApiClient::sendWaiting() {
    // Oldest first; each leaves the queue before it is sent, so it is never sent twice.
    while (!waiting_.empty()) {
        Request request = std::move(waiting_.front());
        waiting_.pop_front();
        send(std::move(request));
    }
}

void ApiClient::send(Request request) {
    qInfo().noquote() << "request" << request.path << loggableParameters(request.params);
    if (request.loading)
        LoadingOverlay::showOver(request.target,
                                 QCoreApplication::translate("ApiClient", "Loading..."));

    QUrl url = configuration_.baseUrl.resolved(QUrl(request.path));
    if (request.methodType == Get)
        url = urlWithQuery(url, request.params);
    QNetworkRequest httpRequest(url);
    httpRequest.setHeader(QNetworkRequest::ContentTypeHeader,
                          QStringLiteral("application/json; charset=utf-8"));
    if (const auto user = UserUtil::storedUser(); user && user->token && !user->token->isEmpty())
        httpRequest.setRawHeader("Authorization", "Bearer " + user->token->toUtf8());
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!configuration_.extraAuthorities.isEmpty())
        tls.addCaCertificates(configuration_.extraAuthorities);
    httpRequest.setSslConfiguration(tls);
    // A redirect would carry the bearer token and the password to wherever it points.
    httpRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);

    QNetworkReply* reply =
        request.methodType == Post
            ? network_->post(httpRequest,
                             QJsonDocument(request.params).toJson(QJsonDocument::Compact))
            : network_->get(httpRequest);
    Q_EMIT requestSent(request.path);

    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    auto abort = std::make_shared<Abort>(Abort::None);
    connect(timer, &QTimer::timeout, reply, [reply, abort] {
        *abort = Abort::Timeout;
        reply->abort();
    });
    timer->start(configuration_.timeoutMs);
    // Past the limit the reply is dropped, announced length or not (chunked); the reply itself
    // never holds more than one byte past it.
    reply->setReadBufferSize(MaxReplyBytes + 1);
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, abort](qint64 received, qint64 total) {
                if (received > MaxReplyBytes || total > MaxReplyBytes) {
                    *abort = Abort::TooLarge;
                    reply->abort();
                }
            });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, abort, request = std::move(request)] {
                handleReply(reply, request, *abort);
                reply->deleteLater();
            });
}

std::optional<ApiError> ApiClient::errorOf(QNetworkReply* reply, Abort abort) const {
    if (abort == Abort::Timeout)
        return ApiError{ApiError::Kind::Timeout, QStringLiteral("The request timed out."), 0};
    if (abort == Abort::TooLarge)
        return ApiError{ApiError::Kind::TooLarge,
                        QCoreApplication::translate("ApiClient",
                                                    "The service's answer is longer than %1 bytes.")
                            .arg(MaxReplyBytes),
                        0};
    const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (httpStatus >= 300 && httpStatus <= 399)
        return ApiError{
            ApiError::Kind::Redirect,
            QCoreApplication::translate("ApiClient",
                                        "The service answered with a redirect to another address."),
            httpStatus};
    if (httpStatus != 0 && (httpStatus < 200 || httpStatus > 299))
        return ApiError{ApiError::Kind::HttpStatus,
                        QStringLiteral("The service answered with HTTP status %1.").arg(httpStatus),
                        httpStatus};
    if (reply->error() == QNetworkReply::SslHandshakeFailedError)
        return ApiError{ApiError::Kind::Tls, reply->errorString(), 0};
    if (reply->error() != QNetworkReply::NoError)
        return ApiError{ApiError::Kind::Transport, reply->errorString(), 0};
    return std::nullopt;
}

void ApiClient::handleReply(QNetworkReply* reply, const Request& request, Abort abort) {
    std::optional<ApiError> error = errorOf(reply, abort);
    std::optional<QJsonObject> body;
    if (!error) {
        const auto parsed = parseReplyBody(
            reply->header(QNetworkRequest::ContentTypeHeader).toString(), reply->readAll());
        if (const auto* failure = std::get_if<ApiError>(&parsed))
            error = *failure;
        else
            body = std::get<QJsonObject>(parsed);
    }
    // A failed POST hides an overlay over its view whether or not it showed one.
    if (request.loading || (error && request.methodType == Post))
        LoadingOverlay::hideOver(request.target);

    if (body && request.methodType == Post) {
        const qint64 status = replyStatusCode(*body);
        if (isSessionEndedCode(status)) {
            endSession(status);
            Q_EMIT requestFinished(request.path);
            return;
        }
    }
    if (request.completion)
        request.completion(body, error);
    Q_EMIT requestFinished(request.path);
}

void ApiClient::endSession(qint64 status) {
    PasswordVault::forget(Preferences::instance().username());
    Preferences::instance().recordLoginFailure(status);
}
