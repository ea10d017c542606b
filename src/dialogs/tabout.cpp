#include "tabout.h"
#include "ui_tabout.h"

Tabout::Tabout(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Tabout>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    connect(ui->button_done, &QPushButton::clicked, this, &QDialog::hide);
}

Tabout::~Tabout() = default;

QString Tabout::versionText() const
{
    return ui->version->text();
}
