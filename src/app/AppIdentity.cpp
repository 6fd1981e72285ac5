#include "AppIdentity.h"

#include <QApplication>
#include <QIcon>

// The icon lives in this static library's resources, which the linker would drop otherwise;
// Q_INIT_RESOURCE must be used outside any namespace.
static void loadResources() {
    Q_INIT_RESOURCE(app);
}

void applyApplicationIdentity(QApplication& app) {
    loadResources();
    QApplication::setOrganizationName(QStringLiteral("tessaro"));
    QApplication::setApplicationName(QStringLiteral("tessaro-pro"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaro-pro"));
    app.setWindowIcon(QIcon(QStringLiteral(":/tessaro/tessaro-pro.svg")));
}
