#include "tlobby.h"
#include "messages.h"

#include "message.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

Tlobby::Tlobby(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Word Mire - Host or Join a Game"));
    auto *layout = new QVBoxLayout(this);

    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("player_name"));
    m_name->setMaxLength(lobby::MaxNameLength);
    m_name->setValidator(new QRegularExpressionValidator(lobby::nameCharacters(), m_name));
    form->addRow(QStringLiteral("Your name:"), m_name);
    layout->addLayout(form);

    layout->addWidget(new QLabel(QStringLiteral("<b>Host</b>"), this));
    m_host = new QPushButton(QStringLiteral("Host a Game Here"), this);
    m_host->setAutoDefault(false);
    layout->addWidget(m_host);
    m_addresses = new QLabel(this);
    m_addresses->setWordWrap(true);
    m_addresses->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_addresses);
    m_openPort = new QCheckBox(QStringLiteral("Open the game's port on my router (UPnP or NAT-PMP)"), this);
    m_openPort->setObjectName(QStringLiteral("open_router_port"));
    layout->addWidget(m_openPort);
    m_router = new QLabel(this);
    m_router->setObjectName(QStringLiteral("router_status"));
    m_router->setWordWrap(true);
    m_router->setTextFormat(Qt::PlainText);
    m_router->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_router->hide();
    layout->addWidget(m_router);

    layout->addWidget(
            new QLabel(QStringLiteral("<b>Join</b> - games on your network and in the internet lobby:"), this));
    // In a busy lobby the player finds a friend's game by its name; those
    // games are kept first when the lobby holds more than it shows.
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("game_search"));
    m_search->setPlaceholderText(QStringLiteral("find a game by its name"));
    m_search->setMaxLength(lobby::MaxNameLength);
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    m_hosts = new QListWidget(this);
    m_hosts->setMinimumHeight(110);
    // Rows of three lines each: alternate shades tell one game from the next.
    m_hosts->setAlternatingRowColors(true);
    m_hosts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(m_hosts);
    auto *row = new QHBoxLayout;
    m_address = new QLineEdit(this);
    m_address->setPlaceholderText(QStringLiteral("host's address"));
    m_address->setMaxLength(253);
    m_join = new QPushButton(QStringLiteral("Join"), this);
    // Return in a field does that field's own thing (the address field
    // joins, the lobby chat field says its line), never a default button's.
    m_join->setAutoDefault(false);
    // Alt+A goes to the address from anywhere in the dialog.
    auto *addressLabel = new QLabel(QStringLiteral("&Address:"), this);
    addressLabel->setBuddy(m_address);
    row->addWidget(addressLabel);
    row->addWidget(m_address, 1);
    row->addWidget(m_join);
    layout->addLayout(row);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("join_status"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    layout->addWidget(new QLabel(QStringLiteral("<b>Internet lobby</b>"), this));
    auto *serverRow = new QHBoxLayout;
    m_server = new QLineEdit(this);
    m_server->setObjectName(QStringLiteral("lobby_server"));
    m_server->setPlaceholderText(QStringLiteral("server or server:port (empty: none)"));
    m_server->setMaxLength(260);
    serverRow->addWidget(new QLabel(QStringLiteral("Server:"), this));
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
    layout->addWidget(m_chat);
    auto *sayRow = new QHBoxLayout;
    m_say = new QLineEdit(this);
    m_say->setObjectName(QStringLiteral("lobby_say"));
    m_say->setMaxLength(lobby::MaxLobbyChat);
    m_say->setPlaceholderText(QStringLiteral("say something to the lobby"));
    m_sayButton = new QPushButton(QStringLiteral("Say"), this);
    m_sayButton->setAutoDefault(false);
    sayRow->addWidget(m_say, 1);
    sayRow->addWidget(m_sayButton);
    layout->addLayout(sayRow);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
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
                showHosts();
            }
        });
    // However fast games come and go, the list is built a few times a second.
    m_refresh.setSingleShot(true);
    connect(&m_refresh, &QTimer::timeout, this, &Tlobby::showHosts);
    connect(&m_listener, &lobby::Listener::hostsChanged, this, &Tlobby::refreshSoon);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_internet)
            m_internet->model().setSearch(text);
        showHosts();
    });
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
    connect(&internet->model(), &lobby::LobbyModel::gamesChanged, this, &Tlobby::refreshSoon);
    internet->model().setSearch(m_search->text());
    connect(&internet->model(), &lobby::LobbyModel::chatLine, this, show);
    connect(internet, &lobby::InternetLobby::stateChanged, this, &Tlobby::showLobbyState);
    showLobbyState();
    showHosts();
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
        m_lobbyStatus->setText(QStringLiteral("No internet lobby: type a lobby server's address to list and chat "
                                              "with players on the internet."));
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
        m_lobbyStatus->setText(QStringLiteral("One line a second, please."));
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
    showHosts();
    if (!hosting) {
        m_addresses->setText(QStringLiteral("Your game stays on this computer until you host it."));
        return;
    }
    const QStringList addresses = lobby::localAddresses();
    // A computer without a network has no address anybody else could use.
    if (addresses.isEmpty()) {
        m_addresses->setText(QStringLiteral("Announced as \"%1\", but this computer is on no network: others can "
                                            "join once it is.")
                                     .arg(announcedAs));
        return;
    }
    m_addresses->setText(QStringLiteral("Announced on your network as \"%1\". Others join at %2 (TCP port %3; "
                                        "open it in your firewall for players outside your network).")
                                 .arg(announcedAs, addresses.join(QStringLiteral(" or ")), port));
}

