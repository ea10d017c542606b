#include "tabout.h"
#include "ui_tabout.h"
#include "artscale.h"

#include "messages.h"

#include <QMouseEvent>

Tabout::Tabout(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Tabout>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    ui->label_picture->setPixmap(ui::sharedPicture(QStringLiteral(":/pictures/icon128.png")));
    ui->label_picture->installEventFilter(this);
    connect(ui->label_link, &QLabel::linkActivated, this, &Tabout::openWebPage);
    connect(ui->button_done, &QPushButton::clicked, this, &QDialog::hide);

    // The version is the build's; the build number reads as part of it:
    // right against it, whatever the font makes of the version's width.
    ui->version->setText(buildVersion());
    ui->version->adjustSize();
    ui->label_build->adjustSize();
    ui->label_build->move(ui->version->x() + ui->version->width(), ui->version->y());
}

Tabout::~Tabout() = default;

QString Tabout::versionText() const
{
    return ui->version->text();
}

bool Tabout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->label_picture && event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        openWebPage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tabout::openWebPage()
{
    if (!ui::openUrl(QString::fromLatin1(WebPage)))
        ui::showMessage(this, tr("The web page could not be opened: ") + QString::fromLatin1(WebPage));
}
