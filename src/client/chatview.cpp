#include "chatview.h"
#include "artscale.h"

#include "chatline.h"
#include "chatpieces.h"
#include "clientmodel.h"
#include "messages.h"
#include "preferences.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QWidgetAction>

#include <utility>

namespace {
const QString kPlaceholder = QStringLiteral("<Enter Chat Here>");
const QColor kChatBackground(0xF2, 0xF9, 0xFF); // 0xFFF9F2 as 0x00BBGGRR
const QString kLinkScheme = QStringLiteral("link");
// A line of the game's own that shows something in the game.
const QString kGameScheme = QStringLiteral("game");

QColor fromBgr(quint32 c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
} // namespace

ChatView::ChatView(const Widgets &widgets, ClientModel &model, Preferences &prefs, QWidget *window)
    : QObject(window), ui(widgets), m_model(model), m_prefs(prefs), m_window(window)
{
    // A palette, not a style sheet: the view repaints with every batch of
    // lines, and a style-sheeted view draws through the slow style path.
    QPalette chatColours = ui.mainchat->palette();
    chatColours.setColor(QPalette::Base, kChatBackground);
    ui.mainchat->setPalette(chatColours);
    // The scroll bar changes with every batch of lines: drawn opaque, its
    // repaint stops there instead of drawing the window's background
    // picture and every panel behind it again.
    QScrollBar *bar = ui.mainchat->verticalScrollBar();
    bar->setAutoFillBackground(true);
    if (bar->parentWidget() != ui.mainchat)
        bar->parentWidget()->setAutoFillBackground(true);
    ui.mainchat->document()->setDocumentMargin(5);
    // Nobody undoes a chat line: no history of every insertion is kept.
    ui.mainchat->document()->setUndoRedoEnabled(false);
    QPalette entryColours = ui.mychat->palette();
    entryColours.setColor(QPalette::Base, kChatBackground);
    ui.mychat->setPalette(entryColours);
    QFont entry(QStringLiteral("Arial"));
    entry.setPixelSize(13);
    ui.mychat->setFont(entry);
    // Typing and pasting stop where the host would refuse the line.
    ui.mychat->setMaxLength(int(wire::MaxChatText));
    ui.mychat->setToolTip(tr("Chat lines hold up to 1,000 characters; a longer text is cut."));

    m_smilies = ui::loadPicture(QStringLiteral(":/pictures/smilies.png"));
    for (int i = 0; i < 18; ++i)
        ui.mainchat->document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("smiley:%1").arg(i)),
                m_smilies.copy(i * 17, 0, 17, 16).toImage());

    m_frame.setSingleShot(true);
    connect(&m_frame, &QTimer::timeout, this, &ChatView::flush);

    connect(ui.mainchat, &QTextBrowser::anchorClicked, this, &ChatView::openLink);
    ui.mychat->installEventFilter(this);

    // The view's popup, the entry line's popup and the smilies.
    m_viewMenu = new QMenu(window);
    m_viewMenu->addAction(tr("Select All"), this, &ChatView::selectAll);
    m_viewMenu->addAction(tr("Copy"), QKeySequence::Copy, this, &ChatView::copy);
    m_scrollOff = m_viewMenu->addAction(tr("Scroll Chat Off"));
    m_scrollOff->setCheckable(true);
    m_viewMenu->addAction(ui.clearChat);
    connect(ui.mainchat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_viewMenu->popup(ui.mainchat->mapToGlobal(p)); });
    connect(m_scrollOff, &QAction::triggered, this, &ChatView::scrollOffChanged);
    connect(ui.scrollOff, &QAction::triggered, this, [this] {
        // The menu item toggled itself; the popup's item holds the state.
        m_scrollOff->setChecked(!m_scrollOff->isChecked());
        scrollOffChanged();
    });
    ui.scrollOff->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    connect(ui.clearChat, &QAction::triggered, this, &ChatView::clear);

    m_entryMenu = new QMenu(window);
    m_entryMenu->addAction(tr("Paste"), QKeySequence::Paste, this, &ChatView::paste);
    connect(ui.mychat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { m_entryMenu->popup(ui.mychat->mapToGlobal(p)); });

    m_smileyMenu = new QMenu(window);
    // Chosen or not, the typing goes on in the chat line.
    connect(m_smileyMenu, &QMenu::aboutToHide, ui.mychat, [this] { ui.mychat->setFocus(); });
    // The faces are made when the menu first opens: nobody may ever ask.
    connect(m_smileyMenu, &QMenu::aboutToShow, this, &ChatView::smileyActions);
    ui.smilies->setIcon(QIcon(m_smilies.copy(0, 0, 17, 16)));
    connect(ui.smilies, &QPushButton::clicked, this, &ChatView::showSmilies);
    ui.textColour->setEnabled(true);
    connect(ui.textColour, &QAction::triggered, this, &ChatView::chooseColour);
    connect(&prefs, &Preferences::textChanged, this, &ChatView::applyText);
    applyText();
}

