#pragma once
#include <QString>
#include <QtGlobal>

// The one self-rewriting progress line on a terminal ("[12/40] 30% photo.png"). Disabled,
// it writes nothing at all, so piped output never holds control characters.
class ProgressLine {
public:
    explicit ProgressLine(bool enabled) : enabled_(enabled) {}

    bool isEnabled() const { return enabled_; }
    void show(qsizetype done, qsizetype total, const QString& name);
    // Blanks the line so the next output starts at column 0.
    void clear();

private:
    bool enabled_;
    bool shown_ = false;
};

// The text of a progress line, cut to width columns.
QString progressText(qsizetype done, qsizetype total, const QString& name, int width);
