#include "tchat.h"
#include "ui_tchat.h"

#include "messages.h"
#include "tabout.h"
#include "tgamestart.h"
#include "thelp.h"

#include <QCloseEvent>
#include <QGridLayout>

Tchat::Tchat(Preferences *preferences, QWidget *parent)
    : QMainWindow(parent),
      m_ownPrefs(preferences ? nullptr : std::make_unique<Preferences>()),
      m_prefs(preferences ? preferences : m_ownPrefs.get()),
      ui(std::make_unique<Ui::Tchat>())
{
    ui->setupUi(this);
    // The board panel keeps its size and stays centred however the window
    // is sized; the window never gets smaller than the panel and a margin.
    auto *holder = new QWidget(this);
    holder->setObjectName(QStringLiteral("panel_holder"));
    auto *layout = new QGridLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    ui->panel_board->setFixedSize(PanelSize);
    layout->addWidget(ui->panel_board, 0, 0, Qt::AlignCenter);
    holder->setMinimumSize(PanelSize + QSize(15, 12));
    setCentralWidget(holder);
    FormCreate();
}

Tchat::~Tchat()
{
    // The children outlive this object's own members while the window is
    // taken down: they must not call back into it, nor may the model.
    disconnect(&m_model, nullptr, this, nullptr);
    // The views go first, while the widgets they draw are still there.
    delete m_chat;
    ui->paintbox_board->removeEventFilter(this);
    ui->memo_words->viewport()->removeEventFilter(this);
    for (int k = 1; k <= 7; ++k)
        letterSlot(k)->removeEventFilter(this);
    for (int d = 1; d <= 4; ++d)
        direction(d)->removeEventFilter(this);
}

void Tchat::FormCreate()
{
    resize(790, 580);
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/pictures/icon%1.png").arg(size));
    setWindowIcon(icon);
    m_chat = new ChatView({ui->mainchat, ui->mychat, ui->button_smilies, ui->ClearMainChat1, ui->ScrollChatOff1,
                           ui->TextColor1},
                          m_model, *m_prefs, this);
    m_popups.popup_chat = m_chat->viewMenu();
    m_popups.popup_entry = m_chat->entryMenu();
    m_popups.popup_smilies = m_chat->smileyMenu();
    m_popups.ScrollChatOff2 = m_chat->scrollOffItem();
    setupRoster();
    setupGame();
    setupEffects();
    setupSounds();
    setupPhrases();
    setupSettings();
    grouptilesmenu();
    applyPreferences();
    connectModel();

    connect(ui->Exit1, &QAction::triggered, this, &QWidget::close);
    connect(ui->button_start, &QPushButton::clicked, this, &Tchat::button_startClick);
    connect(ui->StartGame1, &QAction::triggered, this, &Tchat::button_startClick);
    ui->StartGame1->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
}

void Tchat::connectModel()
{
    ClientModel *m = &m_model;
    connect(m, &ClientModel::systemLine, m_chat, qOverload<const QByteArray &>(&ChatView::addLine));
    connect(m, &ClientModel::chatLine, m_chat, qOverload<const QByteArray &, quint32>(&ChatView::addLine));
    connect(m, &ClientModel::soundRequested, this, &Tchat::playsounds);
    connect(m, &ClientModel::tallyGame, this, &Tchat::tallyGame);
    connect(m, &ClientModel::tallyWordMade, this, &Tchat::tallyWordMade);
    connect(m, &ClientModel::playerJoined, this, &Tchat::playerJoined);
    connect(m, &ClientModel::playerLeft, this, &Tchat::playerLeft);
    connect(m, &ClientModel::seatChanged, this, &Tchat::drawSeat);
    connect(m, &ClientModel::gameStarted, this, &Tchat::startthegame);
    connect(m, &ClientModel::boardChanged, ui->paintbox_board, &BoardView::drawAll);
    connect(m, &ClientModel::cellChanged, ui->paintbox_board, &BoardView::drawCell);
    connect(m, &ClientModel::stripChanged, this, [this](int k) { showSlot(k, m_model.stripCode(k)); });
    connect(m, &ClientModel::turnGiven, this, &Tchat::getnextplayer);
    connect(m, &ClientModel::statsReceived, this, &Tchat::gamestats);
    connect(m, &ClientModel::shufflesChanged, this, &Tchat::showShuffles);
    connect(m, &ClientModel::sevenLetterBonus, this, &Tchat::bonus);
    connect(m, &ClientModel::timeIsUp, this, &Tchat::timeup);
    connect(m, &ClientModel::wordRefused, this, &Tchat::notvalid);
    connect(m, &ClientModel::wordMade, this, &Tchat::madeword);
    connect(m, &ClientModel::arrowsChanged, this, &Tchat::drawArrows);
    connect(m, &ClientModel::moved, this, &Tchat::moving);
    connect(m, &ClientModel::winnerDeclared, this, &Tchat::winner);
    connect(m, &ClientModel::countdownTick, this, &Tchat::drawCountdown);
    connect(m, &ClientModel::gameFull, this, [this] {
        ui::showMessage(this, QStringLiteral("Game is full"));
        close();
    });
    connect(m, &ClientModel::hostNotFound, this, [this] {
        addlinetochat("0+" + unreachable(QStringLiteral("the address could not be found")).toLatin1());
        ui::showMessage(this, QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    });
    connect(m, &ClientModel::connectFailed, this, &Tchat::connectFailed);
    connect(m, &ClientModel::connectionClosed, this, &Tchat::connectionLost);
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_motion.setSuspended(isMinimized());
    if (!m_shown) {
        m_shown = true;
        placeWindow(m_saved);
        processparams();
    }
}

void Tchat::closeEvent(QCloseEvent *event)
{
    FormClose();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        m_closing = true;
        m_announcer.stop();
        emit closed();
    }
}

void Tchat::setAbout(Tabout *about)
{
    m_about = about;
    m_model.setVersionSource([about] { return about->versionText().toLatin1(); });
    ui::applyBackground(about);
    connect(ui->About1, &QAction::triggered, this, &Tchat::showAbout);
}

void Tchat::showAbout()
{
    Tabout *about = m_about;
    if (!about)
        return;
    ui::centreOn(about, this);
    about->show();
    about->raise();
}

void Tchat::setHelp(Thelp *help)
{
    ui::applyBackground(help);
    connect(help, &Thelp::aboutRequested, this, &Tchat::showAbout);
    ui->Content1->setEnabled(true);
    ui->Content1->setShortcut(QKeySequence(Qt::Key_F1));
    connect(ui->Content1, &QAction::triggered, help, [this, help] {
        if (!help->isVisible())
            ui::centreOn(help, this);
        help->show();
        help->raise();
    });
}

void Tchat::setGamestart(Tgamestart *dialog)
{
    m_gamestart = dialog;
    ui::applyBackground(dialog);
    const settings::Values &p = m_prefs->values();
    dialog->setStoredValues(p.playto, p.creationtime, p.shuffles);
    connect(dialog, &Tgamestart::startRequested, this, [this](const game::GameOptions &options) {
        m_model.startGame(options);
        m_prefs->setGameOptions(options.playto, options.turntime, options.shuffles);
    });
}

void Tchat::button_startClick()
{
    if (!m_model.loggedin()) {
        ui::showMessage(this, QStringLiteral("You are not connected"));
        return;
    }
    if (!m_gamestart)
        return;
    if (!m_gamestart->isVisible())
        ui::centreOn(m_gamestart, this);
    m_gamestart->show();
    m_gamestart->raise();
    m_gamestart->activateWindow();
}

