#pragma once
#include "ApiClient.h"

// The account service's operations, one endpoint each.
class NetAPIService {
public:
    static NetAPIService& sharedManager();
    explicit NetAPIService(ApiClient& client) : client_(client) {}

    static constexpr char kLoginPath[] = "user/Login";

    // params: {"username": e-mail, "password": password}, sent as typed.
    void requestLogin(const QJsonObject& params, bool isShowLoading, QWidget* target,
                      ApiClient::Completion completion);

private:
    ApiClient& client_;
};
