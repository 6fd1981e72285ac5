#include "ModeBox.h"

#include "ModeTable.h"

#include <QSignalBlocker>

ModeBox::ModeBox(QWidget* parent) : QComboBox(parent) {
    for (const ModeTraits& row : ModeTable::all()) {
        QString label;
        switch (row.mode) {
        case ConvertMode::WebpToJpg:
            label = tr("WebP to JPG");
            break;
        case ConvertMode::WebpToPng:
            label = tr("WebP to PNG");
            break;
        case ConvertMode::ImageToWebp:
            label = tr("JPG/PNG to WebP");
            break;
        case ConvertMode::GifToWebp:
            label = tr("GIF to WebP");
            break;
        }
        addItem(label, QVariant::fromValue(row.mode));
    }
    connect(this, &QComboBox::activated, this, [this] { Q_EMIT modeChosen(mode()); });
}

ConvertMode ModeBox::mode() const {
    return currentData().value<ConvertMode>();
}

void ModeBox::showMode(ConvertMode mode) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(findData(QVariant::fromValue(mode)));
}
