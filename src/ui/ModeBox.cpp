#include "ModeBox.h"

#include "PicModel.h"
#include "Settings.h"
#include "SettingsKeys.h"

#include <QDebug>

ModeBox::ModeBox(QWidget* parent) : QComboBox(parent) {
    addItem(tr("WebP to JPG"));
    addItem(tr("WebP to PNG"));
    addItem(tr("JPG/PNG to WebP"));
    addItem(tr("GIF to WebP"));
}

qint64 ModeBox::selectMode(qint64 mode) {
    if (mode < 0 || mode >= count())
        mode = ConvertMode::WebpToJpg;
    setCurrentIndex(static_cast<int>(mode));
    return mode;
}

void ModeBox::storeMode(qint64 index) {
    const QString text = QString::asprintf("%ld", static_cast<long>(index));
    qInfo().noquote() << text;
    Settings::setValue(SettingsKeys::Format, text);
}
