#pragma once
#include <QDialog>

class QLineEdit;

// The modal profile window: the stored user record, read when the window opens.
class MyProfileWindowController : public QDialog {
    Q_OBJECT
public:
    explicit MyProfileWindowController(QWidget* parent = nullptr);

    QLineEdit* usernameField() const { return usernameField_; }
    QLineEdit* memberTypeField() const { return memberTypeField_; }
    QLineEdit* createDateField() const { return createDateField_; }
    QLineEdit* downLoadCountField() const { return downLoadCountField_; }

    // "Free Member" ... "Pro Member" for 0-3; empty for any other index.
    static QString memberTypeLabel(qint64 registerType);

    // Reads the session afresh and fills the fields.
    void reload();

private:
    QLineEdit* usernameField_ = nullptr;
    QLineEdit* memberTypeField_ = nullptr;
    QLineEdit* createDateField_ = nullptr;
    QLineEdit* downLoadCountField_ = nullptr;
};
