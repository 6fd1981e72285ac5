#pragma once
#include <QSlider>

// A horizontal slider over 0..1 in steps of 0.001, with the tag its action handler checks.
class FractionSlider : public QSlider {
    Q_OBJECT
public:
    explicit FractionSlider(QWidget* parent = nullptr);

    double fractionValue() const;
    void setFractionValue(double value);
    // The value as text, e.g. "0.856": what the store keeps.
    QString valueText() const;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

private:
    int tag_ = 0;
};
