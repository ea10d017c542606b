#pragma once
// How the game's own panels and labels look (a fill, a rounded border, a
// text colour), drawn without style sheets: a widget under a style sheet
// goes through the slow style path in every repaint, and each sheet is
// parsed when set, which the window pays at start and an animation that
// changes one pays in every frame.

#include <QColor>
#include <QFont>
#include <QMargins>

class QWidget;

namespace ui {

struct Look {
    QColor text; // invalid: the widget's own
    QColor fill; // invalid: none
    QColor border; // invalid: none
    int borderWidth = 0;
    int radius = 0;
    QMargins padding; // between the border and the text
};

// Replaces whatever look the widget was given before; a default Look gives
// it back its own.
void setLook(QWidget *widget, const Look &look);

// The bold Arial of the game's banners and labels, at the given points.
QFont boldArial(int points);

} // namespace ui
