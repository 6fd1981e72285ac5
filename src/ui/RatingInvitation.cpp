#include "RatingInvitation.h"

#include "Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

RatingInvitation::RatingInvitation(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("ratingInvitation"));
    setStyleSheet(QStringLiteral("#ratingInvitation { background: %1; border: 1px solid %2;"
                                 " border-radius: 0.5em; } #ratingInvitation QLabel { color: %3; }")
                      .arg(Theme::mix(Theme::surface(), Theme::accent(), 0.1).name(),
                           Theme::mix(Theme::surface(), Theme::accent(), 0.35).name(),
                           Theme::text().name()));
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
    layout->setContentsMargins(Theme::em(0.9), Theme::em(0.5), Theme::em(0.6), Theme::em(0.5));
    layout->setSpacing(Theme::em(0.6));
    layout->addWidget(text, 1);
    layout->addWidget(rate);
    layout->addWidget(later);
    connect(rate, &QPushButton::clicked, this, [this] {
        Q_EMIT rateRequested();
        deleteLater();
    });
    connect(later, &QPushButton::clicked, this, &QObject::deleteLater);
}
