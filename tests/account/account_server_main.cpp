// Starts the local account service by hand, for trying the login window without the
// vendor's service. See scripts/account-server.
#include "AccountTestServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local HTTPS account service for testing."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port on 127.0.0.1 (default 8558)."),
                                        QStringLiteral("port"), QStringLiteral("8558"));
    parser.addOption(portOption);
    parser.process(app);

    AccountTestServer server;
    QTextStream out(stdout);
    if (!server.listen(static_cast<quint16>(parser.value(portOption).toUInt()))) {
        QTextStream(stderr) << "Cannot listen on 127.0.0.1:" << parser.value(portOption) << '\n';
        return 1;
    }
    out << "Account service at " << server.baseUrl().toString() << '\n'
        << "Certificate authority: " << AccountTestServer::authorityFile() << '\n'
        << "Accounts (e-mail / password):\n";
    for (const QString& account : AccountTestServer::demoAccounts())
        out << "  " << account << '\n';
    out.flush();
    QObject::connect(&server, &AccountTestServer::requestReceived, [](const QString& path) {
        QTextStream(stdout) << "request: " << path << Qt::endl;
    });
    return app.exec();
}