const QList<QAction *> &ChatView::smileyActions()
{
    if (!m_smileyActions.isEmpty())
        return m_smileyActions;
    // The eighteen faces as a grid of six by three: easier to aim at than a
    // tall strip of tiny items.
    auto *grid = new QWidget(m_smileyMenu);
    grid->setObjectName(QStringLiteral("smiley_grid"));
    auto *layout = new QGridLayout(grid);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    for (int tag = 10; tag <= 27; ++tag) {
        auto *a = new QAction(QIcon(m_smilies.copy((tag - 10) * 17, 0, 17, 16)), QString(), m_smileyMenu);
        a->setData(tag);
        a->setToolTip(QStringLiteral(":)#%1").arg(tag));
        connect(a, &QAction::triggered, this, [this, tag] {
            insertSmiley(tag);
            m_smileyMenu->close();
        });
        m_smileyActions.push_back(a);
        auto *b = new QToolButton(grid);
        b->setDefaultAction(a);
        b->setAutoRaise(true);
        b->setIconSize(QSize(17, 16) * 3 / 2);
        b->setFixedSize(32, 30);
        layout->addWidget(b, (tag - 10) / 6, (tag - 10) % 6);
    }
    auto *holder = new QWidgetAction(m_smileyMenu);
    holder->setDefaultWidget(grid);
    m_smileyMenu->addAction(holder);
    return m_smileyActions;
}

ChatView::~ChatView()
{
    ui.mychat->removeEventFilter(this);
}

bool ChatView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui.mychat && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (ui.mychat->text() == kPlaceholder)
            ui.mychat->clear();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            send();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// The text size and the colour of the user's own lines, as the preferences hold them.
void ChatView::applyText()
{
    // Every line takes the new size, as the chat's styles all change at once.
    QTextCursor c(ui.mainchat->document());
    c.select(QTextCursor::Document);
    QTextCharFormat f;
    f.setFontPointSize(m_prefs.textSize());
    c.mergeCharFormat(f);
    QPalette pal = ui.mychat->palette();
    pal.setColor(QPalette::Text, fromBgr(m_prefs.textColour()));
    ui.mychat->setPalette(pal);
}

void ChatView::send()
{
    if (!m_model.loggedin())
        return;
    m_model.sendChat(ui.mychat->text().toLatin1(), m_prefs.textColour());
    ui.mychat->clear();
}

bool ChatView::typing() const
{
    const QString text = ui.mychat->text();
    return !text.isEmpty() && text != kPlaceholder;
}

void ChatView::focusEntry()
{
    ui.mychat->setFocus();
}

void ChatView::addLine(const QByteArray &text)
{
    addLine(0, text, SystemColour);
}

