#include "AppIdentity.h"

#include <QApplication>
#include <QIcon>

// The icon lives in this static library's resources, which the linker would drop otherwise;
// Q_INIT_RESOURCE must be used outside any namespace.
static void loadResources() {
    Q_INIT_RESOURCE(app);
}

void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("tessaro"));
    QCoreApplication::setApplicationName(QStringLiteral("tessaro-pro"));
    // The project's version, handed in by the build.
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));
}

void applyApplicationIdentity(QApplication& app) {
    loadResources();
    nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaro-pro"));
    app.setWindowIcon(QIcon(QStringLiteral(":/tessaro/tessaro-pro.svg")));
}
