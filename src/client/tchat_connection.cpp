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
        ui::showMessage(this, error);
        return;
    }
    m_model.setHosting(true);
    m_model.connectTo(QStringLiteral("127.0.0.1"), listening, playername.toLatin1());
    ui->button_start->show();
    ui->StartGame1->setEnabled(true);
    if (m_spylist)
        m_spylist->popup_kickhim->setEnabled(true);
}

void Tchat::joinpress()
{
    m_model.connectTo(hostaddress, m_port, playername.toLatin1());
    ui->button_start->hide();
    ui->StartGame1->setEnabled(false);
}
