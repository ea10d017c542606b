// The main window: the views composed, the menus and small windows wired,
// and what is bound to the preferences (the text size's check marks, word
// posting, the window's placement).

#include "tchat.h"
#include "reviewdialog.h"
#include "artscale.h"
#include "bestword.h"
#include "strengthmenu.h"
#include "ui_tchat.h"

#include "messages.h"
#include "scaledpanel.h"
#include "tabout.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tlobby.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

Tchat::Tchat(Preferences *preferences, QWidget *parent)
    : QMainWindow(parent), m_ownPrefs(preferences ? nullptr : std::make_unique<Preferences>()),
      m_prefs(preferences ? preferences : m_ownPrefs.get()), ui(std::make_unique<Ui::Tchat>())
{
    ui->setupUi(this);
    // The game panel keeps its designed proportions and grows with the
    // window; the window never gets smaller than the panel.
    QWidget *panel = ui->panel_board;
    panel->setFixedSize(PanelSize);
    m_scaled = new ui::ScaledPanel(panel, ui::backgroundPicture(), this);
    m_scaled->setObjectName(QStringLiteral("panel_holder"));
    m_scaled->setMinimumSize(PanelSize + QSize(15, 12));
    setCentralWidget(m_scaled);
    FormCreate();
    ui::plainTextLabels(this);
}

Tchat::~Tchat()
{
    // The children outlive this object's own members while the window is
    // taken down: they must not call back into it, nor may the model. The
    // views go first, while the widgets they draw are still there.
    disconnect(&m_model, nullptr, this, nullptr);
    ui->memo_words->viewport()->removeEventFilter(this);
    delete m_bestWord;
    delete m_chat;
    delete m_seats;
    delete m_strip;
    delete m_turn;
    delete m_board;
    delete m_phraseBar;
    delete m_sounds;
    delete m_session;
}

