#pragma once
#include <QSize>
#include <QString>

// Photo-like test images for the batch benchmark: smooth gradients, soft shapes and
// grain, so encoders work as hard as on real photographs (flat colour is far too cheap).
namespace BatchImages {
// Writes count pairs <dir>/png/photo-NNNN.png and <dir>/jpg/photo-NNNN.jpg. The same
// count and size always give the same pixels. Returns false (after printing the failing
// path on stderr) when a file cannot be written.
bool generate(int count, const QString& dir, QSize size);
} // namespace BatchImages
