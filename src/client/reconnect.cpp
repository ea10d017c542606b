#include "reconnect.h"

#include "clientmodel.h"

#include <QProgressDialog>
#include <QTcpSocket>

Reconnect::Reconnect(ClientModel &model, QWidget *window, QObject *parent)
    : QObject(parent), m_model(model), m_window(window)
{
    m_every.setInterval(EveryMs);
    connect(&m_every, &QTimer::timeout, this, &Reconnect::tryNow);
    connect(&m_model, &ClientModel::loginConfirmed, this, [this] {
        if (m_running)
            finish(true);
    });
}

Reconnect::~Reconnect() = default;

void Reconnect::start(const QString &address, quint16 port, const QByteArray &name)
{
    m_address = address;
    m_port = port;
    m_name = name;
    m_running = true;
    m_since.start();
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_window);
        m_dialog->setWindowTitle(QStringLiteral("Word Mire"));
        m_dialog->setCancelButtonText(tr("Close"));
        m_dialog->setRange(0, ForMs / 1000);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        connect(m_dialog, &QProgressDialog::canceled, this, [this] {
            if (m_running)
                finish(false);
        });
    }
    m_dialog->setValue(0);
    m_dialog->setLabelText(text());
    m_dialog->show();
    m_every.start();
    tryNow();
}

int Reconnect::secondsLeft() const
{
    return qMax(0, int((ForMs - m_since.elapsed() + 999) / 1000));
}

QString Reconnect::text() const
{
    return tr("The connection to the host was lost.\nReconnecting to %1 - %2 s left.")
            .arg(m_address)
            .arg(secondsLeft());
}

void Reconnect::tryNow()
{
    if (!m_running)
        return;
    if (m_since.elapsed() >= ForMs) {
        finish(false);
        return;
    }
    if (m_dialog) {
        m_dialog->setValue(ForMs / 1000 - secondsLeft());
        m_dialog->setLabelText(text());
    }
    // A try still under way is left to finish (or to time out by itself).
    if (m_model.socket().state() == QAbstractSocket::UnconnectedState)
        m_model.connectTo(m_address, m_port, m_name, ClientModel::Keep::Game);
}

void Reconnect::finish(bool success)
{
    m_running = false;
    m_every.stop();
    if (m_dialog)
        m_dialog->hide();
    if (success) {
        emit back();
    } else {
        m_model.socket().abort();
        emit gaveUp();
    }
}
