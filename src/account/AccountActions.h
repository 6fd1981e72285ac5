#pragma once
class QObject;
class QWidget;

// What the application shell needs of the account: the menu state and the windows.
// After a login the account code posts "LoginNotifi", after a logout "LogOut"; the shell
// observes both to switch its Account menu.
namespace AccountActions {
bool hasLogin();
void loginModal(QWidget* parent);
void myProfile(QWidget* parent);
// Posts "LogOut" with poster (the application shell) as the notification's object.
void logOut(QObject* poster);
// The toolbar's Account item: the profile when logged in, the login window otherwise.
void account(QWidget* parent);
} // namespace AccountActions
