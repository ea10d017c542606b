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
#include "hostthread.h"
#include "lazyicons.h"
#include "prefetch.h"
#include "fontwarmup.h"
#include "translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstring>
#include <optional>

#include <functional>
#include <memory>

namespace {
// How long the prefetched pictures wait for the window's first paint.
constexpr int PrefetchKeepMs = 3000;

// The whole run; gives the arguments of a copy to start in this one's place
// (a join from the lobby), empty for none.
// A dialog of the window's, made at its first use into the holder given.
template <class T> Later<T> makeLater(std::unique_ptr<T> &holder, QWidget *parent)
{
    return Later<T>(std::function<T *()>([&holder, parent] {
        holder = std::make_unique<T>(parent);
        return holder.get();
    }));
}

// The pictures the window shows as it opens, the first needed first.
QStringList firstPictures(const Preferences &preferences)
{
    QStringList names{QStringLiteral("background.jpg"), QStringLiteral("icon48.png"), QStringLiteral("icon128.png"),
            QStringLiteral("icon256.png")};
    const QString tiles = preferences.tiles();
    if (tiles.isEmpty() || tiles.compare(QLatin1String("classic"), Qt::CaseInsensitive) == 0)
        names << QStringLiteral("tiles_classic.bmp");
    names << QStringLiteral("smilies.png") << QStringLiteral("eyes.png") << QStringLiteral("turn.png");
    for (int k = 1; k <= 4; ++k)
        names << QStringLiteral("arrow%1.png").arg(k);
    names << QStringLiteral("button_start.png");
    for (int k = 1; k <= 10; ++k)
        names << QStringLiteral("phrase%1.png").arg(k);
    for (QString &name : names)
        name.prepend(QStringLiteral(":/pictures/"));
    return names;
}

int run(QApplication &app, ui::FontWarmup &fonts)
{
    QApplication::setApplicationName(QStringLiteral("Wordmire"));
    // The menu entry's id: the desktop matches the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(WORDMIRE_APP_ID));
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
        return 0;
    guard.claim();

    // The preferences are read once, before any window shows.
    Preferences preferences;
    // What the first window shows is read on another thread meanwhile.
    auto pictures = std::make_unique<ui::PicturePrefetch>(firstPictures(preferences));
    // The window measures text as it is made.
    fonts.wait();
    // The host runs on a thread of its own, made before the window so that
    // it opens its word list while the window is built (not earlier: while
    // the fonts are read, the processors have enough to do).
    HostThread host;
    // Windows are created once, in this order, and live for the whole run.
    Tchat chat(&preferences);
    // The launcher shows at once, the watchers' list and the tally follow
    // the run from its start; every other dialog (the About box too, whose
    // version is the build's) is made the first time it is wanted, and goes
    // before the window.
    Tdownload download(&chat);
    std::unique_ptr<Tabout> about;
    std::unique_ptr<Tgamestart> gamestart;
    std::unique_ptr<Thelp> help;
    std::unique_ptr<Tphrases> phrases;
    std::unique_ptr<Tlobby> lobby;
    // The host's word list is written out while the window is built; the
    // user hears of it only when none at all can be had, once the window is up.
    host.configure(QStringLiteral("version"), [&chat, version = Tabout::buildVersion().toLatin1()](TServer &server) {
        server.setVersionSource([version] { return version; });
        if (const QString error = server.spell->error(); !error.isEmpty())
            QMetaObject::invokeMethod(
                    &chat, [&chat, error] { ui::showMessage(&chat, error); }, Qt::QueuedConnection);
    });
    // The watchers' list and the tally are made in the event loop's first
    // pass (see below); the tally writes its file when it goes.
    std::unique_ptr<Tspylist> spylist;
    std::unique_ptr<Ttallylist> tally;
    const auto makeTally = [&tally, &chat] {
        if (!tally)
            tally = std::make_unique<Ttallylist>(&chat);
        return tally.get();
    };
    // The computer opponent plays as the hosting player chose.
    const auto klotStrength = [&preferences, &host] {
        host.configure(
                QStringLiteral("klot"), [strength = game::KlotStrength(preferences.klotStrength())](TServer &server) {
                    server.game().setKlotStrength(strength);
                });
    };
    klotStrength();
    QObject::connect(&preferences, &Preferences::klotStrengthChanged, &chat, klotStrength);
    chat.setListener(std::bind_front(&HostThread::listen, &host));
    chat.setHostCloser([&host] { host.renew(); });
    chat.setAbout(makeLater(about, &chat));
    chat.setGamestart(makeLater(gamestart, &chat));
    chat.setPhrasesDialog(makeLater(phrases, &chat));
    chat.setTally(Later<Ttallylist>(std::function<Ttallylist *()>(makeTally)));
    chat.setHelp(makeLater(help, &chat));
    chat.setLauncher(&download);
    chat.setAskName(true);
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
    // As soon as the event loop runs, before anybody can arrive or a word be
    // made: the watchers' list, and the tally, whose file is read (and a
    // fault in it told) at the start, as ever, just not before the window.
    // A signal to end that comes meanwhile is handled in the same pass, so a
    // copy that starts at all reads and keeps its tally.
    QTimer::singleShot(0, &chat, [&] {
        spylist = std::make_unique<Tspylist>(&chat);
        chat.setSpylist(spylist.get());
        // Through the window: made behind its back, the tally was unknown to
        // it until first shown, and the first game's words went uncounted.
        chat.makeTally();
    });
    // The first paint comes after this pass (on a desktop, once the window
    // is mapped) and takes the prefetched pictures; whatever it has not
    // taken a while later is not wanted.
    QTimer::singleShot(PrefetchKeepMs, &chat, [&pictures] { pictures.reset(); });
    return app.exec();
}
} // namespace

namespace {

// "wordmire --help" and "wordmire --version" answer on the terminal and end,
// before anything needs a display. Only as the first argument: the game's
// own three arguments (a name, an address, "true" to host) may be anything.
std::optional<int> answerCommandLine(int argc, char *argv[])
{
    static constexpr const char *Asks[] = {"-h", "--help", "-?", "--help-all", "-v", "--version"};
    if (argc < 2 || std::none_of(std::begin(Asks), std::end(Asks), [&](const char *a) {
            return std::strcmp(argv[1], a) == 0;
        }))
        return std::nullopt;
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wordmire"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WORDMIRE_VERSION));
    ui::installTranslations(&core);
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("main",
            "Word Mire: a word game for one to four players on a 7 x 7 board of letter tiles.\n"
            "Without arguments it starts a solo game against Klot. With three, it hosts or\n"
            "joins a game on the network (the host listens on TCP port 7772)."));
    parser.addHelpOption();
    parser.addVersionOption();
    // The arguments' names stay as typed; only what they mean is translated.
    parser.addPositionalArgument(QStringLiteral("name"), QCoreApplication::translate("main", "Your name in the game."),
            QStringLiteral("[name"));
    parser.addPositionalArgument(QStringLiteral("address"),
            QCoreApplication::translate("main", "The host to join (host or host:port); not used when hosting."),
            QStringLiteral("address"));
    parser.addPositionalArgument(QStringLiteral("host"),
            QCoreApplication::translate(
                    "main", "Exactly \"true\" to host a game here; anything else joins the address."),
            QStringLiteral("host]"));
    parser.process(core); // answers and ends the program
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerCommandLine(argc, argv))
        return *answered;
    // First of all, so that it overlaps everything up to the window.
    ui::FontWarmup fonts;
    QApplication app(argc, argv);
    // Before any window: every text is read through the translation.
    ui::installTranslations(&app);
    return run(app, fonts);
}
