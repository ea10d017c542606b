#include "tchat.h"
#include "ui_tchat.h"

#include "colourtext.h"
#include "message.h"
#include "messages.h"
#include "tabout.h"
#include "tgamestart.h"

#include <QCloseEvent>
#include <QRandomGenerator>

Tchat::Tchat(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::Tchat>())
{
    ui->setupUi(this);
    setCentralWidget(ui->panel_board);
    FormCreate();
}

Tchat::~Tchat()
{
    // The children outlive this object's own members while the window is
    // taken down: they must not call back into it.
    ui->mychat->removeEventFilter(this);
    ui->memo_words->viewport()->removeEventFilter(this);
    for (int k = 1; k <= 7; ++k)
        letterSlot(k)->removeEventFilter(this);
    for (int d = 1; d <= 4; ++d)
        direction(d)->removeEventFilter(this);
}

void Tchat::FormCreate()
{
    resize(790, 580);
    phraseready = true;
    systemcolor = 0xFF0000;
    seatcount = 4;
    ishost = false;
    currentplayer = 0;
    board.reset();
    setupChat();
    setupRoster();
    setupGame();

    // The dispatch timer runs only while there is something to do, so an idle
    // window costs nothing; each tick handles exactly one message.
    Timer1.setInterval(1);
    connect(&Timer1, &QTimer::timeout, this, &Tchat::Timer1Timer);

    connect(&sock, &QTcpSocket::readyRead, this, &Tchat::sockRead);
    connect(&sock, &QTcpSocket::connected, this,
            [this] { sock.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    connect(&sock, &QTcpSocket::disconnected, this, [this] { sockInfo(QStringLiteral("Socket Closed")); });
    connect(&sock, &QTcpSocket::errorOccurred, this, &Tchat::sockError);
    connect(ui->Exit1, &QAction::triggered, this, &QWidget::close);
    connect(ui->button_start, &QPushButton::clicked, this, &Tchat::button_startClick);
    connect(ui->StartGame1, &QAction::triggered, this, &Tchat::button_startClick);
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        processparams();
    }
}

void Tchat::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void Tchat::setAbout(Tabout *about)
{
    m_about = about;
    ui::applyBackground(about);
    connect(ui->About1, &QAction::triggered, about, [this, about] {
        ui::centreOn(about, this);
        about->show();
        about->raise();
    });
}

void Tchat::setGamestart(Tgamestart *dialog)
{
    m_gamestart = dialog;
    ui::applyBackground(dialog);
    connect(dialog, &Tgamestart::startRequested, this, [this](const QByteArray &message) {
        send(message);
        savesettings();
    });
}

void Tchat::button_startClick()
{
    if (!loggedin) {
        ui::showMessage(this, QStringLiteral("You are not connected"));
        return;
    }
    if (!m_gamestart)
        return;
    m_gamestart->setPlayerName(wire::safeName(playername.toLatin1()));
    if (!m_gamestart->isVisible())
        ui::centreOn(m_gamestart, this);
    m_gamestart->show();
    m_gamestart->raise();
}

void Tchat::savesettings()
{
}
