#include "LoginWindowController.h"

#include "AccountActions.h"
#include "AlertPresenter.h"
#include "HexColor.h"
#include "LoginFlow.h"
#include "NetAPIService.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kPrivacyPolicyTag = 0;
constexpr int kWebSiteTag = 1;
} // namespace

LoginWindowController::LoginWindowController(QWidget* parent, NetAPIService* service)
    : QDialog(parent), service_(service ? service : &NetAPIService::sharedManager()),
      usernameField_(new QLineEdit(this)), passwordField_(new QLineEdit(this)),
      checkAgree_(new QCheckBox(tr("I have read and agree to the Privacy Policy"), this)),
      loginBtn_(new QPushButton(tr("Login"), this)),
      privacyLink_(new QPushButton(tr("Privacy Policy"), this)),
      webSiteLink_(new QPushButton(tr("Visit our web site"), this)) {
    setObjectName(QStringLiteral("LoginWindowController"));
    setWindowTitle(tr("Login"));
    usernameField_->setObjectName(QStringLiteral("usernameField"));
    passwordField_->setObjectName(QStringLiteral("passwordField"));
    checkAgree_->setObjectName(QStringLiteral("checkAgree"));
    loginBtn_->setObjectName(QStringLiteral("loginBtn"));
    usernameField_->setPlaceholderText(tr("E-mail address"));
    passwordField_->setEchoMode(QLineEdit::Password);
    passwordField_->setStyleSheet(QStringLiteral("QLineEdit { background-color: white; }"));
    loginBtn_->setAutoDefault(false);
    loginBtn_->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: white; padding: 6px 24px; "
                       "border-radius: 4px; }")
            .arg(colorWithHexCode(QStringLiteral("3165D8")).name()));
    for (auto [button, tag] :
         {std::pair{privacyLink_, kPrivacyPolicyTag}, std::pair{webSiteLink_, kWebSiteTag}}) {
        button->setFlat(true);
        button->setAutoDefault(false);
        button->setProperty("tag", tag);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QPushButton::clicked, this, [this, tag] { goWebSite(tag); });
    }

    auto* form = new QFormLayout;
    form->addRow(tr("E-mail"), usernameField_);
    form->addRow(tr("Password"), passwordField_);
    auto* links = new QHBoxLayout;
    links->addWidget(privacyLink_);
    links->addStretch();
    links->addWidget(webSiteLink_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(checkAgree_);
    layout->addWidget(loginBtn_, 0, Qt::AlignHCenter);
    layout->addLayout(links);
    connect(loginBtn_, &QPushButton::clicked, this, &LoginWindowController::login);
    usernameField_->setAccessibleDescription(tr("The e-mail address of your account"));
    passwordField_->setAccessibleDescription(tr("The password of your account"));
    checkAgree_->setAccessibleDescription(tr("Needed before logging in"));
    loginBtn_->setAccessibleDescription(tr("Logs in with this e-mail address and password"));
    privacyLink_->setAccessibleDescription(tr("Opens the privacy policy in the browser"));
    webSiteLink_->setAccessibleDescription(tr("Opens the web site in the browser"));
    resize(380, sizeHint().height());
}

QPushButton* LoginWindowController::linkButton(int tag) const {
    return tag == kPrivacyPolicyTag ? privacyLink_ : webSiteLink_;
}

QUrl LoginWindowController::webSiteUrl(int tag) {
    return tag == kPrivacyPolicyTag ? QUrl(QStringLiteral(TESSARO_PRIVACY_POLICY_URL))
                                    : QUrl(QStringLiteral(TESSARO_WEB_SITE_URL));
}

void LoginWindowController::goWebSite(int tag) {
    QDesktopServices::openUrl(webSiteUrl(tag));
}

void LoginWindowController::login() {
    const QString email = usernameField_->text();
    const QString password = passwordField_->text();
    if (const auto problem = LoginFlow::checkInput(email, password, checkAgree_->isChecked())) {
        showAlert(*problem, LoginFlow::kAlertProblem);
        return;
    }
    const QJsonObject params{{QStringLiteral("username"), email},
                             {QStringLiteral("password"), password}};
    QPointer<LoginWindowController> window(this);
    service_->requestLogin(params, false, nullptr,
                           [window, email, password](const std::optional<QJsonObject>& reply,
                                                     const std::optional<ApiError>& error) {
                               handleReply(window, email, password, reply, error);
                           });
}

void LoginWindowController::handleReply(QPointer<LoginWindowController> window,
                                        const QString& sentEmail, const QString& sentPassword,
                                        const std::optional<QJsonObject>& reply,
                                        const std::optional<ApiError>& error) {
    // The fields' texts at this moment; the ones sent when the window is gone.
    const QString email = window ? window->usernameField_->text() : sentEmail;
    const QString password = window ? window->passwordField_->text() : sentPassword;
    const LoginFlow::Outcome outcome = LoginFlow::complete(email, password, reply, error);
    if (window)
        window->showAlert(outcome.alertMessage, outcome.alertType);
    else
        AlertPresenter::show(outcome.alertMessage, nullptr, {});
    if (outcome.success)
        Q_EMIT AccountEvents::instance().loggedIn(window.data());
}

void LoginWindowController::showAlert(const QString& message, int type) {
    QPointer<LoginWindowController> window(this);
    currentAlert_ = AlertPresenter::show(message, this, [window, type] {
        if (type == LoginFlow::kAlertSuccess && window)
            window->close();
    });
    Q_EMIT alertShown(message, type);
}

void LoginWindowController::done(int result) {
    const bool wasOpen = isVisible();
    QDialog::done(result);
    if (wasOpen)
        Q_EMIT AccountEvents::instance().loginWindowClosed(this);
}
