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

    const QStringList args = m_start.argsSet ? m_start.args : QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        addlinetochat("0+Loading Solo Game..Please wait.");
        m_start.hostaddress = QStringLiteral("127.0.0.1");
        m_start.playername = QStringLiteral("You");
        hostpress();
        // Beside the solo game, the ways to play with others.
        if (m_dialogs.launcher) {
            if (const QScreen *screen = this->screen())
                m_dialogs.launcher->move(screen->availableGeometry().center() - m_dialogs.launcher->rect().center());
            m_dialogs.launcher->show();
            m_dialogs.launcher->raise();
        }
        return;
    }
    addlinetochat("0+Loading Multi-player Game.. Please Wait.");
    if (args.size() < 3)
        return;
    m_start.playername = args[0];
    m_start.hostaddress = args[1];
    if (args[2] == QLatin1String("true")) {
        hostpress();
        if (m_model.ishost() && m_dialogs.lobby)
            hostFromLobby(m_start.playername.left(lobby::MaxNameLength));
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
    if (!m_listen(m_start.port, &listening, &error)) {
        if (error == QLatin1String("Listen - Error Binding Socket"))
            error += QStringLiteral("\n\nAnother program, or another copy of the game, is using port %1. Close it, "
                                    "or join that game instead, and start Word Mire again.")
                         .arg(m_start.port);
        addlinetochat("0+" + error.section(QLatin1Char('\n'), -1).toLatin1());
        ui::showMessage(this, error);
        return;
    }
    m_model.setHosting(true);
    m_start.connectAddress = QStringLiteral("127.0.0.1");
    m_start.connectPort = listening;
    m_model.connectTo(m_start.connectAddress, listening, m_start.playername.toLatin1());
    ui->button_start->show();
    ui->StartGame1->setEnabled(true);
    if (m_dialogs.spylist)
        m_dialogs.spylist->popup_kickhim->setEnabled(true);
}

void Tchat::joinpress()
{
    m_start.connectAddress = m_start.hostaddress;
    m_start.connectPort = m_start.port;
    m_model.connectTo(m_start.hostaddress, m_start.port, m_start.playername.toLatin1());
    ui->button_start->hide();
    ui->StartGame1->setEnabled(false);
}

QString Tchat::unreachable(const QString &reason) const
{
    return QStringLiteral("Could not reach the host at %1: %2.").arg(m_start.connectAddress, reason);
}

void Tchat::connectFailed(const QString &reason)
{
    const QString text = unreachable(reason);
    addlinetochat("0+" + text.toLatin1());
    if (ui::askYesNo(this, text + QStringLiteral("\n\nTry again?")))
        m_model.connectTo(m_start.connectAddress, m_start.connectPort, m_start.playername.toLatin1());
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
