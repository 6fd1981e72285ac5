#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

// Real inputs for engine tests, written into a test's temporary folder.
namespace TestFiles {
// A small image with some detail, written by Qt in the given format ("png", "jpeg").
QString writeImage(const QString& path, const char* format, QSize size = {48, 32},
                   bool withAlpha = false);
// A photo-like PNG: smooth waves with fixed grain, so lossy results shrink with the quality
// (640 x 480: about 100 kB as WebP at quality 90, 17 kB at 50).
QString writePhoto(const QString& path, QSize size = {640, 480});
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

// Everything in a folder, hidden entries included, by name.
QStringList entries(const QString& folder);
// A file name stem of exactly `bytes` bytes: two-byte characters, so bytes and characters differ.
QString stemOfBytes(int bytes);
// The permission bits of a file, -1 when it cannot be read.
int permissionBits(const QString& path);
// Alive and not a zombie waiting for a parent that never reaps it.
bool processAlive(qint64 pid);

// This process's memory in bytes: startPeakMemory() restarts the peak count and returns the
// memory in use; peakMemory() is the most in use since.
qint64 startPeakMemory();
qint64 peakMemory();

// Sets the umask for one scope, as a user's session would.
struct UmaskScope {
    mode_t previous;
    explicit UmaskScope(mode_t mask) : previous(::umask(mask)) {}
    ~UmaskScope() { ::umask(previous); }
};
} // namespace TestFiles
