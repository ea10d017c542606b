// The chat pane: lines from the host in their senders' colours, links and
// smileys, and the entry line that sends chat and "/me" actions.

#include "tchat.h"
#include "ui_tchat.h"

#include "chatline.h"
#include "colourtext.h"
#include "message.h"
#include "messages.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {
const QString kPlaceholder = QStringLiteral("<Enter Chat Here>");
const QColor kChatBackground(0xF2, 0xF9, 0xFF); // 0xFFF9F2 as 0x00BBGGRR

QColor fromBgr(quint32 c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
} // namespace

void Tchat::setupChat()
{
    ui->mainchat->setStyleSheet(QStringLiteral("QTextBrowser { background: %1; }").arg(kChatBackground.name()));
    ui->mainchat->document()->setDocumentMargin(5);
    ui->mychat->setStyleSheet(QStringLiteral("QLineEdit { background: %1; }").arg(kChatBackground.name()));
    QFont entry(QStringLiteral("Arial"));
    entry.setPixelSize(13);
    ui->mychat->setFont(entry);

    imagelist_smilies = QPixmap(QStringLiteral(":/pictures/smilies.png"));
    for (int i = 0; i < 18; ++i) {
        ui->mainchat->document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("smiley:%1").arg(i)),
                                              imagelist_smilies.copy(i * 17, 0, 17, 16).toImage());
    }
    links.fill(QByteArray());

    connect(ui->mainchat, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        mainchatJump(url.path().toInt());
    });
    ui->mychat->installEventFilter(this);

    // The view's popup, the entry line's popup and the smilies.
    m_popups.popup_chat = new QMenu(this);
    m_popups.popup_chat->addAction(QStringLiteral("Select All"), this, &Tchat::SelectAll1Click);
    m_popups.popup_chat->addAction(QStringLiteral("Copy"), QKeySequence::Copy, this, &Tchat::Copy1Click);
    m_popups.ScrollChatOff2 = m_popups.popup_chat->addAction(QStringLiteral("Scroll Chat Off"));
    m_popups.ScrollChatOff2->setCheckable(true);
    m_popups.popup_chat->addAction(ui->ClearMainChat1);
    connect(ui->mainchat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_popups.popup_chat->popup(ui->mainchat->mapToGlobal(p)); });
    connect(m_popups.ScrollChatOff2, &QAction::triggered, this, &Tchat::ScrollChatOff1Click);
    connect(ui->ScrollChatOff1, &QAction::triggered, this, [this] {
        // The menu item toggled itself; the popup's item holds the state.
        m_popups.ScrollChatOff2->setChecked(!m_popups.ScrollChatOff2->isChecked());
        ScrollChatOff1Click();
    });
    ui->ScrollChatOff1->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    connect(ui->ClearMainChat1, &QAction::triggered, this, &Tchat::ClearMainChat1Click);

    m_popups.popup_entry = new QMenu(this);
    m_popups.popup_entry->addAction(QStringLiteral("Paste"), QKeySequence::Paste, this, &Tchat::Paste1Click);
    connect(ui->mychat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_popups.popup_entry->popup(ui->mychat->mapToGlobal(p)); });

    m_popups.popup_smilies = new QMenu(this);
    // Chosen or not, the typing goes on in the chat line.
    connect(m_popups.popup_smilies, &QMenu::aboutToHide, ui->mychat, [this] { ui->mychat->setFocus(); });
    for (int tag = 10; tag <= 27; ++tag) {
        QAction *a = m_popups.popup_smilies->addAction(QIcon(imagelist_smilies.copy((tag - 10) * 17, 0, 17, 16)), QString());
        a->setData(tag);
        connect(a, &QAction::triggered, this, [this, tag] { N271Click(tag); });
    }
    ui->button_smilies->setIcon(QIcon(imagelist_smilies.copy(0, 0, 17, 16)));
    ui->TextColor1->setEnabled(true);
    connect(ui->TextColor1, &QAction::triggered, this, &Tchat::TextColor1Click);
    setTextColour(textcolor);
    connect(ui->button_smilies, &QPushButton::clicked, this, &Tchat::button_smiliesClick);
}

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->paintbox_board && event->type() == QEvent::KeyPress)
        return boardKey(static_cast<QKeyEvent *>(event)) || QMainWindow::eventFilter(watched, event);
    if (watched != ui->mychat && handleBoardEvent(watched, event))
        return true;
    if (watched == ui->mychat && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (ui->mychat->text() == kPlaceholder)
            ui->mychat->clear();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            sendit();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tchat::sendit()
{
    if (!m_model.loggedin())
        return;
    m_model.sendChat(ui->mychat->text().toLatin1(), textcolor);
    ui->mychat->clear();
}

void Tchat::addlinetochat(const QByteArray &line)
{
    addlinetochat(line, systemcolor);
}

// Every line keeps the colour it arrived in: a sender's earlier lines do not
// change colour when a later line of theirs comes in another.
void Tchat::addlinetochat(const QByteArray &line, quint32 colour)
{
    // Nobody reads a longer line, and laying one out would stall the window
    // (and the host, which shares its thread in the hosting copy).
    const ui::ChatLine parsed = ui::parseChatLine(line.size() > MaxChatLine ? line.left(MaxChatLine) : line);
    QTextBrowser *view = ui->mainchat;
    QScrollBar *bar = view->verticalScrollBar();
    const int keep = bar->value();

    QTextCursor c(view->document());
    c.movePosition(QTextCursor::End);
    if (!view->document()->isEmpty())
        c.insertBlock();
    QTextCharFormat style;
    style.setFontFamilies({QStringLiteral("Arial")});
    style.setFontPointSize(chatTextSize);
    style.setForeground(fromBgr(colour));
    style.setFontWeight(QFont::Bold);
    style.setProperty(QTextFormat::UserProperty, parsed.style);
    c.insertText(QString::fromLatin1(parsed.head + ' '), style);
    for (const ui::ChatPiece &piece : parsed.pieces) {
        switch (piece.kind) {
        case ui::ChatPiece::Word:
            c.insertText(QString::fromLatin1(piece.text), style);
            break;
        case ui::ChatPiece::Link: {
            if (++lastlink > 100)
                lastlink = 1;
            links[size_t(lastlink)] = piece.text;
            QTextCharFormat link = style;
            link.setFontWeight(QFont::Normal);
            link.setForeground(QColor(0x00, 0x80, 0x00));
            link.setFontUnderline(true);
            link.setAnchor(true);
            link.setAnchorHref(QStringLiteral("link:%1").arg(lastlink));
            link.setProperty(QTextFormat::UserProperty, 4);
            c.insertText(QString::fromLatin1(piece.text), link);
            break;
        }
        case ui::ChatPiece::Smiley: {
            QTextImageFormat img;
            img.setName(QStringLiteral("smiley:%1").arg(piece.smiley));
            c.insertImage(img);
            break;
        }
        }
    }
    trimChatHistory();
    if (ui->ScrollChatOff1->isChecked())
        bar->setValue(keep);
    else
        bar->setValue(bar->maximum());
}

// A flood must not make the view ever slower to lay out: it keeps the
// newest lines only.
void Tchat::trimChatHistory()
{
    QTextDocument *doc = ui->mainchat->document();
    const int excess = doc->blockCount() - maxChatLines;
    if (excess <= 0)
        return;
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, excess);
    c.removeSelectedText();
}

