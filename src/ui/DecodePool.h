#pragma once
class QThreadPool;

// The threads images are decoded on, apart from the global pool so a long decode never waits
// behind other work, and other work never waits behind decodes.
QThreadPool* decodePool();
