#pragma once
#include <QString>
#include <QStringList>

class QCoreApplication;

// The window's translations: ours from share/tessaro-pro/translations next to the binary
// (installed and build tree alike), Qt's own from Qt's translations folder.
namespace Translations {
QString directory();
// Installs, for the first of the user's interface languages that is not English and has our
// translation, our translator and Qt's. English (the texts' own language) installs nothing.
// Returns the language loaded ("de"), or "" for none. The translators belong to app.
QString install(QCoreApplication& app, const QStringList& uiLanguages);
} // namespace Translations
