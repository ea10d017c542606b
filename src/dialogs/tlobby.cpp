#include "tlobby.h"

#include "message.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

Tlobby::Tlobby(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Word Mire - Host or Join a Game"));
    auto *layout = new QVBoxLayout(this);

    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setMaxLength(lobby::MaxNameLength);
    // Names travel in the game's messages, where "+" separates fields.
    m_name->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^+\\x00-\\x1f]*")), m_name));
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

    layout->addWidget(new QLabel(QStringLiteral("<b>Join</b> - games on your network:"), this));
    m_hosts = new QListWidget(this);
    m_hosts->setMinimumHeight(110);
    m_hosts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(m_hosts);
    auto *row = new QHBoxLayout;
    m_address = new QLineEdit(this);
    m_address->setPlaceholderText(QStringLiteral("host's address"));
    m_address->setMaxLength(253);
    m_join = new QPushButton(QStringLiteral("Join"), this);
    row->addWidget(new QLabel(QStringLiteral("Address:"), this));
    row->addWidget(m_address, 1);
    row->addWidget(m_join);
    layout->addLayout(row);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
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
    connect(&m_listener, &lobby::Listener::hostsChanged, this, &Tlobby::showHosts);
    // This copy's own game is never listed, nor does it take a place.
    m_listener.setIgnored([this](const QHostAddress &from, const lobby::Announcement &a) {
        return !m_ownGame.isEmpty() && a.name == m_ownGame
               && (from.isLoopback() || lobby::localAddresses().contains(from.toString()));
    });
    setHosting(false);
    resize(380, 420);
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
    m_addresses->setText(QStringLiteral("Announced on your network as \"%1\". Others join at %2 (TCP port %3; "
                                        "open it in your firewall for players outside your network).")
                             .arg(announcedAs, lobby::localAddresses().join(QStringLiteral(" or ")), port));
}

bool Tlobby::checkName()
{
    if (!name().isEmpty())
        return true;
    m_status->setText(QStringLiteral("Type your name first."));
    m_name->setFocus();
    return false;
}

void Tlobby::join(const QString &address)
{
    if (!checkName())
        return;
    if (address.isEmpty() || address.contains(QLatin1Char(' '))) {
        m_status->setText(QStringLiteral("Type the host's address, or pick a game from the list."));
        m_address->setFocus();
        return;
    }
    m_address->setText(address);
    emit joinRequested(name(), address);
}

void Tlobby::showHosts()
{
    m_hosts->clear();
    // This copy's own game is left out (its addresses asked only when hosting).
    const QStringList ours = m_ownGame.isEmpty() ? QStringList() : lobby::localAddresses();
    for (const lobby::Listener::Host &h : m_listener.hosts()) {
        const QString address = h.address.toString();
        // A game off the standard port says where it is.
        QString where = address;
        if (h.announcement.port != lobby::StandardGamePort)
            where += QStringLiteral(" port ") + QString::number(h.announcement.port);
        const auto &a = h.announcement;
        if (!m_ownGame.isEmpty() && a.name == m_ownGame && (h.address.isLoopback() || ours.contains(address)))
            continue;
        auto *item = new QListWidgetItem(m_hosts);
        item->setData(Qt::UserRole, address);
        auto *cell = new QWidget;
        auto *row = new QHBoxLayout(cell);
        row->setContentsMargins(4, 1, 4, 1);
        auto *text = new QLabel(QStringLiteral("%1 at %2 - %3 of 4 seats taken%4")
                                    .arg(a.name, where)
                                    .arg(a.seatsTaken)
                                    .arg(a.running ? QStringLiteral(", game running") : QString()),
                                cell);
        text->setTextFormat(Qt::PlainText);
        // However long the line, the Join button stays in view: the text
        // gives way (whole in its tooltip).
        text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        text->setToolTip(text->text());
        auto *button = new QPushButton(QStringLiteral("Join"), cell);
        button->setObjectName(QStringLiteral("join_") + address);
        button->setAutoDefault(false);
        row->addWidget(text, 1);
        row->addWidget(button);
        item->setSizeHint(QSize(0, cell->sizeHint().height()));
        m_hosts->setItemWidget(item, cell);
        connect(button, &QPushButton::clicked, this, [this, address] { join(address); });
    }
    if (m_hosts->count() == 0)
        m_status->setText(QStringLiteral("Listening for games on your network..."));
    else
        m_status->clear();
}

void Tlobby::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
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
    QDialog::hideEvent(event);
}
