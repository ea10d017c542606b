#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Tabout;
}

// The about box. Its version label is also the version the login compares.
class Tabout : public QDialog {
    Q_OBJECT
public:
    explicit Tabout(QWidget *parent = nullptr);
    ~Tabout() override;

    QString versionText() const;

private:
    std::unique_ptr<Ui::Tabout> ui;
};