void ChatView::addLine(const QByteArray &text, const QString &gameTarget)
{
    addLine(text);
    // The whole line is the anchor, dotted underneath so it reads as one.
    QTextCursor &c = batch();
    QTextCursor line(c);
    line.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    QUrl href;
    href.setScheme(kGameScheme);
    href.setPath(gameTarget);
    QTextCharFormat anchor;
    anchor.setAnchor(true);
    anchor.setAnchorHref(href.toString(QUrl::FullyEncoded));
    anchor.setUnderlineStyle(QTextCharFormat::DotLine);
    line.mergeCharFormat(anchor);
}

// A line's format, kept from line to line: the document looks each one up
// among its formats, and a format made afresh must be hashed again.
QTextCharFormat ChatView::lineFormat(quint32 colour, int style)
{
    // Kept formats carry the text size they were made for.
    if (m_formatsSize != m_prefs.textSize() || m_formats.size() > 64) {
        m_formats.clear();
        m_formatsSize = m_prefs.textSize();
    }
    const quint64 key = (quint64(colour) << 8) | quint8(style);
    if (const auto it = m_formats.constFind(key); it != m_formats.cend())
        return *it;
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Arial")});
    f.setFontPointSize(m_prefs.textSize());
    f.setForeground(fromBgr(colour));
    f.setFontWeight(QFont::Bold);
    f.setFontStyleStrategy(QFont::PreferNoShaping);
    f.setProperty(QTextFormat::UserProperty, style);
    return m_formats[key] = f;
}

// Every line keeps the colour it arrived in: a sender's earlier lines do not
// change colour when a later line of theirs comes in another.
void ChatView::addLine(int sender, const QByteArray &text, quint32 colour)
{
    // Nobody reads a longer line, and laying one out would stall the window.
    // The line shows with a space after its head and after its last word.
    const qsizetype cut = MaxLine - 1;
    const chat::Line parsed = chat::parse(sender, text.size() > cut ? text.left(cut) : text);
    QTextDocument *doc = ui.mainchat->document();
    QTextCursor &c = batch();
    // The batch's cursor stays at the end between lines; moving it there
    // when it already is would look up the last line's layout for nothing.
    if (c.position() != doc->characterCount() - 1)
        c.movePosition(QTextCursor::End);
    const QTextCharFormat style = lineFormat(colour, parsed.style);
    // The line's break and its plain words go in as one insertion: each
    // insertion looks its format up among the document's again.
    QString plain;
    if (!doc->isEmpty())
        plain += QChar::ParagraphSeparator;
    plain += QString::fromLatin1(parsed.head + ' ');
    for (const chat::Piece &piece : parsed.pieces) {
        if (piece.kind == chat::Piece::Word) {
            plain += QString::fromLatin1(piece.text);
            continue;
        }
        c.insertText(std::exchange(plain, QString()), style);
        switch (piece.kind) {
        case chat::Piece::Word:
            break;
        case chat::Piece::Link: {
            // The anchor carries the web address itself, never a position in a
            // table that later lines could overwrite.
            QUrl href;
            href.setScheme(kLinkScheme);
            href.setPath(QString::fromLatin1(piece.target), QUrl::DecodedMode);
            QTextCharFormat link = style;
            link.setFontWeight(QFont::Normal);
            link.setForeground(QColor(0x00, 0x80, 0x00));
            link.setFontUnderline(true);
            link.setAnchor(true);
            link.setAnchorHref(href.toString(QUrl::FullyEncoded));
            link.setProperty(QTextFormat::UserProperty, 4);
            c.insertText(QString::fromLatin1(piece.text), link);
            break;
        }
        case chat::Piece::Smiley: {
            QTextImageFormat img;
            img.setName(QStringLiteral("smiley:%1").arg(piece.smiley));
            c.insertImage(img);
            break;
        }
        }
    }
    if (!plain.isEmpty())
        c.insertText(plain, style);
    trim();
}

