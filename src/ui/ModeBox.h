#pragma once
#include <QComboBox>

// The conversion mode box: four entries whose position is the mode number.
class ModeBox : public QComboBox {
    Q_OBJECT
public:
    explicit ModeBox(QWidget* parent = nullptr);

    // Selects the entry of a stored mode; a value outside the table selects mode 0, which is
    // what the returned mode says.
    qint64 selectMode(qint64 mode);
    // Stores index as "Format" (decimal text) and logs it.
    static void storeMode(qint64 index);
};
