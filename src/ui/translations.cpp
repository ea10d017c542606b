#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

QString installTranslations(QCoreApplication *app)
{
    for (const QString &language : QLocale::system().uiLanguages()) {
        const QLocale locale(language);
        if (locale.language() == QLocale::English || locale.language() == QLocale::C)
            return QString();
        auto *game = new QTranslator(app);
        if (!game->load(locale, QStringLiteral("wordmire"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
            delete game;
            continue;
        }
        app->installTranslator(game);
        auto *qt = new QTranslator(app);
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            app->installTranslator(qt);
        else
            delete qt;
        return QLocale::languageToCode(locale.language());
    }
    return QString();
}

} // namespace ui
