#include "tlobby.h"
#include "messages.h"

#include "message.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSet>
#include <QSignalBlocker>
#include <QVBoxLayout>

Tlobby::Tlobby(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Word Mire - Host or Join a Game"));
    auto *layout = new QVBoxLayout(this);

    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("player_name"));
    m_name->setMaxLength(lobby::MaxNameLength);
    m_name->setValidator(new QRegularExpressionValidator(lobby::nameCharacters(), m_name));
    form->addRow(tr("Your name:"), m_name);
    layout->addLayout(form);

    layout->addWidget(new QLabel(tr("<b>Host</b>"), this));
    m_host = new QPushButton(tr("Host a Game Here"), this);
    m_host->setAutoDefault(false);
    layout->addWidget(m_host);
    m_addresses = new QLabel(this);
    m_addresses->setWordWrap(true);
    m_addresses->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_addresses);
    m_openPort = new QCheckBox(tr("Open the game's port on my router (UPnP or NAT-PMP)"), this);
    m_openPort->setObjectName(QStringLiteral("open_router_port"));
    layout->addWidget(m_openPort);
    m_router = new QLabel(this);
    m_router->setObjectName(QStringLiteral("router_status"));
    m_router->setWordWrap(true);
    m_router->setTextFormat(Qt::PlainText);
    m_router->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_router->hide();
    layout->addWidget(m_router);

    layout->addWidget(new QLabel(tr("<b>Join</b> - games on your network and in the internet lobby:"), this));
    // In a busy lobby the player finds a friend's game by its name; those
    // games are kept first when the lobby holds more than it shows.
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("game_search"));
    m_search->setPlaceholderText(tr("find a game by its name"));
    m_search->setMaxLength(lobby::MaxNameLength);
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    m_hosts = new QListView(this);
    m_hosts->setObjectName(QStringLiteral("game_list"));
    m_hosts->setModel(&m_games);
    m_delegate = new GameDelegate(m_hosts);
    m_hosts->setItemDelegate(m_delegate);
    // Every row is alike in height: the view lays out thousands at once.
    m_hosts->setUniformItemSizes(true);
    m_hosts->setMinimumHeight(110);
    // Rows of three lines each: alternate shades tell one game from the next.
    m_hosts->setAlternatingRowColors(true);
    m_hosts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_hosts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_hosts->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // An enlarged dialog gives the games most of its room, the chat the rest.
    layout->addWidget(m_hosts, 3);
    auto *row = new QHBoxLayout;
    m_address = new QLineEdit(this);
    m_address->setPlaceholderText(tr("host's address"));
    m_address->setMaxLength(253);
    m_join = new QPushButton(tr("Join"), this);
    // Return in a field does that field's own thing (the address field
    // joins, the lobby chat field says its line), never a default button's.
    m_join->setAutoDefault(false);
    // Alt+A goes to the address from anywhere in the dialog.
    auto *addressLabel = new QLabel(tr("&Address:"), this);
    addressLabel->setBuddy(m_address);
    row->addWidget(addressLabel);
    row->addWidget(m_address, 1);
    row->addWidget(m_join);
    layout->addLayout(row);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("join_status"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    layout->addWidget(new QLabel(tr("<b>Internet lobby</b>"), this));
    auto *serverRow = new QHBoxLayout;
    m_server = new QLineEdit(this);
    m_server->setObjectName(QStringLiteral("lobby_server"));
    m_server->setPlaceholderText(tr("server or server:port (empty: none)"));
    m_server->setMaxLength(260);
    serverRow->addWidget(new QLabel(tr("Server:"), this));
    serverRow->addWidget(m_server, 1);
    layout->addLayout(serverRow);
    m_lobbyStatus = new QLabel(this);
    m_lobbyStatus->setObjectName(QStringLiteral("lobby_status"));
    m_lobbyStatus->setWordWrap(true);
    m_lobbyStatus->setTextFormat(Qt::PlainText);
    layout->addWidget(m_lobbyStatus);
    m_chat = new QPlainTextEdit(this);
    m_chat->setObjectName(QStringLiteral("lobby_chat"));
    m_chat->setReadOnly(true);
    m_chat->setMaximumBlockCount(200);
    m_chat->setMinimumHeight(70);
    layout->addWidget(m_chat, 1);
    auto *sayRow = new QHBoxLayout;
    m_say = new QLineEdit(this);
    m_say->setObjectName(QStringLiteral("lobby_say"));
    m_say->setMaxLength(lobby::MaxLobbyChat);
    m_say->setPlaceholderText(tr("say something to the lobby"));
    m_sayButton = new QPushButton(tr("Say"), this);
    m_sayButton->setAutoDefault(false);
    sayRow->addWidget(m_say, 1);
    sayRow->addWidget(m_sayButton);
    layout->addLayout(sayRow);
    auto *close = new QPushButton(tr("Close"), this);
    close->setAutoDefault(false);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_host, &QPushButton::clicked, this, [this] {
        if (checkName())
            emit hostRequested(name());
    });
    connect(m_join, &QPushButton::clicked, this, [this] { join(address()); });
    connect(m_address, &QLineEdit::returnPressed, this, [this] { join(address()); });
    // Acting on a hint ends it.
    for (QLineEdit *field : {m_name, m_address})
        connect(field, &QLineEdit::textEdited, this, [this] {
            if (m_status->property("hint").toBool()) {
                m_status->setProperty("hint", false);
                showListState();
            }
        });
    connect(&m_listener, &lobby::Listener::hostsChanged, this, &Tlobby::showLocalHosts);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_internet)
            m_internet->model().setSearch(text);
        m_games.setSearch(text);
        showListState();
    });
    // The Join button of a row, or Return on a chosen row.
    connect(m_delegate, &GameDelegate::joinClicked, this, &Tlobby::joinRow);
    connect(m_hosts, &QListView::activated, this, &Tlobby::joinRow);
    connect(&m_games, &QAbstractItemModel::rowsInserted, this, &Tlobby::showListState);
    connect(&m_games, &QAbstractItemModel::rowsRemoved, this, &Tlobby::showListState);
    connect(&m_games, &QAbstractItemModel::modelReset, this, &Tlobby::showListState);
    connect(m_server, &QLineEdit::editingFinished, this, [this] {
        if (m_server->isModified()) {
            m_server->setModified(false);
            emit lobbyServerChanged(lobbyServer());
        }
    });
    connect(m_openPort, &QCheckBox::toggled, this, &Tlobby::openRouterPortChanged);
    connect(m_say, &QLineEdit::returnPressed, this, &Tlobby::say);
    connect(m_sayButton, &QPushButton::clicked, this, &Tlobby::say);
    // This copy's own game is never listed, nor does it take a place.
    m_listener.setIgnored([this](const QHostAddress &from, const lobby::Announcement &a) {
        return !m_ownGame.isEmpty() && a.name == m_ownGame && lobby::isThisComputer(from);
    });
    setHosting(false);
    showLobbyState();
    resize(460, 640);
}

