#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

// Real inputs for engine tests, written into a test's temporary folder.
namespace TestFiles {
// A small image with some detail, written by Qt in the given format ("png", "jpeg").
QString writeImage(const QString& path, const char* format, QSize size = {48, 32},
                   bool withAlpha = false);
// A two-frame animated GIF (hand-assembled, Qt cannot write GIF).
QString writeAnimatedGif(const QString& path);
// A still WebP made by the real cwebp from a PNG.
QString writeWebp(const QString& path);
QString writeBytes(const QString& path, const QByteArray& bytes);
QByteArray head(const QString& path, int count = 16);
bool isPng(const QString& path);
bool isJpeg(const QString& path);
bool isWebp(const QString& path);
bool isAnimatedWebp(const QString& path);
// An executable shell script standing in for every tool, under every name the runner may
// pick, in folder. The script body gets the arguments as "$@".
void writeFakeTools(const QString& folder, const QString& scriptBody);
// The folder of the real tools bundled by the build.
QString realToolsDirectory();
} // namespace TestFiles
