#include "ClientConfiguration.h"

ClientConfiguration ClientConfiguration::defaults() {
    ClientConfiguration configuration;
    configuration.baseUrl = QUrl(QStringLiteral(TESSARO_ACCOUNT_SERVICE_URL));
    // A demonstration build may name a PEM file of extra authorities at configure time.
    const QString extraAuthorityFile = QStringLiteral(TESSARO_ACCOUNT_EXTRA_CA);
    if (!extraAuthorityFile.isEmpty())
        configuration.extraAuthorities = QSslCertificate::fromPath(extraAuthorityFile, QSsl::Pem);
    return configuration;
}
