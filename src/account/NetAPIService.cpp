#include "NetAPIService.h"

NetAPIService& NetAPIService::sharedManager() {
    static NetAPIService service(ApiClient::sharedJsonClient());
    return service;
}

void NetAPIService::requestLogin(const QJsonObject& params, bool isShowLoading, QWidget* target,
                                 ApiClient::Completion completion) {
    client_.requestJsonDataWithPath(
        QString::fromLatin1(kLoginPath), params, target, ApiClient::Post, isShowLoading,
        [completion = std::move(completion)](const std::optional<QJsonObject>& reply,
                                             const std::optional<ApiError>& error) {
            if (!completion)
                return;
            if (reply)
                completion(reply, std::nullopt);
            else
                completion(std::nullopt, error);
        });
}
