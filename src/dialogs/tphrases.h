#pragma once
// The editor of the nine phrase buttons' phrases. Done hands the texts back
// and closes; closing any other way changes nothing.

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class Tphrases;
}
class QLineEdit;

class Tphrases : public QDialog {
    Q_OBJECT
public:
    static constexpr int Count = 9;

    explicit Tphrases(QWidget *parent = nullptr);
    ~Tphrases() override;

    Ui::Tphrases *form() const { return ui.get(); }
    QLineEdit *field(int k) const; // 1..9

    // Fills the fields with the buttons' phrases (1..9 in order).
    void setPhrases(const QStringList &phrases);

signals:
    // Done: the nine texts, empty ones included.
    void phrasesEdited(const QStringList &phrases);

public slots:
    void SelButton8Click();

private:
    std::unique_ptr<Ui::Tphrases> ui;
};
