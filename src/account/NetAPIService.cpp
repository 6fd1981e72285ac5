#include "NetAPIService.h"

NetAPIService& NetAPIService::sharedManager() {
    static NetAPIService service(NetAPIClicnet::sharedJsonClient());
    return service;
}

void NetAPIService::request_loginWithParam(const QJsonObject& params, bool isShowLoading,
                                           QWidget* targer, NetAPIClicnet::Completion completion) {
    client_.requestJsonDataWithPath(
        QString::fromLatin1(kLoginPath), params, targer, NetAPIClicnet::Post, isShowLoading,
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
