#include "PasswordVault.h"

#include <QCoreApplication>
#include <QDebug>

#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("Tessaro Pro account");

// A job deletes itself once finished; the application is its owner until then.
template <typename Job> Job* makeJob(const QString& account) {
    auto* job = new Job(kService, QCoreApplication::instance());
    job->setAutoDelete(true);
    // Never fall back to storing the secret unencrypted in a settings file.
    job->setInsecureFallback(false);
    job->setKey(account);
    QObject::connect(job, &QKeychain::Job::finished, [](QKeychain::Job* finished) {
        if (finished->error() != QKeychain::NoError &&
            finished->error() != QKeychain::EntryNotFound)
            qInfo().noquote() << "password not kept:" << finished->errorString();
    });
    return job;
}

} // namespace

namespace PasswordVault {

void keep(const QString& account, const QString& password) {
    if (account.isEmpty())
        return;
    auto* job = makeJob<QKeychain::WritePasswordJob>(account);
    job->setTextData(password);
    job->start();
}

void forget(const QString& account) {
    if (account.isEmpty())
        return;
    makeJob<QKeychain::DeletePasswordJob>(account)->start();
}

} // namespace PasswordVault