bool Tlobby::checkName()
{
    if (!name().isEmpty())
        return true;
    m_status->setText(QStringLiteral("Type your name first."));
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
        m_status->setText(at ? QStringLiteral("Games use ports 1024 to 65535.")
                             : QStringLiteral("Type the host's address (host or host:port), or pick a game from "
                                              "the list."));
        m_status->setProperty("hint", true);
        m_address->setFocus();
        return;
    }
    m_address->setText(address);
    emit joinRequested(name(), address);
}

// A change shows at once, unless the list was built a moment ago: then once
// that moment is over, with whatever else changed meanwhile.
void Tlobby::refreshSoon()
{
    if (m_refresh.isActive())
        return;
    const qint64 since = m_lastRefresh.isValid() ? m_lastRefresh.elapsed() : RefreshMs;
    if (since >= RefreshMs)
        showHosts();
    else
        m_refresh.start(int(RefreshMs - since));
}

bool Tlobby::searched(const QString &name) const
{
    const QString text = m_search->text().trimmed();
    return text.isEmpty() || name.contains(text, Qt::CaseInsensitive);
}

void Tlobby::showHosts()
{
    m_refresh.stop();
    m_lastRefresh.start();
    m_hosts->clear();
    // This copy's own game is left out.
    for (const lobby::Listener::Host &h : m_listener.hosts()) {
        const auto &a = h.announcement;
        if ((!m_ownGame.isEmpty() && a.name == m_ownGame && lobby::isThisComputer(h.address)) || !searched(a.name))
            continue;
        addJoinRow(a.name, a.seatsTaken, a.running, h.address.toString(), a.port);
    }
    if (m_internet) {
        QList<lobby::InternetGame> games = m_internet->model().games();
        std::sort(games.begin(), games.end(), [](const lobby::InternetGame &x, const lobby::InternetGame &y) {
            return x.name.compare(y.name, Qt::CaseInsensitive) < 0;
        });
        for (const lobby::InternetGame &g : games)
            if (searched(g.name))
                addJoinRow(g.name, g.seatsTaken, g.running, g.address, g.port, &g);
    }
    // A hint to the player stays until they act on it; the list's own
    // words change with the list.
    if (m_status->property("hint").toBool() && !m_status->text().isEmpty())
        return;
    if (m_hosts->count() == 0)
        m_status->setText(QStringLiteral("Listening for games on your network..."));
    else
        m_status->clear();
}

void Tlobby::addJoinRow(const QString &name, int seatsTaken, bool running, const QString &host, quint16 port,
        const lobby::InternetGame *internet)
{
    // A game says which port it listens on; one the system keeps for itself
    // is no game's.
    if (!lobby::gamePort(port))
        return;
    const QString address = lobby::hostPortText(host, port, lobby::StandardGamePort);
    // Three lines, so none is cut at the dialog's width: the game's name,
    // its seats, and where it is (a port off the usual one named).
    QString where = host;
    if (port != lobby::StandardGamePort)
        where += QStringLiteral(" port ") + QString::number(port);
    // An internet game says in a word how it is reached.
    QString reach = QStringLiteral("your network");
    if (internet) {
        using R = lobby::InternetGame::Reach;
        reach = internet->reach == R::Router ? QStringLiteral("internet, router")
                : internet->reach == R::Own  ? QStringLiteral("internet, direct")
                                             : QStringLiteral("internet, relay");
        if (internet->reach == R::Lobby)
            where = QStringLiteral("through the lobby");
    }
    const QString text = QStringLiteral("%1\n%2 of 4 seats taken%3\n%4 (%5)")
                                 .arg(name)
                                 .arg(seatsTaken)
                                 .arg(running ? QStringLiteral(", game running") : QString(), where, reach);
    auto *item = new QListWidgetItem(m_hosts);
    item->setData(Qt::UserRole, address);
    item->setData(Qt::UserRole + 1, internet != nullptr);
    auto *cell = new QWidget;
    auto *row = new QHBoxLayout(cell);
    row->setContentsMargins(4, 1, 4, 1);
    auto *label = new QLabel(text, cell);
    label->setTextFormat(Qt::PlainText);
    // However long the line, the Join button stays in view: the text gives
    // way (whole in its tooltip).
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setToolTip(ui::plainToolTip(text));
    auto *button = new QPushButton(QStringLiteral("Join"), cell);
    button->setObjectName(QStringLiteral("join_") + (internet ? internet->id : address));
    button->setAutoDefault(false);
    row->addWidget(label, 1);
    row->addWidget(button);
    item->setSizeHint(QSize(0, cell->sizeHint().height()));
    m_hosts->setItemWidget(item, cell);
    if (internet)
        connect(button, &QPushButton::clicked, this, [this, game = *internet] {
            if (checkName())
                emit joinInternetRequested(this->name(), game);
        });
    else
        connect(button, &QPushButton::clicked, this, [this, address] { join(address); });
}

void Tlobby::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    emit browsingChanged(true);
    QString error;
    if (!m_listener.listen(m_listenPort, &error))
        m_status->setText(QStringLiteral("Games on your network cannot be listed (UDP port %1: %2). You can still "
                                         "join by address.")
                                  .arg(m_listenPort)
                                  .arg(error));
    else
        showHosts();
}

void Tlobby::hideEvent(QHideEvent *event)
{
    m_listener.close();
    emit browsingChanged(false);
    QDialog::hideEvent(event);
}