// Showing a line costs a layout of the view, its scroll bar and a repaint of
// both; lines that come faster than the screen can show them share one. The
// first line after a quiet frame still shows as soon as its pass ends. While
// lines keep coming (a busy room, a flood) they share one every
// StreamFrameMs: nobody reads a chat that scrolls faster, and each repaint
// is most of what a line costs the hosting copy. A repaint that scrolls a
// whole view of new lines is past reading: the next waits FloodFrameMs.
QTextCursor &ChatView::batch()
{
    if (m_batch.isNull()) {
        m_keep = ui.mainchat->verticalScrollBar()->value();
        m_batch = QTextCursor(ui.mainchat->document());
        m_batch.beginEditBlock();
        const QScreen *screen = m_window->screen();
        const int frameMs = qBound(4, int(1000 / (screen ? screen->refreshRate() : 60.0)), 40);
        const int streamMs = m_flooding ? FloodFrameMs : StreamFrameMs;
        const qint64 since = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : streamMs * 2;
        const int wait = since < streamMs * 2 ? qMax(frameMs, streamMs) : frameMs;
        m_frame.start(int(qMax<qint64>(0, wait - since)));
    }
    return m_batch;
}

void ChatView::flush()
{
    m_frame.stop();
    if (m_batch.isNull())
        return;
    m_batch.endEditBlock();
    m_batch = QTextCursor();
    m_sinceFlush.start();
    QScrollBar *bar = ui.mainchat->verticalScrollBar();
    const int before = bar->value();
    bar->setValue(m_scrollOff->isChecked() ? m_keep : bar->maximum());
    m_flooding = bar->value() - before >= ui.mainchat->viewport()->height();
}

// A flood must not make the view ever slower to lay out: it keeps the
// newest lines only. Removing lines from the top lays out every line again,
// so they go a tenth of the history at a time, not one per new line.
void ChatView::trim()
{
    QTextDocument *doc = ui.mainchat->document();
    if (doc->blockCount() <= m_maxLines)
        return;
    const int excess = doc->blockCount() - (m_maxLines - m_maxLines / 10);
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, excess);
    c.removeSelectedText();
}

void ChatView::openLink(const QUrl &url)
{
    if (url.scheme() == kGameScheme) {
        emit gameLinkClicked(url.path());
        return;
    }
    // Only a web address goes to the desktop's handler, whatever the anchor.
    const auto target =
            url.scheme() == kLinkScheme ? chat::linkTarget(url.path(QUrl::FullyDecoded).toLatin1()) : std::nullopt;
    if (!target || !ui::openUrl(QString::fromLatin1(*target)))
        ui::showMessage(m_window, tr("Cannot open Webpage"));
}

void ChatView::clear()
{
    flush();
    ui.mainchat->clear();
    ui.mychat->setFocus();
}

void ChatView::selectAll()
{
    ui.mainchat->selectAll();
}

void ChatView::copy()
{
    const QTextCursor c = ui.mainchat->textCursor();
    if (c.hasSelection())
        QApplication::clipboard()->setText(c.selection().toPlainText());
}

void ChatView::scrollOffChanged()
{
    ui.scrollOff->setChecked(m_scrollOff->isChecked());
}

void ChatView::paste()
{
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    ui.mychat->setText(ui.mychat->text() + text);
    ui.mychat->deselect();
    ui.mychat->end(false);
    ui.mychat->setFocus();
}

void ChatView::showSmilies()
{
    m_smileyMenu->popup(ui.smilies->mapToGlobal(ui.smilies->rect().bottomRight()));
}

void ChatView::insertSmiley(int tag)
{
    if (ui.mychat->text() == kPlaceholder)
        ui.mychat->clear();
    ui.mychat->setText(ui.mychat->text() + QStringLiteral(":)#%1").arg(tag));
    ui.mychat->deselect();
    ui.mychat->end(false);
    ui.mychat->setFocus();
}

void ChatView::chooseColour()
{
    const QColor chosen = QColorDialog::getColor(fromBgr(m_prefs.textColour()), m_window, tr("Text Color"));
    if (chosen.isValid())
        m_prefs.setTextColour(quint32(chosen.red()) | quint32(chosen.green()) << 8 | quint32(chosen.blue()) << 16);
}
