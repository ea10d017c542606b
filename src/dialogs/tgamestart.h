#pragma once
// The game options dialog: the hosting player's rules for the next game, sent
// to the host as one start request. It is only ever hidden, never destroyed,
// so the values last from game to game.

#include <QDialog>
#include <memory>

namespace Ui {
class Tgamestart;
}

class Tgamestart : public QDialog {
    Q_OBJECT
public:
    explicit Tgamestart(QWidget *parent = nullptr);
    ~Tgamestart() override;

    Ui::Tgamestart *form() const { return ui.get(); }

    // The start request for a player of this name, from the current values.
    QByteArray startMessage(const QByteArray &playerName) const;

    void setPlayerName(const QByteArray &name) { m_name = name; }

signals:
    // A finished message for the host; the dialog has hidden itself.
    void startRequested(const QByteArray &message);

public slots:
    void button_startClick();

private:
    std::unique_ptr<Ui::Tgamestart> ui;
    QByteArray m_name;
};