void Tchat::FormCreate()
{
    resize(790, 580);
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addPixmap(ui::sharedPicture(QStringLiteral(":/pictures/icon%1.png").arg(size)));
    setWindowIcon(icon);
    m_tiles = new TileMenu(ui->Tiles1, *m_prefs, this);
    ui->paintbox_board->setBoard(&m_model.board(), &m_tiles->images());

    m_chat = new ChatView(
            {ui->mainchat, ui->mychat, ui->button_smilies, ui->ClearMainChat1, ui->ScrollChatOff1, ui->TextColor1},
            m_model, *m_prefs, this);
    // Each view is handed its own widgets; the frames that lie over the
    // board's panel are the window's to make.
    Ui::Tchat &f = *ui;
    m_seats = new SeatsView(
            {{{{f.label_playername1, f.label_score1, f.label_bonus1, f.image_eyes1, f.image_shuffles1},
                     {f.label_playername2, f.label_score2, f.label_bonus2, f.image_eyes2, f.image_shuffles2},
                     {f.label_playername3, f.label_score3, f.label_bonus3, f.image_eyes3, f.image_shuffles3},
                     {f.label_playername4, f.label_score4, f.label_bonus4, f.image_eyes4, f.image_shuffles4}}},
                    f.label_team1, f.label_team2, f.image_Turn, f.JustWatch1, new QFrame(f.panel_board)},
            m_model, this);
    m_strip = new StripView({{f.image_letter1, f.image_letter2, f.image_letter3, f.image_letter4, f.image_letter5,
                                     f.image_letter6, f.image_letter7},
                                    f.button_clear, f.button_done, f.button_shuffle},
            m_model, m_tiles->images(), m_motion, this);
    m_turn = new TurnPanel({f.label_status, f.image_timer, f.label_timer, f.label_playtoscore, f.label_Timeperturn,
                                   f.image_bonus, f.label_winner2, f.label_winner1, f.panel_winner, f.memo_words,
                                   {f.image_direction1, f.image_direction2, f.image_direction3, f.image_direction4},
                                   f.panel_board, new QFrame(f.frame_board), f.frame_board->geometry()},
            m_model, m_motion, this);
    m_board = new BoardPanel({f.frame_board, f.paintbox_board}, m_model, m_motion, this);
    m_phraseBar = new PhraseBar({{f.b_phrase1, f.b_phrase2, f.b_phrase3, f.b_phrase4, f.b_phrase5, f.b_phrase6,
                                         f.b_phrase7, f.b_phrase8, f.b_phrase9, f.b_phrase10},
                                        f.PhraseList1},
            m_model, *m_prefs, this);
    m_sounds = new SoundMenu(
            {f.PlaySounds1, f.PlayChatterSounds1, {f.Classic1, f.New1, f.normal1}}, m_model, *m_prefs, *m_chat, this);
    m_session = new Session(m_model, *m_prefs, *m_chat, this);
    connect(this, &Tchat::drawn, m_session, &Session::windowDrawn);
    m_bestWord = new BestWord(ui->ShowtheBestWord1, m_model, *m_prefs, *m_chat, this);
    connect(m_bestWord, &BestWord::lastBoardBest, m_turn, &TurnPanel::setResultsNote);
    connect(m_bestWord, &BestWord::reviewReady, m_turn, &TurnPanel::setReviewAvailable);
    connect(m_turn, &TurnPanel::reviewRequested, this, [this] {
        if (!m_review)
            m_review = new ReviewDialog(this);
        m_review->setRecord(m_bestWord->record());
        m_review->show();
        m_review->raise();
        m_review->activateWindow();
    });
    auto *strength = new StrengthMenu(ui->KlotsStrength1, {ui->Gentle1, ui->Normal1, ui->Strong1}, *m_prefs, this);
    connect(m_session, &Session::hostingChanged, strength, &StrengthMenu::setHosting);
    connect(m_session, &Session::hostingChanged, this, [this](bool hosting) {
        ui->button_start->setVisible(hosting);
        ui->StartGame1->setEnabled(hosting);
        if (hosting && m_dialogs.spylist)
            m_dialogs.spylist->popup_kickhim->setEnabled(true);
    });
    connect(m_sounds, &SoundMenu::soundRequested, this, &Tchat::soundRequested);
    connect(m_tiles, &TileMenu::imagesChanged, this, [this] {
        ui->paintbox_board->drawAll();
        m_strip->redraw();
    });
    m_popups = {m_seats->kickMenu(), m_seats->removeItem(), m_seats->setWatchItem(), m_seats->unsetWatchItem(),
            m_chat->viewMenu(), m_chat->entryMenu(), m_chat->smileyMenu(), m_chat->scrollOffItem(),
            m_phraseBar->soundsMenu()};

    // A click on the words list sends the typing back to the chat line.
    ui->memo_words->viewport()->installEventFilter(this);
    ui::paintAsPicture(ui->button_start, QStringLiteral("button_start"));
    ui->button_start->setAccessibleName(tr("start"));
    setupSettings();
    applyPreferences();
    connectModel();

    connect(ui->Exit1, &QAction::triggered, this, [this] {
        if (mayEndHosting())
            close();
    });
    connect(ui->button_start, &QPushButton::clicked, this, &Tchat::button_startClick);
    connect(m_turn, &TurnPanel::playAgainRequested, this, &Tchat::button_startClick);
    // After any button of a turn, typing goes on into the board.
    for (QPushButton *b : {ui->button_clear, ui->button_shuffle, ui->button_done})
        connect(b, &QPushButton::clicked, ui->paintbox_board, [this] { ui->paintbox_board->setFocus(); });
    connect(ui->StartGame1, &QAction::triggered, this, &Tchat::button_startClick);
    ui->StartGame1->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    connect(ui->FullScreen1, &QAction::triggered, this, &Tchat::FullScreen1Click);
}

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    // The first exposure paints the window there and then; the pass after
    // it, the window is on the screen.
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QTimer::singleShot(0, this, &Tchat::markDrawn);
    }
    if (watched == ui->memo_words->viewport() && event->type() == QEvent::MouseButtonPress)
        m_chat->focusEntry();
    return QMainWindow::eventFilter(watched, event);
}

