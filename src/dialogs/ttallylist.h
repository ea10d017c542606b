#pragma once
// The tally window: the own record, the selected opponent's counters, the
// players of the current game and the followed opponents. It draws a
// TallyModel; the file is read when the window is made and written when it
// goes, at program exit. Its widgets are made when it is first shown (or its
// form asked for): the program's start reads the tally but need not pay for a
// window most runs never open.

#include "tallymodel.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class Ttallylist;
}
class QListWidgetItem;

class Ttallylist : public QDialog {
    Q_OBJECT
public:
    // Reads the tally file at path (empty: beside the program).
    explicit Ttallylist(QWidget *parent = nullptr, const QString &path = QString());
    ~Ttallylist() override;

    Ui::Ttallylist *form();
    void setVisible(bool visible) override;
    const TallyModel &model() const { return m_model; }
    const QString &path() const { return m_path; }

    // The other seated players of the current game, from the main window.
    void setPlayerSource(std::function<QStringList()> source) { m_players = std::move(source); }

    // Called by the main window.
    void loadchecklist();
    void anotherword();
    void addtomineset(int points, const QString &word);
    void addgame(const QString &winner);

    // Writes the tally now (also done when the window goes).
    bool savetally();

public slots:
    void checklistClickCheck(QListWidgetItem *item);
    void listbox_tallyClickCheck(QListWidgetItem *item);
    void listbox_tallyClick(int index);
    void button_resetClick();

private:
    void ensureForm();
    void loadtally();
    void showOwn();
    void showOpponent(int index);
    void fillLists();

    std::unique_ptr<Ui::Ttallylist> ui;
    TallyModel m_model;
    QString m_path;
    std::function<QStringList()> m_players;
    bool m_filling = false;
    // The best word reads "0" for a tally that started empty or unreadable,
    // until a word is made.
    bool m_bestIsZero = false;
};
