#include "tgamestart.h"
#include "ui_tgamestart.h"

#include "message.h"

#include <QLineEdit>

Tgamestart::Tgamestart(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Tgamestart>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    // The numbers change only through the arrows.
    for (QSpinBox *box : {ui->playtoscore, ui->timeperturn, ui->zephyrshuffle}) {
        box->findChild<QLineEdit *>()->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
    }
    connect(ui->button_start, &QPushButton::clicked, this, &Tgamestart::button_startClick);
}

Tgamestart::~Tgamestart() = default;

QByteArray Tgamestart::startMessage(const QByteArray &playerName) const
{
    return wire::Message("CMD_startgame")
        .field(playerName)
        .field(ui->playtoscore->text().toLatin1())
        .field(ui->timeperturn->text().toLatin1())
        .field(ui->checkbox_team->isChecked() ? "t" : "f")
        .field(ui->zephyrshuffle->text().toLatin1())
        .endPlus();
}

void Tgamestart::button_startClick()
{
    const QByteArray message = startMessage(m_name);
    hide();
    emit startRequested(message);
}
