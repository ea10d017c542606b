#include "session.h"
#include "reconnect.h"
#include "internetplay.h"

#include "chatview.h"
#include "clientmodel.h"
#include "messages.h"
#include "preferences.h"
#include "tdownload.h"
#include "tlobby.h"

#include <QApplication>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTimer>

#include <pwd.h>
#include <unistd.h>

#include <utility>

Session::Session(ClientModel &model, Preferences &prefs, ChatView &chat, QWidget *window)
    : QObject(window), m_model(model), m_prefs(prefs), m_chat(chat), m_window(window),
      m_reconnect(new Reconnect(model, window, this)), m_internetPlay(new InternetPlay(prefs, this))
{
    connect(m_internetPlay, &InternetPlay::changed, this, [this] {
        if (Tlobby *lobby = m_lobby.ifMade())
            lobby->setRouterStatus(m_internetPlay->hostingStatus());
    });
    connect(m_internetPlay, &InternetPlay::said, this, [this](const QByteArray &line) { m_chat.addLine(line); });
    connect(m_reconnect, &Reconnect::back, this,
            [this] { m_chat.addLine(tr("You are back in the game.").toLatin1()); });
    connect(m_reconnect, &Reconnect::gaveUp, this, [this] {
        if (m_closing)
            return;
        const QString text = tr("Could not get back into the game at %1.").arg(m_connectAddress);
        m_chat.addLine(text.toLatin1());
        ui::showMessage(m_window, text);
        m_window->close();
    });
}

void Session::processparams()
{
    emit hostingChanged(false);

    const QStringList args = m_argsSet ? m_args : QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        m_chat.addLine(tr("Loading Solo Game..Please wait.").toLatin1());
        m_hostaddress = QStringLiteral("127.0.0.1");
        // The name given at the first start, or since in the Host or Join
        // dialog.
        const QByteArray stored = m_prefs.values().lobbyname.trimmed();
        if (stored.isEmpty() && m_askName)
            askName();
        else
            startSolo(stored.isEmpty() ? tr("You") : QString::fromLatin1(stored));
        return;
    }
    m_chat.addLine(tr("Loading Multi-player Game.. Please Wait.").toLatin1());
    if (args.size() < 3)
        return;
    m_playername = args[0];
    m_hostaddress = args[1];
    // A game off the usual port is joined as "host:port".
    if (args[2] != QLatin1String("true"))
        if (const std::optional<lobby::HostPort> at = lobby::parseHostPort(args[1], m_port, true)) {
            m_hostaddress = at->host;
            m_joinPort = at->port;
        }
    if (args[2] == QLatin1String("true")) {
        hostpress();
        if (m_model.ishost() && m_lobby)
            hostFromLobby(m_playername.left(lobby::MaxNameLength));
    } else
        joinpress();
    m_model.openMatchmakerLink();
}

// The computer's own name for its user, offered as the player's name.
static QString systemUserName()
{
    QString full, login = qEnvironmentVariable("USER");
    if (const passwd *pw = getpwuid(getuid())) {
        full = QString::fromLocal8Bit(pw->pw_gecos).section(QLatin1Char(','), 0, 0);
        if (login.isEmpty())
            login = QString::fromLocal8Bit(pw->pw_name);
    }
    return lobby::suggestedName(full, login);
}

// Asked once, at the first start: others see this name in every game. The
// window waits behind the question; whatever the answer, a name is kept so
// the question never comes again.
void Session::askName()
{
    const QString offered = systemUserName();
    auto *dialog = new QInputDialog(m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Word Mire"));
    dialog->setLabelText(tr("Your name, as the other players will see it:"));
    dialog->setTextValue(offered);
    if (auto *edit = dialog->findChild<QLineEdit *>()) {
        edit->setMaxLength(lobby::MaxNameLength);
        edit->setValidator(new QRegularExpressionValidator(lobby::nameCharacters(), edit));
    }
    connect(dialog, &QInputDialog::finished, this, [this, dialog, offered](int result) {
        if (m_closing)
            return;
        QString name = result == QDialog::Accepted ? dialog->textValue().trimmed() : QString();
        if (!lobby::printableName(name))
            name = offered;
        if (name.isEmpty())
            name = tr("You");
        else
            m_prefs.setLobby(name.toLatin1(), std::nullopt);
        startSolo(name);
    });
    dialog->open();
}

void Session::startSolo(const QString &name)
{
    m_playername = name;
    hostpress();
    // Beside the solo game, the ways to play with others, once the game's
    // window is on the screen.
    m_launcherWaits = !m_windowDrawn;
    if (m_windowDrawn)
        showLauncher();
}

void Session::windowDrawn()
{
    m_windowDrawn = true;
    if (std::exchange(m_launcherWaits, false))
        showLauncher();
}

void Session::showLauncher()
{
    if (!m_launcher || m_closing)
        return;
    // A box the start put up (a damaged tally, say) is answered first: the
    // launcher keeps itself on top and would hide it.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(LauncherRetryMs, this, &Session::showLauncher);
        return;
    }
    if (const QScreen *screen = m_window->screen())
        m_launcher->move(screen->availableGeometry().center() - m_launcher->rect().center());
    m_launcher->show();
    m_launcher->raise();
}

