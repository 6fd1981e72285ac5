#pragma once
#include "Vocabulary.h"

#include <QString>

// A reason in words for people: the detail when there is one (it names the file and carries
// the tool's or the system's own words), otherwise the reason's own words. In the user's
// language where a translation is installed (the window); in English otherwise (the command
// line, whose reports scripts read).
QString reasonText(Reason reason, const QString& detail = {});