void Tchat::connectModel()
{
    ClientModel *m = &m_model;
    connect(m, &ClientModel::systemLine, m_chat, qOverload<const QByteArray &>(&ChatView::addLine));
    connect(m, &ClientModel::chatLine, m_chat, qOverload<int, const QByteArray &, quint32>(&ChatView::addLine));
    connect(m, &ClientModel::tallyGame, this, &Tchat::tallyGame);
    connect(m, &ClientModel::tallyWordMade, this, &Tchat::tallyWordMade);
    connect(m, &ClientModel::gameStarted, ui->button_start, &QWidget::hide);
    connect(m, &ClientModel::playersSeated, this, &Tchat::loadchecklist);
    connect(m, &ClientModel::turnGiven, this, &Tchat::turnGiven);
    connect(m, &ClientModel::winnerDeclared, this, [this] {
        if (m_model.ishost())
            ui->button_start->show();
    });
    connect(m_strip, &StripView::soundRequested, m_sounds, &SoundMenu::playsounds);
    connect(m_board, &BoardPanel::soundRequested, m_sounds, &SoundMenu::playsounds);
    connect(m_board, &BoardPanel::refused, this, [this](const QString &text, bool shake) {
        m_turn->refuse(text);
        if (shake)
            m_strip->shake();
    });
    // Once the picks are put right, the refusal is no longer news.
    connect(m, &ClientModel::stripChanged, m_turn, [this] { m_turn->clearRefusal(tr("Invalid Selection")); });
    connect(m_turn, &TurnPanel::wordAnnounced, this, [this](const QString &line) {
        if (m_prefs->postWords())
            m_chat->addLine(line.toLatin1());
    });
    connect(m, &ClientModel::gameFull, this, [this] {
        // The window closes after this one box; the host's closing the
        // connection while it is up is no news.
        m_session->closing();
        ui::showMessage(this, tr("Game is full"));
        close();
    });
    connect(m, &ClientModel::hostNotFound, this, [this] {
        addlinetochat(m_session->unreachable(tr("the address could not be found")).toLatin1());
        ui::showMessage(this, tr("Host Lookup - Could Not Find Host Entry"));
    });
    connect(m, &ClientModel::connectFailed, m_session, &Session::connectFailed);
    connect(m, &ClientModel::connectionClosed, m_session, &Session::connectionLost);
    connect(m, &ClientModel::playerJoined, this, [this](int slot, const QByteArray &name) {
        if (!m_model.isSeat(slot) && m_dialogs.spylist)
            m_dialogs.spylist->addSpy(QString::number(slot) + QStringLiteral(": ") + QString::fromLatin1(name));
    });
    connect(m, &ClientModel::cleared, this, [this] {
        if (m_dialogs.spylist)
            m_dialogs.spylist->clearSpies();
    });
    connect(m, &ClientModel::playerLeft, this, [this](int slot, const QByteArray &name) {
        if (!m_model.isSeat(slot) && m_dialogs.spylist)
            m_dialogs.spylist->removeSpy(QString::number(slot) + QStringLiteral(": ") + QString::fromLatin1(name));
    });
}

// At the start of the own turn the turn sound plays and the keyboard goes to
// the board, unless the user is in the middle of a chat line.
void Tchat::turnGiven()
{
    if (!m_model.myTurn())
        return;
    if (!m_chat->typing())
        m_board->takeFocus();
    m_sounds->playsounds(m_sounds->turnSound());
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_motion.setSuspended(isMinimized());
    if (!m_shown) {
        m_shown = true;
        if (QWindow *window = windowHandle())
            window->installEventFilter(this);
        // A window never exposed (started minimised, say) counts as drawn soon.
        QTimer::singleShot(DrawnAtLatestMs, this, &Tchat::markDrawn);
        m_session->processparams();
        placeWindow(m_saved);
    }
}

// Closing the hosting copy ends the game for everybody connected to it: the
// user says so first (a close the program asks for itself just closes).
bool Tchat::mayEndHosting()
{
    const int others = m_model.ishost() ? m_model.othersPresent() : 0;
    if (others == 0)
        return true;
    return ui::askYesNo(this,
            others == 1 ? tr("1 other player is connected to your game. Close it anyway?")
                        : QStringLiteral("%1 other players are connected to your game. Close it "
                                         "anyway?")
                                  .arg(others));
}

void Tchat::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous() && !mayEndHosting()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        m_session->closing();
        emit closed();
    }
}

void Tchat::setAbout(Later<Tabout> about)
{
    m_dialogs.about = std::move(about);
    m_dialogs.about.whenMade([](Tabout *made) { ui::applyBackground(made); });
    // The box shows the build's version, so the login needs no box to read it.
    m_model.setVersionSource([] { return Tabout::buildVersion().toLatin1(); });
    connect(ui->About1, &QAction::triggered, this, &Tchat::showAbout);
}

void Tchat::showAbout()
{
    Tabout *about = m_dialogs.about.get();
    if (!about)
        return;
    ui::centreOn(about, this);
    about->show();
    about->raise();
}

void Tchat::setHelp(Later<Thelp> later)
{
    later.whenMade([this](Thelp *help) {
        ui::applyBackground(help);
        connect(help, &Thelp::aboutRequested, this, &Tchat::showAbout);
    });
    ui->Content1->setEnabled(true);
    ui->Content1->setShortcut(QKeySequence(Qt::Key_F1));
    connect(ui->Content1, &QAction::triggered, this, [this, later]() mutable {
        Thelp *help = later.get();
        if (!help)
            return;
        if (!help->isVisible())
            ui::centreOn(help, this);
        help->show();
        help->raise();
    });
}

