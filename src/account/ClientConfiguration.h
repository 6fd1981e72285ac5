#pragma once
#include <QList>
#include <QSslCertificate>
#include <QUrl>

// How a JSON client reaches the account service. Release builds use defaults(); tests
// and demonstration builds point a client at another service and trust its authority.
struct ClientConfiguration {
    QUrl baseUrl;                            // https, one path segment, trailing "/"
    QList<QSslCertificate> extraAuthorities; // added to the system's trusted roots
    int timeoutMs = 25000;

    static ClientConfiguration defaults();
};
