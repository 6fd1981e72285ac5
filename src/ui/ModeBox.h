#pragma once
#include "Vocabulary.h"

#include <QComboBox>

// The conversion box: one entry per mode, in the mode table's order.
class ModeBox : public QComboBox {
    Q_OBJECT
public:
    explicit ModeBox(QWidget* parent = nullptr);

    ConvertMode mode() const;
    // Shows mode without it counting as the user's choice.
    void showMode(ConvertMode mode);

Q_SIGNALS:
    // The user picked a mode.
    void modeChosen(ConvertMode mode);
};