void Tlobby::setInternet(lobby::InternetLobby *internet)
{
    m_internet = internet;
    const auto show = [this](const lobby::LobbyLine &line) {
        m_chat->appendPlainText(line.name + QStringLiteral(": ") + line.text);
    };
    for (const lobby::LobbyLine &line : internet->model().chat())
        show(line);
    lobby::LobbyModel &model = internet->model();
    m_games.removeAll(true);
    for (const lobby::InternetGame &g : model.games())
        showInternetGame(g);
    connect(&model, &lobby::LobbyModel::gameAdded, this, &Tlobby::showInternetGame);
    connect(&model, &lobby::LobbyModel::gameChanged, this, &Tlobby::showInternetGame);
    connect(&model, &lobby::LobbyModel::gameRemoved, &m_games, &GameList::remove);
    connect(&model, &lobby::LobbyModel::cleared, this, [this] { m_games.removeAll(true); });
    model.setSearch(m_search->text());
    connect(&internet->model(), &lobby::LobbyModel::chatLine, this, show);
    connect(internet, &lobby::InternetLobby::stateChanged, this, &Tlobby::showLobbyState);
    showLobbyState();
}

void Tlobby::setRouterStatus(const QString &text)
{
    m_router->setText(text);
    m_router->setVisible(!text.isEmpty());
}

void Tlobby::setLobbyServer(const QString &server)
{
    m_server->setText(server);
    m_server->setModified(false);
    showLobbyState();
}

QString Tlobby::lobbyServer() const
{
    return m_server->text().trimmed();
}

void Tlobby::setOpenRouterPort(bool on)
{
    const QSignalBlocker quiet(m_openPort);
    m_openPort->setChecked(on);
}

void Tlobby::showLobbyState()
{
    const bool connected = m_internet && m_internet->state() == lobby::InternetLobby::State::Connected;
    if (lobbyServer().isEmpty())
        m_lobbyStatus->setText(
                tr("No internet lobby: type a lobby server's address to list and chat with players on the internet."));
    else if (m_internet && !m_internet->status().isEmpty())
        m_lobbyStatus->setText(m_internet->status());
    m_say->setEnabled(connected);
    m_sayButton->setEnabled(connected);
}

void Tlobby::say()
{
    const QString text = m_say->text().trimmed();
    if (text.isEmpty() || !m_internet)
        return;
    if (!checkName())
        return;
    if (!m_internet->say(name(), text)) {
        m_lobbyStatus->setText(tr("One line a second, please."));
        return;
    }
    m_say->clear();
}

void Tlobby::setName(const QString &name)
{
    m_name->setText(name.left(lobby::MaxNameLength));
}

QString Tlobby::name() const
{
    return m_name->text().trimmed();
}

void Tlobby::setAddress(const QString &address)
{
    m_address->setText(address);
}

