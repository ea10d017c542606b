#include "strengthmenu.h"

#include "preferences.h"

#include <QAction>
#include <QMenu>

StrengthMenu::StrengthMenu(QMenu *menu, std::array<QAction *, 3> items, Preferences &prefs, QObject *parent)
    : QObject(parent), m_menu(menu), m_items(items), m_prefs(prefs)
{
    for (int strength = 0; strength < 3; ++strength)
        connect(m_items[size_t(strength)], &QAction::triggered, this,
                [this, strength] { m_prefs.setKlotStrength(strength); });
    connect(&m_prefs, &Preferences::klotStrengthChanged, this, &StrengthMenu::show);
    show();
    setHosting(false);
}

void StrengthMenu::setHosting(bool hosting)
{
    m_menu->setEnabled(hosting);
    m_menu->menuAction()->setToolTip(hosting ? QString() : tr("The hosting player chooses"));
}

// The actions tick themselves when clicked; the preferences say which holds.
void StrengthMenu::show()
{
    for (int strength = 0; strength < 3; ++strength)
        m_items[size_t(strength)]->setChecked(strength == m_prefs.klotStrength());
}
