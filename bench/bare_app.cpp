// The baseline for idle cost and start-up: a bare Qt main window and nothing
// else. With TIMER_1MS it also runs a 1 ms timer, the cost the game would have
// if its dispatch timer ticked while idle. With WITH_TEXT it shows one line of
// text in a label, an entry line and a text view, which is what loading the
// fonts costs any window that shows text.

#include "startupprobe.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTextEdit>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow w;
    w.resize(790, 580);
#ifdef WITH_TEXT
    auto *label = new QLabel(QStringLiteral("Welcome"), &w);
    label->move(10, 10);
    auto *entry = new QLineEdit(QStringLiteral("<Enter Chat Here>"), &w);
    entry->move(10, 40);
    auto *view = new QTextEdit(&w);
    view->setGeometry(10, 80, 300, 200);
    view->append(QStringLiteral("Loading Solo Game..Please wait."));
#endif
    w.show();
#ifdef TIMER_1MS
    QTimer t;
    t.setInterval(1);
    t.start();
#endif
    startupProbe();
    return app.exec();
}
