#pragma once
#include <QMetaObject>
#include <QObject>
#include <QtConcurrent>

#include <memory>
#include <type_traits>
#include <utility>

// The threads images are decoded on, apart from the global pool so a long decode never waits
// behind other work, and other work never waits behind decodes.
QThreadPool* decodePool();

// Runs work on the decode pool and hands its result to deliver on context's thread. The hand-
// over always goes through context's event queue, also when the work is done before this
// returns, so deliver never runs inside the caller; once context is gone it is not called.
template <typename Work, typename Deliver>
void runOnDecodePool(QObject* context, Work work, Deliver deliver) {
    using Result = std::invoke_result_t<Work>;
    // Work done before then() returns has its continuation run right inside then().
    auto returned = std::make_shared<bool>(false);
    QtConcurrent::run(decodePool(), std::move(work))
        .then(context, [context, returned, deliver = std::move(deliver)](Result result) {
            if (*returned)
                deliver(result);
            else
                QMetaObject::invokeMethod(
                    context, [deliver, result = std::move(result)] { deliver(result); },
                    Qt::QueuedConnection);
        });
    *returned = true;
}
