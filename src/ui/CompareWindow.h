#pragma once
#include "CompareText.h"
#include "ImageDecoder.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <optional>

class CompareView;
class QButtonGroup;
class QLabel;

// A source file next to its converted result: Flip, Split and Difference views, Fit and 100 %,
// and a bar with both files' sizes, dimensions and the measured quality. Both files are decoded
// on the decode pool; the window shows what it is waiting for meanwhile, and names the file
// when one cannot be shown. Arrow keys and Page Up/Down ask the owner for the previous or next
// pair (setPair() shows it without closing); Escape closes.
class CompareWindow : public QDialog {
    Q_OBJECT
public:
    explicit CompareWindow(QWidget* parent = nullptr);
    CompareWindow(const QString& source, const QString& result, QWidget* parent = nullptr);

    void setPair(const QString& source, const QString& result);
    // The quality measures of the current pair; the bar says they are being measured until set.
    void setMeasures(double psnr, double ssim);

    CompareView* view() const { return view_; }
    QString sourcePath() const { return sides_[0].path; }
    QString resultPath() const { return sides_[1].path; }
    QString barText() const;

Q_SIGNALS:
    void previousRequested();
    void nextRequested();
    // Both files were decoded (shown) or one of them could not be (the bar says which).
    void pairLoaded(bool shown);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Side {
        QString path;
        std::optional<DecodedImage> decoded;
    };
    void buildToolbar(class QHBoxLayout* layout);
    void addStepKeys();
    void decoded(int side, const DecodedImage& image);
    void showPair();
    void refreshBar();
    static QString failureText(const QString& path, DecodeFailure failure);

    CompareView* view_ = nullptr;
    QLabel* bar_ = nullptr;
    QButtonGroup* modes_ = nullptr;
    Side sides_[2];
    std::optional<CompareText::Measures> measures_;
    quint64 generation_ = 0;
    // Decodes of a pair left behind before they started are skipped.
    std::shared_ptr<std::atomic_bool> abandoned_;
};
