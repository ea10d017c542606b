// Who sits where and who watches, built only from the host's messages; the
// user's own "Just Watch" and the hosting user's seat commands.

#include "tchat.h"
#include "ui_tchat.h"

#include "messages.h"
#include "tspylist.h"

#include <QMenu>

QLabel *Tchat::seatLabel(const char *kind, int seat) const
{
    return findChild<QLabel *>(QString::fromLatin1(kind) + QString::number(seat));
}

void Tchat::setupRoster()
{
    QPixmap eyes(QStringLiteral(":/pictures/eyes.png"));
    for (int seat = 1; seat <= 4; ++seat) {
        QLabel *name = seatLabel("label_playername", seat);
        name->setProperty("Tag", seat);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, name](const QPoint &p) { namePopup(name, p); });
        seatLabel("image_eyes", seat)->setPixmap(eyes);
        seatLabel("image_eyes", seat)->hide();
        seatLabel("label_score", seat)->hide();
    }
    for (QLabel *team : {ui->label_team1, ui->label_team2}) {
        team->setProperty("Tag", 1);
        team->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(team, &QWidget::customContextMenuRequested, this,
                [this, team](const QPoint &p) { namePopup(team, p); });
    }
    Popups &p = m_popups;
    p.popup_kick = new QMenu(this);
    p.RemoveFromGame1 = p.popup_kick->addAction(QStringLiteral("Remove From Game"), this, &Tchat::RemoveFromGame1Click);
    p.SettoJustWatch1 = p.popup_kick->addAction(QStringLiteral("Set to Just Watch"), this, &Tchat::SettoJustWatch1Click);
    p.UnsetJustWatch1 = p.popup_kick->addAction(QStringLiteral("Unset Just Watch"), this, &Tchat::UnsetJustWatch1Click);
    // The check mark follows the host's confirmation, not the click.
    connect(ui->JustWatch1, &QAction::triggered, this, [this](bool checked) {
        ui->JustWatch1->setChecked(!checked);
        JustWatch1Click();
    });
}

void Tchat::setSpylist(Tspylist *dialog)
{
    m_spylist = dialog;
    ui::applyBackground(dialog);
    connect(dialog, &Tspylist::kickRequested, this, &Tchat::kicking);
    connect(ui->SpyList1, &QAction::triggered, dialog, [this, dialog] {
        if (!m_spyShown)
            ui::centreOn(dialog, this);
        m_spyShown = true;
        dialog->show();
        dialog->raise();
    });
}

void Tchat::namePopup(QLabel *label, const QPoint &pos)
{
    preparePopup(label);
    m_popups.popup_kick->popup(label->mapToGlobal(pos));
}

void Tchat::preparePopup(QLabel *label)
{
    const Popups &p = m_popups;
    for (QAction *a : {p.RemoveFromGame1, p.SettoJustWatch1, p.UnsetJustWatch1})
        a->setEnabled(m_model.ishost());
    if (label->text() == ClientModel::Waiting)
        p.RemoveFromGame1->setEnabled(false);
    m_popupTag = label->property("Tag").toInt();
}

void Tchat::drawSeat(int seat)
{
    const ClientModel::Seat &s = m_model.seat(seat);
    seatLabel("label_playername", seat)->setText(s.name);
    seatLabel("image_eyes", seat)->setVisible(s.watching);
    if (seat == m_model.myslot())
        ui->JustWatch1->setChecked(s.watching);
}

void Tchat::playerJoined(int slot, const QByteArray &name)
{
    if (m_model.isSeat(slot)) {
        seatLabel("label_playername", slot)->show();
        seatLabel("label_score", slot)->show();
    } else if (m_spylist) {
        m_spylist->addSpy(QString::number(slot) + QStringLiteral(": ") + QString::fromLatin1(name));
    }
}

void Tchat::playerLeft(int slot, const QByteArray &name)
{
    if (!m_model.isSeat(slot) && m_spylist)
        m_spylist->removeSpy(QString::number(slot) + QStringLiteral(": ") + QString::fromLatin1(name));
}

void Tchat::JustWatch1Click()
{
    m_model.toggleJustWatch();
}

void Tchat::SettoJustWatch1Click()
{
    m_model.setJustWatch(m_popupTag, true);
}

void Tchat::UnsetJustWatch1Click()
{
    m_model.setJustWatch(m_popupTag, false);
}

void Tchat::RemoveFromGame1Click()
{
    kicking(m_popupTag);
}

void Tchat::kicking(int slot)
{
    m_model.kick(slot);
}

