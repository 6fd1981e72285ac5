#pragma once
#include "ApiError.h"

#include <QDialog>
#include <QJsonObject>
#include <QMessageBox>
#include <QPointer>

#include <optional>

class QCheckBox;
class QLineEdit;

class QPushButton;
class NetAPIService;

// The modal login window: checks the input, sends it to the service and keeps the
// session on success. A reply that arrives after the window closed is still handled.
class LoginWindowController : public QDialog {
    Q_OBJECT
public:
    // Without a service the shared one is used.
    explicit LoginWindowController(QWidget* parent = nullptr, NetAPIService* service = nullptr);

    QLineEdit* usernameField() const { return usernameField_; }
    QLineEdit* passwordField() const { return passwordField_; }
    QCheckBox* checkAgree() const { return checkAgree_; }
    QPushButton* loginBtn() const { return loginBtn_; }
    // The link controls, by tag: 0 the privacy policy, 1 the web site.
    QPushButton* linkButton(int tag) const;
    // The alert shown last, while it is open.
    QMessageBox* currentAlert() const { return currentAlert_; }

    static QUrl webSiteUrl(int tag);

public Q_SLOTS:
    void login();
    void goWebSite(int tag);
    void showAlert(const QString& message, int type);

Q_SIGNALS:
    void alertShown(const QString& message, int type);

protected:
    void done(int result) override;

private:
    static void handleReply(QPointer<LoginWindowController> window, const QString& sentEmail,
                            const QString& sentPassword, const std::optional<QJsonObject>& reply,
                            const std::optional<ApiError>& error);

    NetAPIService* service_ = nullptr;
    QLineEdit* usernameField_ = nullptr;
    QLineEdit* passwordField_ = nullptr;
    QCheckBox* checkAgree_ = nullptr;
    QPushButton* loginBtn_ = nullptr;
    QPushButton* privacyLink_ = nullptr;
    QPushButton* webSiteLink_ = nullptr;
    QPointer<QMessageBox> currentAlert_;
};