void Tchat::setGamestart(Later<Tgamestart> dialog)
{
    m_dialogs.gamestart = std::move(dialog);
    m_dialogs.gamestart.whenMade([this](Tgamestart *made) {
        ui::applyBackground(made);
        const settings::Values &p = m_prefs->values();
        made->setStoredValues(p.playto, p.creationtime, p.shuffles);
        connect(made, &Tgamestart::startRequested, this, [this](const game::GameOptions &options) {
            m_model.startGame(options);
            m_prefs->setGameOptions(options.playto, options.turntime, options.shuffles);
        });
    });
}

void Tchat::button_startClick()
{
    if (!m_model.loggedin()) {
        ui::showMessage(this, tr("You are not connected"));
        return;
    }
    // One stray key must not throw a game away.
    if (m_model.gameRunning() && !ui::askYesNo(this, tr("Abandon the game in progress?")))
        return;
    Tgamestart *dialog = m_dialogs.gamestart.get();
    if (!dialog)
        return;
    if (!dialog->isVisible())
        ui::centreOn(dialog, this);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void Tchat::setLobby(Later<Tlobby> lobby)
{
    lobby.whenMade([](Tlobby *made) { ui::applyBackground(made); });
    ui->HostorJoin1->setEnabled(true);
    connect(ui->HostorJoin1, &QAction::triggered, m_session, &Session::showLobby);
    m_session->setLobby(std::move(lobby));
}

void Tchat::setSpylist(Tspylist *dialog)
{
    m_dialogs.spylist = dialog;
    // Hosting may have begun before the list was made.
    dialog->popup_kickhim->setEnabled(m_model.ishost());
    ui::applyBackground(dialog);
    connect(dialog, &Tspylist::kickRequested, &m_model, &ClientModel::kick);
    connect(ui->SpyList1, &QAction::triggered, dialog, [this, dialog, shown = false]() mutable {
        if (!shown)
            ui::centreOn(dialog, this);
        shown = true;
        dialog->show();
        dialog->raise();
    });
}

void Tchat::makeTally()
{
    m_dialogs.tally.get();
}

// The tally is read at its first use: the first word, game or look at it.
void Tchat::setTally(Later<Ttallylist> later)
{
    m_dialogs.tally = std::move(later);
    m_dialogs.tally.whenMade([this](Ttallylist *made) {
        ui::applyBackground(made);
        made->setPlayerSource([this] { return otherSeatedPlayers(); });
    });
    connect(this, &Tchat::tallyWordMade, this, [this](const QByteArray &word, int points) {
        if (Ttallylist *tally = m_dialogs.tally.get()) {
            tally->anotherword();
            tally->addtomineset(points, QString::fromLatin1(word));
        }
    });
    connect(this, &Tchat::tallyGame, this, [this](const QString &winner) {
        if (Ttallylist *tally = m_dialogs.tally.get())
            tally->addgame(winner);
    });
    ui->ViewTally1->setEnabled(true);
    connect(ui->ViewTally1, &QAction::triggered, this, [this] {
        Ttallylist *tally = m_dialogs.tally.get();
        if (!tally)
            return;
        loadchecklist();
        if (!tally->isVisible())
            ui::centreOn(tally, this);
        tally->show();
        tally->raise();
    });
}

QStringList Tchat::otherSeatedPlayers() const
{
    QStringList names;
    for (int seat = 1; seat <= ClientModel::Seats; ++seat) {
        const QString &name = m_model.seat(seat).name;
        if (seat != m_model.myslot() && name != ClientModel::Waiting)
            names << name;
    }
    return names;
}

void Tchat::loadchecklist()
{
    if (Ttallylist *tally = m_dialogs.tally.ifMade())
        tally->loadchecklist();
}

void Tchat::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        m_motion.setSuspended(isMinimized() || !isVisible());
        ui->FullScreen1->setChecked(isFullScreen());
    }
}

void Tchat::FullScreen1Click()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

void Tchat::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    m_motion.setSuspended(true);
}

// ---- Bound to the preferences: the text size's check marks, word posting,
// the window's placement ----------------------------------------------------

