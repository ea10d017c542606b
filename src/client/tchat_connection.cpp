// Start-up: the command line decides between a solo game, hosting and joining.

#include "tchat.h"
#include "ui_tchat.h"

#include "messages.h"
#include "tdownload.h"
#include "tspylist.h"

#include <QCoreApplication>
#include <QScreen>

void Tchat::processparams()
{
    ui->button_start->hide();
    ui->StartGame1->setEnabled(false);

    const QStringList args = m_argsSet ? m_args : QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        addlinetochat("0+Loading Solo Game..Please wait.");
        hostaddress = QStringLiteral("127.0.0.1");
        playername = QStringLiteral("You");
        hostpress();
        // Beside the solo game, the ways to play with others.
        if (m_launcher) {
            if (const QScreen *screen = this->screen())
                m_launcher->move(screen->availableGeometry().center() - m_launcher->rect().center());
            m_launcher->show();
            m_launcher->raise();
        }
        return;
    }
    addlinetochat("0+Loading Multi-player Game.. Please Wait.");
    if (args.size() < 3)
        return;
    playername = args[0];
    hostaddress = args[1];
    if (args[2] == QLatin1String("true")) {
        hostpress();
        if (m_model.ishost() && m_lobby)
            hostFromLobby(playername.left(lobby::MaxNameLength));
    } else
        joinpress();
    m_model.openMatchmakerLink();
}

void Tchat::hostpress()
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
        addlinetochat("0+" + error.section(QLatin1Char('\n'), -1).toLatin1());
        ui::showMessage(this, error);
        return;
    }
    m_model.setHosting(true);
    m_connectAddress = QStringLiteral("127.0.0.1");
    m_connectPort = listening;
    m_model.connectTo(m_connectAddress, listening, playername.toLatin1());
    ui->button_start->show();
    ui->StartGame1->setEnabled(true);
    if (m_spylist)
        m_spylist->popup_kickhim->setEnabled(true);
}

void Tchat::joinpress()
{
    m_connectAddress = hostaddress;
    m_connectPort = m_port;
    m_model.connectTo(hostaddress, m_port, playername.toLatin1());
    ui->button_start->hide();
    ui->StartGame1->setEnabled(false);
}

QString Tchat::unreachable(const QString &reason) const
{
    return QStringLiteral("Could not reach the host at %1: %2.").arg(m_connectAddress, reason);
}

void Tchat::connectFailed(const QString &reason)
{
    const QString text = unreachable(reason);
    addlinetochat("0+" + text.toLatin1());
    if (ui::askYesNo(this, text + QStringLiteral("\n\nTry again?")))
        m_model.connectTo(m_connectAddress, m_connectPort, playername.toLatin1());
}

// The host ended the game or removed this user: the window must close, but
// says why first.
void Tchat::connectionLost()
{
    if (m_closing)
        return;
    const QString text = QStringLiteral("The connection to the host has ended: the host has closed the game, or "
                                        "removed you from it.");
    addlinetochat("0+" + text.toLatin1());
    ui::showMessage(this, text);
    close();
}
