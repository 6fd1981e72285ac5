// Starts the local account service by hand, for trying the login window without the
// vendor's service. See scripts/account-server.
#include "AccountTestServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"port", "Port on 127.0.0.1 (default 8558).", "port", "8558"});
    parser.process(app);
    const QString port = parser.value("port");

    AccountTestServer server;
    QTextStream out(stdout);
    if (!server.listen(port.toUShort())) {
        QTextStream(stderr) << "Cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    out << "Account service at " << server.baseUrl().toString() << '\n'
        << "Certificate authority: " << AccountTestServer::authorityFile() << '\n'
        << "Accounts (e-mail / password):\n";
    const QJsonObject users = AccountTestServer::users();
    for (auto it = users.begin(); it != users.end(); ++it)
        out << "  " << it.key() << " / " << it->toObject().value(u"password").toString() << '\n';
    out.flush();
    return app.exec();
}
