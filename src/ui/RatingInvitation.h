#pragma once
#include <QFrame>

// A slim banner inviting the user to rate the application; dismissible, never modal.
class RatingInvitation : public QFrame {
    Q_OBJECT
public:
    explicit RatingInvitation(QWidget* parent = nullptr);

Q_SIGNALS:
    void rateRequested();
};
