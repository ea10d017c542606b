#include "tspylist.h"
#include "messages.h"
#include "ui_tspylist.h"

#include "fieldreader.h"

#include <QMenu>
#include <QMouseEvent>

Tspylist::Tspylist(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Tspylist>())
{
    ui->setupUi(this);
    ui::plainTextLabels(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_popup = new QMenu(this);
    popup_kickhim = m_popup->addAction(tr("Remove From Game"), this, &Tspylist::RemoveFromGameClick);
    popup_kickhim->setEnabled(false); // only the hosting copy enables it
    ui->listbox_spys->viewport()->setMouseTracking(true);
    ui->listbox_spys->viewport()->installEventFilter(this);
    connect(ui->listbox_spys, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        pointerMovedTo(p);
        m_popup->popup(ui->listbox_spys->viewport()->mapToGlobal(p));
    });
    connect(ui->button_ok, &QPushButton::clicked, this, &QDialog::hide);
}

Tspylist::~Tspylist() = default;

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->listbox_spys->viewport() && event->type() == QEvent::MouseMove)
        pointerMovedTo(static_cast<QMouseEvent *>(event)->position().toPoint());
    return QDialog::eventFilter(watched, event);
}

void Tspylist::pointerMovedTo(const QPoint &viewportPos)
{
    QListWidgetItem *item = ui->listbox_spys->itemAt(viewportPos);
    m_hover = item ? ui->listbox_spys->row(item) : -1;
}

void Tspylist::addSpy(const QString &line)
{
    ui->listbox_spys->addItem(line);
}

void Tspylist::clearSpies()
{
    ui->listbox_spys->clear();
    m_hover = -1;
}

bool Tspylist::removeSpy(const QString &line)
{
    for (int i = 0; i < ui->listbox_spys->count(); ++i) {
        if (ui->listbox_spys->item(i)->text().compare(line, Qt::CaseInsensitive) == 0) {
            delete ui->listbox_spys->takeItem(i);
            if (m_hover >= ui->listbox_spys->count())
                m_hover = -1;
            return true;
        }
    }
    return false;
}

QStringList Tspylist::spies() const
{
    QStringList out;
    for (int i = 0; i < ui->listbox_spys->count(); ++i)
        out << ui->listbox_spys->item(i)->text();
    return out;
}

void Tspylist::RemoveFromGameClick()
{
    if (!popup_kickhim->isEnabled() || m_hover < 0 || m_hover >= ui->listbox_spys->count())
        return;
    const QString text = ui->listbox_spys->item(m_hover)->text();
    const auto slot = wire::parseInt(text.section(QLatin1Char(':'), 0, 0).toLatin1());
    if (slot)
        emit kickRequested(*slot);
}
