#include "AccountActions.h"

#include "LoginWindowController.h"
#include "MyProfileWindowController.h"
#include "UserUtil.h"

#include <QDebug>

AccountEvents& AccountEvents::instance() {
    static AccountEvents events;
    return events;
}

namespace AccountActions {

bool hasLogin() {
    return UserUtil::hasLogin();
}

void loginModal(QWidget* parent) {
    // The window lives for its modal run (exec deletes it); a reply arriving later is
    // still handled.
    auto* window = new LoginWindowController(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->exec();
    qInfo() << "Login";
}

void myProfile(QWidget* parent) {
    auto* window = new MyProfileWindowController(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->exec();
    qInfo() << "My Profile";
}

void logOut(QObject* poster) {
    UserUtil::removeUserInfo();
    Q_EMIT AccountEvents::instance().loggedOut(poster);
}

void account(QWidget* parent) {
    if (hasLogin())
        myProfile(parent);
    else
        loginModal(parent);
}

} // namespace AccountActions
