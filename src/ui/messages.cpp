#include "messages.h"

#include <QApplication>
#include <QMessageBox>

namespace ui {

namespace {
std::function<void(const QString &)> &sink()
{
    static std::function<void(const QString &)> s;
    return s;
}
} // namespace

void showMessage(QWidget *parent, const QString &text)
{
    if (sink()) {
        sink()(text);
        return;
    }
    QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
}

void setMessageSink(std::function<void(const QString &)> s)
{
    sink() = std::move(s);
}

} // namespace ui
