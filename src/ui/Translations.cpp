#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace Translations {

QString directory() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/tessaro-pro/translations"));
}

QString install(QCoreApplication& app, const QStringList& uiLanguages) {
    for (const QString& language : uiLanguages) {
        const QLocale locale(language);
        // The texts are written in English: an English preference ahead of others wins.
        if (locale.language() == QLocale::English || locale.language() == QLocale::C)
            return {};
        auto ours = std::make_unique<QTranslator>(&app);
        if (!ours->load(locale, QStringLiteral("tessaro-pro"), QStringLiteral("_"), directory()))
            continue;
        QCoreApplication::installTranslator(ours.release());
        // Qt's own texts (standard buttons, file dialogs); missing ones stay English.
        auto qt = std::make_unique<QTranslator>(&app);
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt.release());
        return QLocale::languageToCode(locale.language());
    }
    return {};
}

} // namespace Translations
