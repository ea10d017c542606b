#pragma once
// The game options dialog: the hosting player's rules for the next game,
// handed to the main window, which asks the host to start. It is only ever
// hidden, never destroyed, so the values last from game to game.

#include "gameoptions.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class Tgamestart;
}

class Tgamestart : public QDialog {
    Q_OBJECT
public:
    explicit Tgamestart(QWidget *parent = nullptr);
    ~Tgamestart() override;

    Ui::Tgamestart *form() const { return ui.get(); }

    // The four choices as they stand (the starter is left for the window).
    game::GameOptions options() const;
    // The three numbers from the settings, each clamped into its range;
    // nothing leaves a number as it is.
    void setStoredValues(std::optional<int> playto, std::optional<int> turntime, std::optional<int> shuffles);

signals:
    // Start was pressed; the dialog has hidden itself.
    void startRequested(const game::GameOptions &options);

public slots:
    void button_startClick();

private:
    std::unique_ptr<Ui::Tgamestart> ui;
};
