#pragma once
#include <QByteArray>
#include <QImage>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the real tessaro-convert binary as a child process and makes the input files.
struct CliResult {
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

class CliRunner {
public:
    // dataHome becomes XDG_DATA_HOME, so the run's work files land where a test can look.
    explicit CliRunner(const QString& dataHome);

    QProcessEnvironment& environment() { return environment_; }
    CliResult run(const QStringList& arguments, const QString& workingDirectory = {}) const;

private:
    QProcessEnvironment environment_;
};

namespace TestFiles {
// A smooth, photo-like picture.
QImage photo(int width, int height);
bool write(const QString& path, const QByteArray& bytes);
QByteArray read(const QString& path);
// The picture encoded by Qt ("PNG", "JPEG") under any name.
bool writeImage(const QString& path, const char* format, int width = 64, int height = 48);
// A WebP made by the real cwebp from a PNG.
bool writeWebp(const QString& path, int width = 64, int height = 48);

bool isPng(const QByteArray& bytes);
bool isJpeg(const QByteArray& bytes);
bool isWebp(const QByteArray& bytes);
bool isAnimatedWebp(const QByteArray& bytes);
// Every regular file below folder, recursively.
QStringList filesBelow(const QString& folder);
// A stand-in for a tool that writes a partial output, notes it in <folder>/started and
// sleeps; made under both names a host may look for.
bool writeSlowTool(const QString& folder, const QString& tool);
} // namespace TestFiles
