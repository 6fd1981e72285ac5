#pragma once
#include "FolderWalk.h"

#include <QSet>
#include <QStringList>

#include <memory>
#include <optional>

// The inputs of the command line one at a time, in the order given, folders walked in place:
// files to take, and what cannot be taken (missing paths, names that are not valid UTF-8,
// unreadable folders) with the reason. Nothing is listed ahead, so memory does not grow
// with the number of files; a file met twice is given once (a hash of each path is kept).
class InputScanner {
public:
    // Arguments that did not survive decoding come marked (RawNames::arguments).
    InputScanner(const QStringList& arguments, const QList<ConvertMode>& modes, bool recursive);
    ~InputScanner();

    std::optional<WalkItem> next();

private:
    QStringList arguments_;
    QList<ConvertMode> modes_;
    bool recursive_;
    qsizetype nextArgument_ = 0;
    std::unique_ptr<FolderWalk> walk_;
    QSet<size_t> seen_;
};
