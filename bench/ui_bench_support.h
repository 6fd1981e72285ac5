#pragma once
// Shared pieces of the window benchmarks: photo-like images and an event-loop stall meter.
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

#include <ctime>

namespace UiBench {

// Gradients, shapes and noise, so the codecs have real work.
inline QImage photoLike(int w, int h, quint32 seed) {
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor::fromHsv(int(random.bounded(360)), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(int(random.bounded(360)), 160, 90));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv(int(random.bounded(360)), 140, 200, 120));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(random.bounded(w), random.bounded(h)),
                            random.bounded(w / 6 + 1), random.bounded(h / 6 + 1));
    }
    painter.end();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = int(random.bounded(17)) - 8;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + n, 255), qBound(0, qGreen(p) + n, 255),
                           qBound(0, qBlue(p) + n, 255));
        }
    }
    return image;
}

// Ticks every millisecond-ish and keeps the longest gap between two ticks: how long the
// event loop was unable to run. Also how much of that gap the interface thread spent working
// (its CPU time): on a busy machine the rest is the thread waiting for a core.
class StallMeter : public QObject {
public:
    StallMeter() {
        timer_.setInterval(1);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 now = clock_.nsecsElapsed();
            const qint64 cpu = threadCpuNs();
            if (last_ >= 0 && now - last_ > longest_) {
                longest_ = now - last_;
                longestCpu_ = cpu - lastCpu_;
            }
            last_ = now;
            lastCpu_ = cpu;
            ++ticks_;
        });
    }
    void start() {
        longest_ = 0;
        longestCpu_ = 0;
        last_ = -1;
        ticks_ = 0;
        clock_.start();
        timer_.start();
    }
    void stop() { timer_.stop(); }
    double longestMs() const { return longest_ / 1e6; }
    double longestWorkMs() const { return longestCpu_ / 1e6; }
    qint64 ticks() const { return ticks_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
    qint64 ticks_ = 0;
    qint64 lastCpu_ = 0;
    qint64 longestCpu_ = 0;

    static qint64 threadCpuNs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }
};

} // namespace UiBench
