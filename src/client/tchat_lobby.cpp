// Finding other players: the launcher beside a solo game, and hosting or
// joining from inside the game with hosts announced on the local network.

#include "tchat.h"
#include "ui_tchat.h"

#include "messages.h"
#include "settings.h"
#include "tdownload.h"
#include "tlobby.h"

#include <QGuiApplication>
#include <QScreen>

void Tchat::setLauncher(Tdownload *launcher)
{
    m_dialogs.launcher = launcher;
    const settings::Values &p = m_prefs->values();
    if (!p.gatehouseurl.isEmpty())
        launcher->setInstallerUrl(QUrl(QString::fromLatin1(p.gatehouseurl)));
    launcher->setGatehousePath(QString::fromLocal8Bit(p.gatehousepath));
    connect(launcher, &Tdownload::exitRequested, this, &QWidget::close);
    connect(launcher, &Tdownload::playWithOthersRequested, this, &Tchat::showLobby);
}

void Tchat::setLobby(Tlobby *lobby)
{
    m_dialogs.lobby = lobby;
    ui::applyBackground(lobby);
    ui->HostorJoin1->setEnabled(true);
    connect(ui->HostorJoin1, &QAction::triggered, this, &Tchat::showLobby);
    connect(lobby, &Tlobby::hostRequested, this, &Tchat::hostFromLobby);
    connect(lobby, &Tlobby::joinRequested, this, &Tchat::joinFromLobby);
    m_announcer.setSource([this] {
        lobby::Announcement a;
        a.name = m_announcedAs;
        for (int s = 1; s <= ClientModel::Seats; ++s) {
            const QString &n = m_model.seat(s).name;
            a.seatsTaken += n != ClientModel::Waiting && !(s == 2 && n == QLatin1String(rules::KlotName));
        }
        a.running = m_model.gameRunning();
        return a;
    });
}

void Tchat::showLobby()
{
    if (!m_dialogs.lobby)
        return;
    if (m_dialogs.lobby->name().isEmpty()) {
        const settings::Values &p = m_prefs->values();
        m_dialogs.lobby->setName(QString::fromLatin1(p.lobbyname));
        m_dialogs.lobby->setAddress(QString::fromLatin1(p.lobbyaddress));
    }
    m_dialogs.lobby->setHosting(m_announcer.isRunning(), m_announcedAs);
    if (!m_dialogs.lobby->isVisible())
        ui::centreOn(m_dialogs.lobby, this);
    m_dialogs.lobby->show();
    m_dialogs.lobby->raise();
    m_dialogs.lobby->activateWindow();
}

void Tchat::hostFromLobby(const QString &name)
{
    m_prefs->setLobby(name.toLatin1(), std::nullopt);
    if (!m_model.ishost()) {
        // A joined copy cannot host as well: end it and start one that hosts.
        if (!ui::askYesNo(this, QStringLiteral("Leave this game and host your own?")))
            return;
        m_restartArgs = {name, QStringLiteral("127.0.0.1"), QStringLiteral("true")};
        close();
        return;
    }
    m_announcedAs = name;
    if (!m_announcer.isRunning())
        addlinetochat("0+Your game is now announced on your network as " + name.toLatin1() + ".");
    m_announcer.start();
    if (m_dialogs.lobby)
        m_dialogs.lobby->setHosting(true, name);
}

void Tchat::joinFromLobby(const QString &name, const QString &address)
{
    m_prefs->setLobby(name.toLatin1(), address.toLatin1());
    if (m_model.gameRunning() && !ui::askYesNo(this, QStringLiteral("Leave the game that is running and join %1?").arg(address)))
        return;
    m_restartArgs = {name, address, QStringLiteral("false")};
    close();
}
