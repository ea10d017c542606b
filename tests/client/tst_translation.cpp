// The game in German: every window and dialog the program makes, built once
// in English and once with the translation the desktop's language asks for,
// must differ wherever a person reads a sentence. English, the source
// language, stays byte for byte as written (the other tests read it).

#include "clientfiles.h"
#include "reviewdialog.h"
#include "solver.h"
#include "soundplayer.h"
#include "tabout.h"
#include "tchat.h"
#include "tdownload.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tlobby.h"
#include "tphrases.h"
#include "translations.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>

#include <functional>
#include <memory>

namespace {
using Texts = QMap<QString, QString>; // where it is shown -> what it says

// Every text a widget tree shows, keyed by where it is.
void collect(QWidget *top, const QString &window, Texts &out)
{
    const auto put = [&](const QObject *o, const QString &what, const QString &text) {
        if (!text.trimmed().isEmpty())
            out.insert(QStringLiteral("%1/%2:%3.%4").arg(window, o->objectName(), o->metaObject()->className(), what),
                    text);
    };
    put(top, QStringLiteral("title"), top->windowTitle());
    QList<QWidget *> widgets = top->findChildren<QWidget *>();
    widgets.prepend(top);
    int n = 0;
    for (QWidget *w : widgets) {
        const QString at = QString::number(n++);
        put(w, QStringLiteral("tip") + at, w->toolTip());
        put(w, QStringLiteral("name") + at, w->accessibleName());
        if (auto *l = qobject_cast<QLabel *>(w))
            put(w, QStringLiteral("text") + at, l->text());
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            put(w, QStringLiteral("text") + at, b->text());
        if (auto *e = qobject_cast<QLineEdit *>(w))
            put(w, QStringLiteral("placeholder") + at, e->placeholderText());
        if (auto *g = qobject_cast<QGroupBox *>(w))
            put(w, QStringLiteral("title") + at, g->title());
        if (auto *m = qobject_cast<QMenu *>(w))
            put(w, QStringLiteral("title") + at, m->title());
        if (auto *t = qobject_cast<QTextBrowser *>(w))
            put(w, QStringLiteral("page") + at, t->toPlainText());
        if (auto *t = qobject_cast<QTableWidget *>(w))
            for (int c = 0; c < t->columnCount(); ++c)
                if (const QTableWidgetItem *h = t->horizontalHeaderItem(c))
                    put(w, QStringLiteral("column%1.").arg(c) + at, h->text());
    }
    int a = 0;
    for (const QAction *action : top->findChildren<QAction *>()) {
        const QString at = QString::number(a++);
        put(action, QStringLiteral("action") + at, action->text());
        // A tip of one word is a key (a tile set's file), not a sentence.
        if (action->toolTip().contains(QLatin1Char(' '))
                && action->toolTip() != action->text().remove(QLatin1Char('&')))
            put(action, QStringLiteral("actiontip") + at, action->toolTip());
    }
}

// Every window and dialog, made as the program makes them.
Texts everything()
{
    Texts texts;
    Preferences preferences;
    Tchat chat(&preferences);
    collect(&chat, QStringLiteral("window"), texts);
    const std::function<QWidget *()> dialogs[] = {
            [&] { return new Tabout(&chat); },
            [&] { return new Tdownload(&chat); },
            [&] { return new Tgamestart(&chat); },
            [&] { return new Thelp(&chat); },
            [&] { return new Tphrases(&chat); },
            // These two make their widgets when first asked for them.
            [&] {
                auto *list = new Tspylist(&chat);
                list->form();
                return list;
            },
            [&] {
                auto *tally = new Ttallylist(&chat);
                tally->form();
                return tally;
            },
            [&] { return new Tlobby(&chat); },
            [&] { return new ReviewDialog(&chat); },
    };
    for (const auto &make : dialogs) {
        std::unique_ptr<QWidget> dialog(make());
        collect(dialog.get(), QString::fromLatin1(dialog->metaObject()->className()), texts);
    }
    return texts;
}

// The same in both languages, rightly: names, numbers, keys, words German
// shares.
bool sameInBoth(const QString &shown)
{
    QString text = shown;
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>"))); // markup is not language
    static const QStringList shared{QStringLiteral("Word Mire"), QStringLiteral("Klot"), QStringLiteral("&Normal"),
            QStringLiteral("Normal"), QStringLiteral("Team A"), QStringLiteral("Team B"), QStringLiteral("Server:"),
            QStringLiteral("Version"), QStringLiteral("Team A: 0 "), QStringLiteral("Team B: 0 "),
            QStringLiteral("F11")};
    if (shared.contains(text))
        return true;
    // Only digits, signs and short keys ("&8", ".17"), or a version number.
    return !text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")))
            || text.contains(QRegularExpression(QStringLiteral("^[A-Za-z ]*\\d+\\.\\d+")));
}
} // namespace

class TestTranslation : public QObject {
    Q_OBJECT
private slots:
    void everySentenceIsTranslated();

private:
    ClientFiles files;
};

void TestTranslation::everySentenceIsTranslated()
{
    Texts english = everything();
    QVERIFY(english.size() > 150);
    // Lines the window writes into the chat from code outside any widget.
    const auto chatLines = [](Texts &texts) {
        const game::FoundWord best{QByteArray("STORM"), {}, 60};
        texts.insert(QStringLiteral("chat/best missed"), QString::fromLatin1(game::bestWordLine(best, "CAT", 27)));
        texts.insert(QStringLiteral("chat/best found"), QString::fromLatin1(game::bestWordLine(best, "STORM", 60)));
        texts.insert(QStringLiteral("chat/no word"), QString::fromLatin1(game::bestWordLine(best, {}, 0)));
        texts.insert(QStringLiteral("chat/chatter"), chatter::description(5));
    };
    chatLines(english);
    QCOMPARE(ui::installTranslations(qApp), QStringLiteral("de"));
    Texts german = everything();
    chatLines(german);
    QCOMPARE(german.keys(), english.keys()); // the same windows, the same widgets
    // The phrase buttons' hints are the phrases themselves: the player's own
    // words from the settings, said to the others as written.
    Preferences preferences;
    QStringList phrases;
    for (int k = 1; k <= 9; ++k)
        phrases << preferences.phrase(k);
    QStringList left;
    for (auto it = english.cbegin(); it != english.cend(); ++it)
        if (german.value(it.key()) == it.value() && !sameInBoth(it.value()) && !phrases.contains(it.value()))
            left << QStringLiteral("%1: \"%2\"").arg(it.key(), it.value().left(80));
    for (const QString &line : left)
        qWarning("still English: %s", qPrintable(line));
    QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("%1 texts are still English").arg(left.size())));
}

int main(int argc, char *argv[])
{
    // What a German desktop gives its programs.
    qputenv("LANGUAGE", "de_DE:de");
    qputenv("LANG", "de_DE.UTF-8");
    qputenv("LC_ALL", "de_DE.UTF-8");
    QApplication app(argc, argv);
    TestTranslation test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translation.moc"
