// Who sits where and who watches, built only from the host's messages; the
// user's own "Just Watch" and the hosting user's seat commands.

#include "tchat.h"
#include "ui_tchat.h"

#include "fieldreader.h"
#include "message.h"
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
    popup_kick = new QMenu(this);
    RemoveFromGame1 = popup_kick->addAction(QStringLiteral("Remove From Game"), this, &Tchat::RemoveFromGame1Click);
    SettoJustWatch1 = popup_kick->addAction(QStringLiteral("Set to Just Watch"), this, &Tchat::SettoJustWatch1Click);
    UnsetJustWatch1 = popup_kick->addAction(QStringLiteral("Unset Just Watch"), this, &Tchat::UnsetJustWatch1Click);
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
    popup_kick->popup(label->mapToGlobal(pos));
}

void Tchat::preparePopup(QLabel *label)
{
    for (QAction *a : {RemoveFromGame1, SettoJustWatch1, UnsetJustWatch1})
        a->setEnabled(ishost);
    if (label->text() == QLatin1String("<Waiting>"))
        RemoveFromGame1->setEnabled(false);
    popupTag = label->property("Tag").toInt();
}

void Tchat::newplayerinfo(const QByteArray &data)
{
    wire::FieldReader r(data);
    r.beginGroups();
    while (r.moreGroups()) {
        const int slot = r.number();
        const QByteArray name = r.field();
        const QByteArray watch = r.field();
        if (slot == myslot) {
            addlinetochat("0+You are Connected.");
            loadsettings();
        } else {
            addlinetochat("0+" + name + " is Connected.");
        }
        if (slot >= 1 && slot <= seatcount) {
            seatLabel("label_playername", slot)->setText(QString::fromLatin1(name));
            seatLabel("label_playername", slot)->show();
            seatLabel("label_score", slot)->show();
            if (watch == "1")
                seatLabel("image_eyes", slot)->show();
        } else {
            if (m_spylist)
                m_spylist->addSpy(QString::number(slot) + QStringLiteral(": ") + QString::fromLatin1(name));
            addlinetochat(slot == myslot ? QByteArray("0+You are spying.") : "0+" + name + " is spying.");
        }
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(const QByteArray &data)
{
    wire::FieldReader r(data);
    const QByteArray slotText = r.field();
    const QByteArray name = r.rest();
    const int slot = wire::parseInt(slotText).value_or(-1);
    if (slot >= 1 && slot <= seatcount) {
        QLabel *label = seatLabel("label_playername", slot);
        if (label->text() != QLatin1String("<Waiting>"))
            addlinetochat("0+" + label->text().toLatin1() + " disconnected.");
        label->setText(slotText == "2" ? QStringLiteral("Klot") : QStringLiteral("<Waiting>"));
        seatLabel("image_eyes", slot)->hide();
    } else if (m_spylist) {
        if (m_spylist->removeSpy(QString::fromLatin1(slotText + ": " + name)))
            addlinetochat("0+" + name + " has left.");
    }
}

void Tchat::justwatching(const QByteArray &data)
{
    wire::FieldReader r(data);
    const int seat = r.number();
    const QByteArray mode = r.rest();
    if (seat < 1 || seat > seatcount)
        return;
    const QByteArray caption = seatLabel("label_playername", seat)->text().toLatin1();
    if (mode == "1") {
        if (seat == myslot)
            ui->JustWatch1->setChecked(true);
        addlinetochat("0+" + caption + " is just watching");
        seatLabel("image_eyes", seat)->show();
    } else {
        if (seat == myslot)
            ui->JustWatch1->setChecked(false);
        addlinetochat("0+" + caption + " is now playing again");
        seatLabel("image_eyes", seat)->hide();
    }
}

void Tchat::JustWatch1Click()
{
    if (!loggedin || myslot >= 5)
        return;
    send(wire::Message("CMD_justwatch").field(myslot).field(ui->JustWatch1->isChecked() ? "2" : "1").end());
}

void Tchat::SettoJustWatch1Click()
{
    if (loggedin && popupTag >= 1 && popupTag <= seatcount)
        send(wire::Message("CMD_justwatch").field(popupTag).field("1").end());
}

void Tchat::UnsetJustWatch1Click()
{
    if (loggedin && popupTag >= 1 && popupTag <= seatcount)
        send(wire::Message("CMD_justwatch").field(popupTag).field("2").end());
}

void Tchat::RemoveFromGame1Click()
{
    kicking(popupTag);
}

void Tchat::kicking(int slot)
{
    if (ishost && loggedin)
        send(wire::Message("CMD_kickhim").field(myslot).field(slot).endPlus());
}

void Tchat::playsounds(const QString &name)
{
    emit soundRequested(name);
}

void Tchat::loadsettings()
{
}