QString Tlobby::address() const
{
    return m_address->text().trimmed();
}

void Tlobby::setHosting(bool hosting, const QString &announcedAs)
{
    const QString port = QString::number(wire::GamePort);
    m_ownGame = hosting ? announcedAs : QString();
    showLocalHosts();
    if (!hosting) {
        m_addresses->setText(tr("Your game stays on this computer until you host it."));
        return;
    }
    const QStringList addresses = lobby::localAddresses();
    // A computer without a network has no address anybody else could use.
    if (addresses.isEmpty()) {
        m_addresses->setText(tr("Announced as \"%1\", but this computer is on no network: others can join once it is.")
                                     .arg(announcedAs));
        return;
    }
    m_addresses->setText(tr("Announced on your network as \"%1\". Others join at %2 (TCP port %3; "
                            "open it in your firewall for players outside your network).")
                                 .arg(announcedAs, addresses.join(tr(" or ")), port));
}

bool Tlobby::checkName()
{
    if (!name().isEmpty())
        return true;
    m_status->setText(tr("Type your name first."));
    m_status->setProperty("hint", true);
    m_name->setFocus();
    return false;
}

void Tlobby::join(const QString &address)
{
    if (!checkName())
        return;
    const std::optional<lobby::HostPort> at = lobby::parseHostPort(address, lobby::StandardGamePort, true);
    if (!at || !lobby::gamePort(at->port)) {
        m_status->setText(at ? tr("Games use ports 1024 to 65535.")
                             : tr("Type the host's address (host or host:port), or pick a game from the list."));
        m_status->setProperty("hint", true);
        m_address->setFocus();
        return;
    }
    m_address->setText(address);
    emit joinRequested(name(), address);
}

void Tlobby::showLocalHosts()
{
    QSet<QString> heard;
    for (const lobby::Listener::Host &h : m_listener.hosts()) {
        const auto &a = h.announcement;
        // This copy's own game is left out, and so is one on a port the
        // system keeps for itself: no game's.
        if ((!m_ownGame.isEmpty() && a.name == m_ownGame && lobby::isThisComputer(h.address))
                || !lobby::gamePort(a.port))
            continue;
        GameRow row;
        row.address = lobby::hostPortText(h.address.toString(), a.port, lobby::StandardGamePort);
        row.key = row.address;
        row.name = a.name;
        row.seatsTaken = a.seatsTaken;
        row.running = a.running;
        row.where = h.address.toString();
        if (a.port != lobby::StandardGamePort)
            row.where += tr(" port ") + QString::number(a.port);
        row.reach = tr("your network");
        heard.insert(row.key);
        m_games.set(row);
    }
    for (const QString &key : m_games.localKeys())
        if (!heard.contains(key))
            m_games.remove(key);
}

void Tlobby::showInternetGame(const lobby::InternetGame &game)
{
    if (!lobby::gamePort(game.port))
        return;
    using R = lobby::InternetGame::Reach;
    GameRow row;
    row.key = game.id;
    row.name = game.name;
    row.seatsTaken = game.seatsTaken;
    row.running = game.running;
    row.where = game.reach == R::Lobby ? tr("through the lobby") : game.address;
    if (game.reach != R::Lobby && game.port != lobby::StandardGamePort)
        row.where += tr(" port ") + QString::number(game.port);
    row.reach = game.reach == R::Router ? tr("internet, router")
            : game.reach == R::Own      ? tr("internet, direct")
                                        : tr("internet, relay");
    row.internet = game;
    m_games.set(row);
}

void Tlobby::showListState()
{
    // A hint to the player stays until they act on it; the list's own
    // words change with the list.
    if (m_status->property("hint").toBool() && !m_status->text().isEmpty())
        return;
    if (m_games.rowCount() == 0)
        m_status->setText(tr("Listening for games on your network..."));
    else
        m_status->clear();
}

QRect Tlobby::joinButton(const QString &key) const
{
    const int row = m_games.rowOf(key);
    if (row < 0)
        return {};
    return GameDelegate::buttonRect(m_hosts->visualRect(m_games.index(row)), m_hosts);
}

void Tlobby::joinRow(const QModelIndex &index)
{
    if (!index.isValid() || index.row() >= m_games.rowCount())
        return;
    const GameRow &row = m_games.row(index.row());
    if (!row.internet) {
        join(row.address);
        return;
    }
    if (checkName())
        emit joinInternetRequested(name(), *row.internet);
}

void Tlobby::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    emit browsingChanged(true);
    QString error;
    if (!m_listener.listen(m_listenPort, &error))
        m_status->setText(tr("Games on your network cannot be listed (UDP port %1: %2). You can still join by address.")
                                  .arg(m_listenPort)
                                  .arg(error));
    else
        showListState();
}

void Tlobby::hideEvent(QHideEvent *event)
{
    m_listener.close();
    emit browsingChanged(false);
    QDialog::hideEvent(event);
}
