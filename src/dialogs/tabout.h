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
    // Where the picture and the link line lead.
    static constexpr const char *WebPage = "https://wordmire.net/";

    explicit Tabout(QWidget *parent = nullptr);
    ~Tabout() override;

    QString versionText() const;
    // The version the box shows, known without making it: the build's.
    static QString buildVersion() { return QStringLiteral(WORDMIRE_VERSION); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openWebPage();

    std::unique_ptr<Ui::Tabout> ui;
};
