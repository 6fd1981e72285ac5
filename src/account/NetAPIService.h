#pragma once
#include "NetAPIClicnet.h"

// The account service's operations, one endpoint each.
class NetAPIService {
public:
    static NetAPIService& sharedManager();
    explicit NetAPIService(NetAPIClicnet& client) : client_(client) {}

    static constexpr char kLoginPath[] = "user/Login";

    // params: {"username": e-mail, "password": password}, sent as typed.
    void request_loginWithParam(const QJsonObject& params, bool isShowLoading, QWidget* targer,
                                NetAPIClicnet::Completion completion);

private:
    NetAPIClicnet& client_;
};
