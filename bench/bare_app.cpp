// The baseline for idle cost and start-up: a bare Qt main window and nothing
// else. With TIMER_1MS it also runs a 1 ms timer, the cost the game would have
// if its dispatch timer ticked while idle.

#include "startupprobe.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow w;
    w.resize(790, 580);
    w.show();
#ifdef TIMER_1MS
    QTimer t;
    t.setInterval(1);
    t.start();
#endif
    startupProbe();
    return app.exec();
}
