#include "signalexit.h"
#include "singleinstance.h"
#ifdef STARTUP_PROBE
#include "startupprobe.h"
#endif
#include "tabout.h"
#include "tchat.h"
#include "tdownload.h"
#include "tlobby.h"
#include "tgamestart.h"
#include "thelp.h"
#include "messages.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "tserver.h"
#include "lazyicons.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>

#include <memory>

namespace {
// The whole run; gives the arguments of a copy to start in this one's place
// (a join from the lobby), empty for none.
// A dialog of the window's, made at its first use into the holder given.
template <class T>
Later<T> makeLater(std::unique_ptr<T> &holder, QWidget *parent)
{
    return Later<T>(std::function<T *()>([&holder, parent] {
        holder = std::make_unique<T>(parent);
        return holder.get();
    }));
}

QStringList run(QApplication &app, int *code)
{
    QApplication::setApplicationName(QStringLiteral("Wordmire"));
    // No display name: the desktop would append it to every dialog's own title.
    // Every window is laid out for Arial's metrics (on Linux, the metric-
    // compatible face fontconfig gives for it), whatever the desktop's own font.
    // The style's icons are made when first drawn (see LazyIconStyle).
    QApplication::setStyle(new ui::LazyIconStyle);
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Arial"));
    QApplication::setFont(font);

    // A signal to end is File → Exit: the run's tally and settings are kept.
    // Caught from the start, so one that comes while the window is still
    // being built waits for the event loop instead of killing the program.
    SignalExit ending;
    SingleInstance guard(QStringLiteral("wordmire-levroc"));
    if (guard.anotherIsRunning())
        return {};
    guard.claim();

    // The preferences are read once, before any window shows.
    Preferences preferences;
    // Windows are created once, in this order, and live for the whole run.
    Tchat chat(&preferences);
    // The version comes from the About box, the launcher shows at once, the
    // watchers' list and the tally follow the run from its start; every other
    // dialog is made the first time it is wanted, and goes before the window.
    Tabout about(&chat);
    Tdownload download(&chat);
    std::unique_ptr<Tgamestart> gamestart;
    std::unique_ptr<Thelp> help;
    std::unique_ptr<Tphrases> phrases;
    std::unique_ptr<Tlobby> lobby;
    TServer server;
    // Only when no word list at all can be had; told once the window is up,
    // never before hosting starts.
    if (!server.spell->error().isEmpty())
        QTimer::singleShot(0, &chat, [&chat, &server] { ui::showMessage(&chat, server.spell->error()); });
    // The watchers' list follows every arrival from the start.
    Tspylist spylist(&chat);
    // The tally reads its file now and writes it when it goes, at exit.
    Ttallylist tally(&chat);
    server.setVersionSource([&about] { return about.versionText().toLatin1(); });
    // The computer opponent plays as the hosting player chose.
    const auto klotStrength = [&preferences, &server] {
        server.game().setKlotStrength(game::KlotStrength(preferences.klotStrength()));
    };
    klotStrength();
    QObject::connect(&preferences, &Preferences::klotStrengthChanged, &server, klotStrength);
    chat.setListener([&server](quint16 port, quint16 *listening, QString *error) {
        if (!server.listen(port, error))
            return false;
        *listening = server.listeningPort();
        return true;
    });
    chat.setAbout(&about);
    chat.setGamestart(makeLater(gamestart, &chat));
    chat.setSpylist(&spylist);
    chat.setPhrasesDialog(makeLater(phrases, &chat));
    chat.setTally(&tally);
    chat.setHelp(makeLater(help, &chat));
    chat.setLauncher(&download);
    chat.setLobby(makeLater(lobby, &chat));

    QObject::connect(&guard, &SingleInstance::activationRequested, &chat, [&chat] {
        if (chat.isMinimized())
            chat.showNormal();
        chat.raise();
        chat.activateWindow();
    });
    QObject::connect(&chat, &Tchat::closed, &app, &QApplication::quit);
    QObject::connect(&ending, &SignalExit::exitRequested, &chat, [&chat, &app] {
        if (!chat.close())
            app.quit();
    });
    app.setQuitOnLastWindowClosed(false);

    chat.show();
#ifdef STARTUP_PROBE
    startupProbe();
#endif
    *code = app.exec();
    return chat.restartArguments();
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int code = 0;
    const QStringList restart = run(app, &code);
    // Every window, the host and the single-copy guard are gone by now, so
    // the new copy starts as the only one.
    if (!restart.isEmpty() && !QProcess::startDetached(QCoreApplication::applicationFilePath(), restart))
        return 1;
    return code;
}
