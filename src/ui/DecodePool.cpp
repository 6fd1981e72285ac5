#include "DecodePool.h"

#include <QThread>
#include <QThreadPool>

QThreadPool* decodePool() {
    static QThreadPool* const pool = [] {
        static QThreadPool threads;
        // At least two, so thumbnails keep coming while one large image decodes.
        threads.setMaxThreadCount(qBound(2, QThread::idealThreadCount() / 2, 4));
        return &threads;
    }();
    return pool;
}
