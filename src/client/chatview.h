#pragma once
// The chat pane: lines from the host in their senders' colours, links and
// smileys, and the entry line that sends chat and "/me" actions. Each link
// keeps its own address, so a line opens what it shows however many lines
// came after it.

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>

class ClientModel;
class Preferences;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextBrowser;
class QUrl;

class ChatView : public QObject {
    Q_OBJECT
public:
    // The form's widgets this view draws and reads; nobody else touches them.
    struct Widgets {
        QTextBrowser *mainchat;
        QLineEdit *mychat;
        QPushButton *smilies;
        QAction *clearChat; // "Clear Main Chat"
        QAction *scrollOff; // the menu's "Scroll Chat Off"
        QAction *textColour; // "Text Color"
    };
    ChatView(const Widgets &widgets, ClientModel &model, Preferences &prefs, QWidget *window);
    ~ChatView() override;

    // The chat keeps its newest lines only (a flood must not slow the view).
    static constexpr int MaxLines = 2000;
    static constexpr qsizetype MaxLine = 1000; // characters of one line shown
    // While lines keep coming, they share a repaint at most this often; once
    // a repaint brings more than the view holds, at most every FloodFrameMs.
    static constexpr int StreamFrameMs = 100;
    static constexpr int FloodFrameMs = 200;
    void setMaxLines(int lines) { m_maxLines = lines; }

    // The colour of the game's own lines unless they name one.
    static constexpr quint32 SystemColour = 0xFF0000;
    // A line of the game's own.
    void addLine(const QByteArray &text);
    // A line from a user (slot 1 to 9) or from the game (0), in its colour.
    void addLine(int sender, const QByteArray &text, quint32 colour);
    // A line of the game's own that shows something of the game's when
    // clicked: a click sends gameLinkClicked with the target.
    void addLine(const QByteArray &text, const QString &gameTarget);
    // Lines go into the document at once, but the view lays them out,
    // scrolls and repaints at most once a frame: this ends the batch now.
    void flush();
    void send();
    void openLink(const QUrl &url);
    // The user is in the middle of a chat line.
    bool typing() const;
    void focusEntry();

    void clear();
    void selectAll();
    void copy();
    void scrollOffChanged();
    void paste();
    void showSmilies();
    void insertSmiley(int tag);
    void chooseColour();

    QWidget *window() const { return m_window; }
    QMenu *viewMenu() const { return m_viewMenu; }
    QMenu *entryMenu() const { return m_entryMenu; }
    QMenu *smileyMenu() const { return m_smileyMenu; }
    // The faces the menu offers, in the order of their tags (10..27); made
    // at the first call.
    const QList<QAction *> &smileyActions();
    QAction *scrollOffItem() const { return m_scrollOff; }

signals:
    void gameLinkClicked(const QString &target);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyText();
    void trim();
    QTextCursor &batch();
    QTextCharFormat lineFormat(quint32 colour, int style);

    Widgets ui;
    ClientModel &m_model;
    Preferences &m_prefs;
    QWidget *m_window;
    int m_maxLines = MaxLines;
    QPixmap m_smilies;
    QMenu *m_viewMenu = nullptr;
    QMenu *m_entryMenu = nullptr;
    QMenu *m_smileyMenu = nullptr;
    QList<QAction *> m_smileyActions;
    QAction *m_scrollOff = nullptr; // the view popup's item, which holds the state
    // The open batch: an edit block holding back layout until the frame.
    QTextCursor m_batch;
    int m_keep = 0; // where the reader had scrolled when the batch opened
    QTimer m_frame;
    QHash<quint64, QTextCharFormat> m_formats;
    int m_formatsSize = 0; // the text size of the kept formats
    QElapsedTimer m_sinceFlush;
    bool m_flooding = false; // the last repaint scrolled a whole view of new lines
};