void Tchat::mainchatJump(int number)
{
    QByteArray target = number >= 0 && number <= 100 ? links[size_t(number)] : QByteArray();
    while (target.endsWith(' '))
        target.chop(1);
    if (target.isEmpty() || !ui::openUrl(QString::fromLatin1(target)))
        ui::showMessage(this, QStringLiteral("Cannot open Webpage"));
}

void Tchat::ClearMainChat1Click()
{
    ui->mainchat->clear();
    ui->mychat->setFocus();
}

void Tchat::SelectAll1Click()
{
    ui->mainchat->selectAll();
}

void Tchat::Copy1Click()
{
    const QTextCursor c = ui->mainchat->textCursor();
    if (c.hasSelection())
        QApplication::clipboard()->setText(c.selection().toPlainText());
}

void Tchat::ScrollChatOff1Click()
{
    ui->ScrollChatOff1->setChecked(m_popups.ScrollChatOff2->isChecked());
}

void Tchat::Paste1Click()
{
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    ui->mychat->setText(ui->mychat->text() + text);
    ui->mychat->deselect();
    ui->mychat->end(false);
    ui->mychat->setFocus();
}

void Tchat::button_smiliesClick()
{
    m_popups.popup_smilies->popup(ui->button_smilies->mapToGlobal(ui->button_smilies->rect().bottomRight()));
}

void Tchat::N271Click(int tag)
{
    if (ui->mychat->text() == kPlaceholder)
        ui->mychat->clear();
    ui->mychat->setText(ui->mychat->text() + QStringLiteral(":)#%1").arg(tag));
    ui->mychat->deselect();
    ui->mychat->end(false);    ui->mychat->setFocus();
}

void Tchat::setTextColour(quint32 bgr)
{
    textcolor = bgr;
    QPalette pal = ui->mychat->palette();
    pal.setColor(QPalette::Text, fromBgr(bgr));
    ui->mychat->setPalette(pal);
}

void Tchat::TextColor1Click()
{
    const QColor chosen = QColorDialog::getColor(fromBgr(textcolor), this, QStringLiteral("Text Color"));
    if (!chosen.isValid())
        return;
    setTextColour(quint32(chosen.red()) | quint32(chosen.green()) << 8 | quint32(chosen.blue()) << 16);
    saveinifile();
}
