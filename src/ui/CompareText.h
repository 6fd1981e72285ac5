#pragma once
#include <QCoreApplication>
#include <QLocale>
#include <QSize>
#include <QString>

#include <optional>

// The comparison window's information bar, e.g. "Source 4.1 MB · 4096×4096 — Result 1.2 MB ·
// 4096×4096, −72 % · SSIM 0.985 · PSNR 41.2 dB". Sizes and the change read as everywhere else
// in the application (SizeSummary).
class CompareText {
    Q_DECLARE_TR_FUNCTIONS(CompareText)
public:
    struct FileFacts {
        qint64 bytes = 0;
        QSize pixels;
    };
    struct Measures {
        double psnr = 0; // dB; infinite when the images are identical
        double ssim = 0; // NaN when the pair could not be measured
    };

    static QString barText(const FileFacts& source, const FileFacts& result,
                           const std::optional<Measures>& measures, const QLocale& locale = {});
};
