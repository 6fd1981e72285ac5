#include "RatingInvitation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

RatingInvitation::RatingInvitation(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("ratingInvitation"));
    setStyleSheet(QStringLiteral(
        "#ratingInvitation { background: #eef4fe; border: 1px solid #c9daf8; border-radius: 8px; }"
        "#ratingInvitation QLabel { color: #1f2328; }"));
    auto* text = new QLabel(tr("Enjoying Tessaro Pro? A short rating helps others find it."), this);
    auto* rate = new QPushButton(tr("Rate Tessaro Pro"), this);
    auto* later = new QPushButton(tr("Not now"), this);
    rate->setObjectName(QStringLiteral("rateButton"));
    later->setObjectName(QStringLiteral("dismissButton"));
    rate->setCursor(Qt::PointingHandCursor);
    rate->setAccessibleDescription(tr("Opens the rating page in the browser"));
    later->setAccessibleDescription(tr("Hides this invitation"));
    later->setFlat(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 8, 10, 8);
    layout->setSpacing(10);
    layout->addWidget(text, 1);
    layout->addWidget(rate);
    layout->addWidget(later);
    connect(rate, &QPushButton::clicked, this, [this] {
        Q_EMIT rateRequested();
        deleteLater();
    });
    connect(later, &QPushButton::clicked, this, &QObject::deleteLater);
}