void Session::hostpress()
{
    if (!m_listen)
        return;
    QString error;
    quint16 listening = 0;
    if (!m_listen(m_port, &listening, &error)) {
        if (error == QLatin1String("Listen - Error Binding Socket"))
            error += QStringLiteral("\n\nAnother program, or another copy of the game, is using port %1. Close it, "
                                    "or join that game instead, and start Word Mire again.")
                             .arg(m_port);
        m_chat.addLine(error.section(QLatin1Char('\n'), -1).toLatin1());
        ui::showMessage(m_window, error);
        return;
    }
    m_model.setHosting(true);
    m_connectAddress = QStringLiteral("127.0.0.1");
    m_connectPort = listening;
    m_model.connectTo(m_connectAddress, listening, m_playername.toLatin1());
    emit hostingChanged(true);
}

void Session::joinpress()
{
    m_connectAddress = m_hostaddress;
    m_connectPort = m_joinPort;
    m_model.connectTo(m_hostaddress, m_joinPort, m_playername.toLatin1());
    emit hostingChanged(false);
}

QString Session::unreachable(const QString &reason) const
{
    return tr("Could not reach the host at %1: %2.").arg(m_connectAddress, reason);
}

void Session::connectFailed(const QString &reason)
{
    // While getting back into a game, a failed try is followed by the next.
    if (m_reconnect->running())
        return;
    const QString text = unreachable(reason);
    m_chat.addLine(text.toLatin1());
    if (ui::askYesNo(m_window, text + tr("\n\nTry again?")))
        m_model.connectTo(m_connectAddress, m_connectPort, m_playername.toLatin1());
}

// The host ended the game or removed this user: the window must close, but
// says why first.
void Session::connectionLost()
{
    if (m_closing || m_reconnect->running())
        return;
    // A joined game that ends without the host's word (the network, not the
    // host) can be taken up again: the host keeps the seat for a while.
    if (!m_model.ishost() && m_model.gameRunning() && !m_model.endedByHost()) {
        const QString text = tr("The connection to the host was lost.");
        m_chat.addLine(text.toLatin1());
        if (ui::askChoice(m_window, text + tr(" Reconnect to the game?"), tr("Reconnect"), tr("Close"))) {
            m_reconnect->start(m_connectAddress, m_connectPort, m_playername.toLatin1());
            return;
        }
        m_window->close();
        return;
    }
    const QString text =
            tr("The connection to the host has ended: the host has closed the game, or removed you from it.");
    m_chat.addLine(text.toLatin1());
    ui::showMessage(m_window, text);
    m_window->close();
}

void Session::setLauncher(Tdownload *launcher)
{
    m_launcher = launcher;
    const settings::Values &p = m_prefs.values();
    if (!p.gatehouseurl.isEmpty())
        launcher->setInstallerUrl(QUrl(QString::fromLatin1(p.gatehouseurl)));
    launcher->setGatehousePath(QString::fromLocal8Bit(p.gatehousepath));
    connect(launcher, &Tdownload::exitRequested, m_window, &QWidget::close);
    connect(launcher, &Tdownload::playWithOthersRequested, this, &Session::showLobby);
}

void Session::setLobby(Later<Tlobby> lobby)
{
    m_lobby = std::move(lobby);
    m_lobby.whenMade([this](Tlobby *made) {
        connect(made, &Tlobby::hostRequested, this, &Session::hostFromLobby);
        connect(made, &Tlobby::joinRequested, this, &Session::joinFromLobby);
        connect(made, &Tlobby::joinInternetRequested, this, &Session::joinFromInternet);
        // A name typed and the dialog closed is the name next time.
        connect(made, &QDialog::finished, this, [this, made] {
            const QString name = made->name();
            if (lobby::printableName(name) && name.toLatin1() != m_prefs.values().lobbyname)
                m_prefs.setLobby(name.toLatin1(), std::nullopt);
        });
        made->setInternet(&m_internetPlay->internet());
        made->setLobbyServer(QString::fromLatin1(m_prefs.values().lobbyserver));
        made->setOpenRouterPort(m_prefs.values().openrouterport);
        made->setRouterStatus(m_internetPlay->hostingStatus());
        connect(made, &Tlobby::browsingChanged, m_internetPlay, &InternetPlay::setBrowsing);
        connect(made, &Tlobby::lobbyServerChanged, m_internetPlay, &InternetPlay::setServer);
        connect(made, &Tlobby::openRouterPortChanged, m_internetPlay, &InternetPlay::setOpenRouterPort);
    });
    const auto source = [this] {
        lobby::Announcement a;
        a.name = m_announcedAs;
        for (int s = 1; s <= ClientModel::Seats; ++s) {
            const QString &n = m_model.seat(s).name;
            a.seatsTaken += n != ClientModel::Waiting && !(s == 2 && n == QLatin1String(rules::KlotName));
        }
        a.running = m_model.gameRunning();
        a.port = m_connectPort;
        return a;
    };
    m_announcer.setSource(source);
    m_internetPlay->setSource(source);
}

