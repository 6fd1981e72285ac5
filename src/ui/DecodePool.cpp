#include "DecodePool.h"

#include <QThread>
#include <QThreadPool>

QThreadPool* decodePool() {
    static QThreadPool pool;
    static const bool configured = [] {
        // At least two, so thumbnails keep coming while one large image decodes.
        pool.setMaxThreadCount(qBound(2, QThread::idealThreadCount() / 2, 4));
        return true;
    }();
    Q_UNUSED(configured);
    return &pool;
}
