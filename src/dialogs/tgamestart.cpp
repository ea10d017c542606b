#include "tgamestart.h"
#include "ui_tgamestart.h"

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
    // Enter starts the game: the dialog works from the keyboard too.
    ui->button_start->setDefault(true);
}

Tgamestart::~Tgamestart() = default;

game::GameOptions Tgamestart::options() const
{
    game::GameOptions o;
    o.playto = ui->playtoscore->value();
    o.turntime = ui->timeperturn->value();
    o.team = ui->checkbox_team->isChecked() ? "t" : "f";
    o.shuffles = ui->zephyrshuffle->value();
    return o;
}

void Tgamestart::setStoredValues(std::optional<int> playto, std::optional<int> turntime, std::optional<int> shuffles)
{
    // QSpinBox clamps into its range, as every value placed here must be.
    if (playto)
        ui->playtoscore->setValue(*playto);
    if (turntime)
        ui->timeperturn->setValue(*turntime);
    if (shuffles)
        ui->zephyrshuffle->setValue(*shuffles);
}

void Tgamestart::button_startClick()
{
    const game::GameOptions o = options();
    hide();
    emit startRequested(o);
}
