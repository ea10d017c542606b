#pragma once
// What assistive technology is told about the board: one cell per square,
// each with its letter and value, its square and whether it is picked.

class QAccessibleInterface;
class QObject;
class QString;

namespace ui {
// Installed once by the board view: the accessible face of a BoardView.
QAccessibleInterface *boardAccessible(const QString &className, QObject *object);
} // namespace ui
