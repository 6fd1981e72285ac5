#include "AppDelegate.h"
#include "AppIdentity.h"
#include "AppPaths.h"
#include "ApplicationLook.h"
#include "InstanceChannel.h"
#include "LaunchArguments.h"
#include "MainWindow.h"
#include "RawNames.h"
#include "Translations.h"

#include <QApplication>
#include <QDebug>
#include <QLocale>
#include <QTimer>

int main(int argc, char* argv[]) {
    nameApplication();
    if (const std::optional<int> exitCode = LaunchArguments::answerInformationRequest(argc, argv))
        return *exitCode;
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (QString why; !AppPaths::preparePrivateHome(&why))
        qWarning().noquote() << QStringLiteral("The private home is not private: %1").arg(why);
    const QStringList arguments = RawNames::arguments(argc, argv);
    const QStringList files = LaunchArguments::files(arguments);
    const QString target = LaunchArguments::convertTarget(arguments);

    // A running instance takes the files (or just comes forward); this launch is done then.
    if (InstanceChannel::forward(files, target))
        return 0;
    InstanceChannel channel;
    // Lost a race with another launch: hand over to it after all.
    if (channel.listen() == InstanceChannel::ListenResult::OtherInstance &&
        InstanceChannel::forward(files, target))
        return 0;

    Translations::install(app, QLocale().uiLanguages());
    applyApplicationLook(app);
    MainWindow window;
    AppDelegate delegate(&window);
    window.show();
    delegate.finishLaunching();

    QObject::connect(&channel, &InstanceChannel::filesReceived, &delegate,
                     [&delegate](const QStringList& paths, const QString& target) {
                         delegate.reopenApplication();
                         delegate.openFiles(paths, target);
                     });
    if (!files.isEmpty())
        QTimer::singleShot(0, &delegate,
                           [&delegate, files, target] { delegate.openFiles(files, target); });
    return app.exec();
}
