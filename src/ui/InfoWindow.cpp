#include "InfoWindow.h"

#include "Theme.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

InfoWindow::InfoWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("InfoWindow"));
    setWindowTitle(tr("About Tessaro Pro"));
    setModal(true);
    auto* title = new QLabel(QStringLiteral("Tessaro Pro"), this);
    QFont font = Theme::scaledFont(title->font(), 1.5);
    font.setWeight(QFont::DemiBold);
    title->setFont(font);
    auto* version = new QLabel(tr("Version %1").arg(QApplication::applicationVersion()), this);
    version->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::secondaryText().name()));
    auto* text =
        new QLabel(tr("Converts images to and from WebP in batches: WebP to JPG or PNG, JPG and "
                      "PNG to WebP, and GIF to animated WebP.\n\nThe conversion runs the WebP "
                      "reference tools cwebp, dwebp and gif2webp, at most five at a time. "
                      "Existing files are never replaced."),
                   this);
    text->setWordWrap(true);
    text->setMinimumWidth(Theme::em(22));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    for (QAbstractButton* button : buttons->buttons())
        button->setAccessibleDescription(tr("Closes this window"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 16);
    layout->setSpacing(8);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(text);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}
