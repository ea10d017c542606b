#include "messages.h"
#include "artscale.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QTextDocument>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <QUrl>

namespace ui {

namespace {
std::function<void(const QString &)> &sink()
{
    static std::function<void(const QString &)> s;
    return s;
}
} // namespace

// A box shows its text as written, and comes up above the window that caused
// it and above a window that keeps itself on top (the launcher): a box hidden
// behind it would leave the program looking frozen until answered.
static void prepareBox(QMessageBox &box)
{
    // What a box says may carry a name or an address from elsewhere.
    box.setTextFormat(Qt::PlainText);
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != &box && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
            return;
        }
}

void showMessage(QWidget *parent, const QString &text)
{
    if (sink()) {
        sink()(text);
        return;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("Word Mire"), text, QMessageBox::Ok,
            parent ? parent : QApplication::activeWindow());
    prepareBox(box);
    box.exec();
}

namespace {
std::function<bool(const QString &)> &asker()
{
    static std::function<bool(const QString &)> a;
    return a;
}
} // namespace

bool askYesNo(QWidget *parent, const QString &text)
{
    if (asker())
        return asker()(text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Word Mire"), text, QMessageBox::Yes | QMessageBox::No,
            parent ? parent : QApplication::activeWindow());
    prepareBox(box);
    return box.exec() == QMessageBox::Yes;
}

bool askChoice(QWidget *parent, const QString &text, const QString &first, const QString &second)
{
    if (asker())
        return asker()(text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Word Mire"), text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(first, QMessageBox::AcceptRole);
    box.addButton(second, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    prepareBox(box);
    box.exec();
    return box.clickedButton() == yes;
}

void setQuestionSink(std::function<bool(const QString &)> answer)
{
    asker() = std::move(answer);
}

namespace {
std::function<bool(const QString &)> &opener()
{
    static std::function<bool(const QString &)> o;
    return o;
}
} // namespace

void plainTextLabels(QWidget *root)
{
    for (QLabel *l : root->findChildren<QLabel *>())
        if (l->textFormat() == Qt::AutoText && !Qt::mightBeRichText(l->text()))
            l->setTextFormat(Qt::PlainText);
}

QString plainToolTip(const QString &text)
{
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

bool openUrl(const QString &address)
{
    if (opener())
        return opener()(address);
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void setUrlOpener(std::function<bool(const QString &)> o)
{
    opener() = std::move(o);
}

void applyBackground(QWidget *window)
{
    QPalette pal = window->palette();
    pal.setBrush(QPalette::Window, backgroundPicture());
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

void centreOn(QWidget *window, const QWidget *over)
{
    const QRect outer = over->frameGeometry();
    window->move(outer.center() - QPoint(window->width() / 2, window->height() / 2));
}

void setMessageSink(std::function<void(const QString &)> s)
{
    sink() = std::move(s);
}

} // namespace ui
