#pragma once
// While Klot plays the user's seat, the user's own moves are refused, and the
// user is told why.

#include "clientmodel.h"
#include "messages.h"

#include <QCoreApplication>

inline bool refuseWhileWatching(const ClientModel &model, QWidget *window)
{
    if (!model.watchingSelf())
        return false;
    ui::showMessage(window, QCoreApplication::translate("Tchat", "You are just watching right now."));
    return true;
}
