#pragma once
#include <QObject>

class QWidget;

// What the account announces; the shell turns it into its named notifications and switches
// its Account menu.
class AccountEvents : public QObject {
    Q_OBJECT
public:
    static AccountEvents& instance();

Q_SIGNALS:
    void loggedIn(QObject* window);
    void loggedOut(QObject* poster);
    // The login window closed (the stored quality may be shown again).
    void loginWindowClosed(QObject* window);

private:
    AccountEvents() = default;
};

// What the application shell needs of the account: the menu state and the windows.
namespace AccountActions {
bool hasLogin();
void loginModal(QWidget* parent);
void myProfile(QWidget* parent);
// Forgets the session and announces it with poster (the application shell).
void logOut(QObject* poster);
// The toolbar's Account item: the profile when logged in, the login window otherwise.
void account(QWidget* parent);
} // namespace AccountActions