void Tchat::setupSettings()
{
    for (QAction *item : {ui->N81, ui->N101, ui->N121, ui->N141}) {
        const int size = item->text().remove(QLatin1Char('&')).toInt();
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, [this, size] { N14Click(size); });
    }
    ui->PostWordsinChatBox1->setEnabled(true);
    connect(ui->PostWordsinChatBox1, &QAction::triggered, this, &Tchat::PostWordsinChatBox1Click);
    ui->ResetScreenLocation1->setEnabled(true);
    connect(ui->ResetScreenLocation1, &QAction::triggered, this, &Tchat::ResetScreenLocation1Click);

    connect(m_prefs, &Preferences::textChanged, this, &Tchat::applyTextSize);
    connect(m_prefs, &Preferences::postWordsChanged, this,
            [this] { ui->PostWordsinChatBox1->setChecked(m_prefs->postWords()); });
}

void Tchat::applyPreferences()
{
    applyTextSize();
    ui->PostWordsinChatBox1->setChecked(m_prefs->postWords());
    // No larger than the largest screen shows: a stored size is never taken
    // as a reason to allocate a giant window.
    m_saved = m_prefs->placement();
    QSize largest;
    for (const QScreen *s : QGuiApplication::screens())
        largest = largest.expandedTo(s->availableGeometry().size());
    if (largest.isValid())
        m_saved.setSize(m_saved.size().boundedTo(largest));
    resize(m_saved.size());
    move(m_saved.topLeft());
}

void Tchat::applyTextSize()
{
    const int size = m_prefs->textSize();
    for (QAction *item : {ui->N81, ui->N101, ui->N121, ui->N141})
        item->setChecked(item->text().remove(QLatin1Char('&')).toInt() == size);
    // The list of the game's words reads at the chat's size too, and the
    // seat lines as far as their boxes have room.
    QFont words = ui->memo_words->font();
    words.setPointSize(size);
    ui->memo_words->setFont(words);
    if (m_seats)
        m_seats->setTextSize(size);
}

// A placement that would leave the window on no screen at all (a screen
// unplugged, a smaller desktop) comes back to the primary screen.
void Tchat::placeWindow(const QRect &wanted)
{
    QRect r = wanted;
    bool visible = false;
    for (const QScreen *s : QGuiApplication::screens()) {
        const QRect seen = s->availableGeometry().intersected(r);
        visible = visible || (seen.width() >= 100 && seen.height() >= 50);
    }
    if (!visible && QGuiApplication::primaryScreen())
        r.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(3, 3));
    resize(r.size());
    // A position is the frame's: on a desktop that decorates windows it
    // means something only once the window manager has framed the window
    // (before, the title bar could land above the screen). Wait for the
    // frame, a second at most.
    const bool decorated = QGuiApplication::platformName() == QLatin1String("xcb");
    if (decorated && isVisible() && frameGeometry() == geometry() && m_frameWaits < 20) {
        ++m_frameWaits;
        QTimer::singleShot(50, this, [this, r] {
            placeWindow(r);
            m_saved = QRect(pos(), size());
        });
        return;
    }
    m_frameWaits = 0;
    move(r.topLeft());
}

// Any later save writes where the window is at that moment.
// (Full screen is not a placement: the window goes back to where it was.)
void Tchat::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    notePlacement();
}

void Tchat::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    notePlacement();
}

void Tchat::notePlacement()
{
    if (!m_shown || isFullScreen())
        return;
    m_normalPlacement = QRect(pos(), size());
    m_prefs->notePlacement(m_normalPlacement);
}

void Tchat::N14Click(int size)
{
    m_prefs->setTextSize(size);
}

void Tchat::PostWordsinChatBox1Click()
{
    m_prefs->setPostWords(ui->PostWordsinChatBox1->isChecked());
}

void Tchat::ResetScreenLocation1Click()
{
    placeWindow(Preferences::DefaultPlacement);
}

void Tchat::FormClose()
{
    QRect now(pos(), size());
    if (isFullScreen() && m_normalPlacement.isValid())
        now = m_normalPlacement;
    if (now == m_saved)
        return;
    // A window larger than the desktop's work area is stored a little smaller,
    // so that it fits next time.
    if (const QScreen *s = screen()) {
        const QRect work = s->availableGeometry();
        if (now.width() > work.width())
            now.setWidth(now.width() - 15);
        if (now.height() > work.height())
            now.setHeight(now.height() - 15);
    }
    m_saved = now;
    m_prefs->setPlacement(now);
}

void Tchat::markDrawn()
{
    if (m_drawn)
        return;
    m_drawn = true;
    emit drawn();
}
