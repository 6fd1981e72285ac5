#include "MyProfileWindowController.h"

#include "LeadingInteger.h"
#include "UserUtil.h"

#include <QFormLayout>
#include <QLineEdit>

#include <array>

MyProfileWindowController::MyProfileWindowController(QWidget* parent)
    : QDialog(parent), usernameField_(new QLineEdit(this)), memberTypeField_(new QLineEdit(this)),
      createDateField_(new QLineEdit(this)), downLoadCountField_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("MyProfileWindowController"));
    setWindowTitle(tr("My Profile"));
    auto* form = new QFormLayout(this);
    const std::array rows = {
        std::pair{tr("User name"), usernameField_},
        std::pair{tr("Member type"), memberTypeField_},
        std::pair{tr("Member since"), createDateField_},
        std::pair{tr("Downloads"), downLoadCountField_},
    };
    const std::array names = {"usernameField", "memberTypeField", "createDateField",
                              "downLoadCountField"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].second->setReadOnly(true);
        rows[i].second->setObjectName(QLatin1String(names[i]));
        rows[i].second->setAccessibleDescription(tr("From your account, read only"));
        form->addRow(rows[i].first, rows[i].second);
    }
    resize(360, sizeHint().height());
    reload();
}

QString MyProfileWindowController::memberTypeLabel(qint64 registerType) {
    const std::array<QString, 4> labels = {tr("Free Member"), tr("Basic Member"),
                                           tr("Premium Member"), tr("Pro Member")};
    if (registerType < 0 || registerType >= static_cast<qint64>(labels.size()))
        return {};
    return labels[static_cast<std::size_t>(registerType)];
}

void MyProfileWindowController::reload() {
    const UserModel user = UserUtil::storedUser().value_or(UserModel{});
    usernameField_->setText(user.userName.value_or(QString()));
    memberTypeField_->setText(
        memberTypeLabel(leadingInteger(user.registerType.value_or(QString()))));
    createDateField_->setText(user.createDate.value_or(QString()));
    downLoadCountField_->setText(QString::number(user.downloadCount));
}
