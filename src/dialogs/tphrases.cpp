#include "tphrases.h"
#include "ui_tphrases.h"

#include <QLineEdit>

Tphrases::Tphrases(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Tphrases>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    connect(ui->SelButton8, &QPushButton::clicked, this, &Tphrases::SelButton8Click);
}

Tphrases::~Tphrases() = default;

QLineEdit *Tphrases::field(int k) const
{
    return findChild<QLineEdit *>(QStringLiteral("phrase%1").arg(k));
}

void Tphrases::setPhrases(const QStringList &phrases)
{
    for (int k = 1; k <= Count; ++k)
        field(k)->setText(phrases.value(k - 1));
}

void Tphrases::SelButton8Click()
{
    QStringList texts;
    for (int k = 1; k <= Count; ++k)
        texts << field(k)->text();
    hide();
    emit phrasesEdited(texts);
}