void Session::showLobby()
{
    Tlobby *lobby = m_lobby.get();
    if (!lobby)
        return;
    if (lobby->name().isEmpty()) {
        const settings::Values &p = m_prefs.values();
        lobby->setName(QString::fromLatin1(p.lobbyname));
        lobby->setAddress(QString::fromLatin1(p.lobbyaddress));
    }
    lobby->setHosting(m_announcer.isRunning(), m_announcedAs);
    // The launcher offers the same choice, and keeps itself on top: left
    // up, it would cover the lobby.
    if (m_launcher)
        m_launcher->hide();
    if (!lobby->isVisible())
        ui::centreOn(lobby, m_window);
    lobby->show();
    lobby->raise();
    lobby->activateWindow();
}

void Session::hostFromLobby(const QString &name)
{
    m_prefs.setLobby(name.toLatin1(), std::nullopt);
    if (!m_model.ishost()) {
        // A joined copy cannot host as well: it leaves that game first.
        if (!ui::askYesNo(m_window, tr("Leave this game and host your own?")))
            return;
        switchGame(name, QString(), true);
        return;
    }
    // The game knows this user by the login name: hosting under another one
    // opens the game again under it, unless that would end a game or drop
    // the others.
    if (name != m_playername.left(lobby::MaxNameLength)) {
        if (!m_model.gameRunning() && m_model.othersPresent() == 0) {
            switchGame(name, QString(), true);
            return;
        }
        m_chat.addLine(tr("You are %1 in this game; the name %2 takes effect when you host again after it.")
                               .arg(m_playername, name)
                               .toLatin1());
    }
    m_announcedAs = name;
    if (!m_announcer.isRunning())
        m_chat.addLine(tr("Your game is now announced on your network as %1.").arg(name).toLatin1());
    m_announcer.start();
    m_internetPlay->startHosting(m_connectPort);
    if (Tlobby *lobby = m_lobby.ifMade())
        lobby->setHosting(true, name);
}

void Session::joinFromLobby(const QString &name, const QString &address)
{
    m_prefs.setLobby(name.toLatin1(), address.toLatin1());
    if (m_model.gameRunning()
            && !ui::askYesNo(m_window, tr("Leave the game that is running and join %1?").arg(address)))
        return;
    switchGame(name, address, false);
}

void Session::joinFromInternet(const QString &name, const lobby::InternetGame &game)
{
    m_prefs.setLobby(name.toLatin1(), std::nullopt);
    if (m_model.gameRunning()
            && !ui::askYesNo(m_window, tr("Leave the game that is running and join %1?").arg(game.name)))
        return;
    switchGame(name, {}, false, &game);
}

void Session::switchGame(const QString &name, const QString &address, bool host, const lobby::InternetGame *internet)
{
    m_reconnect->cancel();
    // The window leaves first, without a word: the host's goodbye to its
    // own user must not read as the game ended under it.
    m_model.closeConnection();
    m_internetPlay->leaveJoined();
    if (m_model.ishost()) {
        m_announcer.stop();
        m_internetPlay->stopHosting();
        m_announcedAs.clear();
        if (Tlobby *lobby = m_lobby.ifMade())
            lobby->setHosting(false, QString());
        if (m_closeHost)
            m_closeHost();
        m_model.setHosting(false);
    }
    m_playername = name;
    if (host) {
        m_chat.addLine(tr("Hosting a game of your own as %1.").arg(name).toLatin1());
        hostpress();
        if (m_model.ishost() && m_lobby)
            hostFromLobby(name.left(lobby::MaxNameLength));
        return;
    }
    QString target = address;
    if (internet) {
        target = m_internetPlay->join(*internet);
        if (target.isEmpty()) {
            m_chat.addLine(tr("This computer gave the game no port to join through; try again.").toLatin1());
            return;
        }
        m_chat.addLine(tr("Joining %1 through the internet lobby.").arg(internet->name).toLatin1());
    } else {
        m_chat.addLine(tr("Joining the game at %1.").arg(address).toLatin1());
    }
    const std::optional<lobby::HostPort> at = lobby::parseHostPort(target, m_port, true);
    m_hostaddress = at ? at->host : target;
    m_joinPort = at ? at->port : m_port;
    // The dialog has done its part; the game is in the window now.
    if (Tlobby *lobby = m_lobby.ifMade())
        lobby->hide();
    joinpress();
}

void Session::closing()
{
    m_closing = true;
    m_announcer.stop();
    m_internetPlay->stopHosting();
    m_internetPlay->leaveJoined();
    m_internetPlay->setBrowsing(false);
    m_reconnect->cancel();
}
