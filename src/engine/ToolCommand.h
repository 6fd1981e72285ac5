#pragma once
#include "Vocabulary.h"

#include <QString>
#include <QStringList>

// What one encode asks of its tool.
struct EncodeChoice {
    int quality = 90;      // per cent
    bool lossless = false; // every pixel kept, hidden colour under transparency included
    // A search encodes several times: cwebp's method 2 takes half the time of its default and
    // its files are about as small.
    bool searching = false;
    bool keepHiddenColour = false; // transparent pixels keep their colour (measured searches)
};

// The program and arguments one tool run gets; no other options are ever passed.
struct ToolCommand {
    QString tool; // "cwebp", "dwebp", "gif2webp"
    QStringList arguments;
};
ToolCommand toolCommand(ConvertMode mode, const EncodeChoice& choice, const QString& input,
                        const QString& output);
// The file name of a tool in the tools folder: the bare name on ARM, "<tool>-x8664" elsewhere.
QString toolExecutableName(const QString& tool);
// A work file's name in the run folder, "<row>.<role>.<ext>": short whatever the source is
// called, so a result name that fits never fails because of its work files. Every role is one
// the cleaner of killed runs knows.
QString workFileName(qsizetype row, const QString& role, const QString& extension);
