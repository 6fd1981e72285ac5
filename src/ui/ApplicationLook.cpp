#include "ApplicationLook.h"

#include "Theme.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

void applyApplicationLook(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    QPalette palette;
    palette.setColor(QPalette::Window, Theme::window());
    palette.setColor(QPalette::WindowText, Theme::text());
    palette.setColor(QPalette::Base, Theme::surface());
    palette.setColor(QPalette::AlternateBase, Theme::hover());
    palette.setColor(QPalette::Text, Theme::text());
    palette.setColor(QPalette::Button, QColor(0xfa, 0xfb, 0xfc));
    palette.setColor(QPalette::ButtonText, Theme::text());
    palette.setColor(QPalette::Highlight, Theme::accent());
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Mid, Theme::secondaryText());
    palette.setColor(QPalette::ToolTipBase, Theme::surface());
    palette.setColor(QPalette::ToolTipText, Theme::text());
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0xa0, 0xa6, 0xad));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xa0, 0xa6, 0xad));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0xa0, 0xa6, 0xad));
    app.setPalette(palette);
    QFont font = app.font();
    font.setPixelSize(13);
    app.setFont(font);
}
