#include "ApplicationLook.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace {

QPalette darkPalette() {
    // Panels (base) sit lighter than the window, as on dark desktops; Fusion's outlines,
    // which it darkens from the window colour, then stay visible on them.
    const QColor window(0x1e, 0x1f, 0x22);
    const QColor base(0x2b, 0x2d, 0x31);
    const QColor text(0xe4, 0xe6, 0xea);
    const QColor disabled(0x7a, 0x7e, 0x85);
    QPalette palette(window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3d, 0x42));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::PlaceholderText, disabled);
    palette.setColor(QPalette::Highlight, QColor(0x3c, 0x76, 0xdb));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Link, QColor(0x7a, 0xa7, 0xf0));
    for (const auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

} // namespace

void applyApplicationLook(QApplication& app, ColorScheme scheme) {
    if (scheme == ColorScheme::Desktop)
        return; // the platform theme has already set style, palette and font
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    app.setPalette(darkPalette());
}
