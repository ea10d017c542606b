#include "thelp.h"

#include "message.h"
#include "ui_thelp.h"

#include <QTextBrowser>

namespace {
// The pages, in our own words. The scoring example is worked out with the
// host's own rules.
const char *const kPages[Thelp::PageCount] = {
        QT_TRANSLATE_NOOP("Thelp", R"(<h2>Word Mire</h2>
<p>Word Mire is a word game for one to four players, on your own against Klot,
the computer opponent, or with friends, in two teams if you like.</p>
<p>The board is a square of seven by seven letter tiles. On your turn you trace
the longest word you can find through touching tiles, and you try to run it
over the bonus squares, above all the <b>BONUS</b> square in the middle.</p>
<p>After each word the tiles slide the way you choose and new letters fill the
gaps. The first player or team to reach the agreed score at the end of a full
round, alone in the lead, wins.</p>)"),

        QT_TRANSLATE_NOOP("Thelp", R"(<h2>Connecting</h2>
<p><b>A game on your own.</b> Start Word Mire without arguments: it hosts a game on
your own computer, your window joins it, and Klot takes the other seat. Press
<b>Start Game</b> (or Ctrl+N). No internet is needed, but every game runs over a
network connection, even this one, so a firewall must let Word Mire talk to
itself.</p>
<p><b>Hosting for others.</b> Start it as <code>wordmire NAME anything true</code>.
Your copy listens on <b>TCP port %PORT%</b> on every address of your computer;
players who cannot reach you need that port opened in your firewall or router.
Up to nine people can be connected: four seated, the others watching.</p>
<p><b>Joining.</b> Start it as <code>wordmire NAME ADDRESS false</code> with the
host's address. The Gatehouse matchmaking client starts Word Mire this way for
you.</p>
<p><b>From inside the game.</b> Choose <b>File, Host or Join a Game...</b> and type
your name. <b>Host a Game Here</b> announces your game on your local network and
shows the addresses others can use. The same window lists the games it hears
on your network, each with a <b>Join</b> button, and takes any address by hand.
Joining closes this copy and starts a new one connected to that host. The
announcements use UDP port 7773 on your local network only; the game itself
always uses TCP port %PORT%.</p>
<p><b>Over the internet.</b> Type a lobby server's address under <b>Internet
lobby</b> in the same window and click <b>Host a Game Here</b>: Word Mire asks
your router to open TCP port %PORT% and lists your game in that lobby under your
router's internet address. Your friends type the same lobby server, see your
game marked <i>(internet)</i> and click <b>Join</b>; everyone in the lobby can
chat there before a game. If your router will not open the port, the chat says
why, and you can forward TCP port %PORT% to your computer by hand instead.</p>
<p>When the host closes the game, it ends for everybody.</p>)"),

        QT_TRANSLATE_NOOP("Thelp", R"(<h2>Game Play</h2>
<p>Players take turns. On your turn, trace a word on the board: click the tiles
one after another, or type the word's letters. Each tile must touch the one
before it, across or diagonally, and no tile may be used twice. Click the last
letter in the strip above the board (or press Backspace) to take it back, and
<b>Clear</b> (Escape) to start again.</p>
<p>Submit the word with <b>Done</b>, a right click on the board, or Enter. If it is
in the word list you score it; then choose one of the four arrows (or an arrow
key): the remaining tiles slide that way and the gaps fill with new letters.
A word that is not in the list can be changed and tried again while your time
lasts.</p>
<p>When the host allows it, the <b>Zephyr Shuffle</b> deals a whole new board and
gives you half a turn's time more. You may use it only on your own turn, once
per turn, as many times a game as the host allows.</p>
<p>The first player or team to reach the play-to score wins, once everybody has
had the same number of turns.</p>)"),

        QT_TRANSLATE_NOOP("Thelp", R"(<h2>Scoring</h2>
<p>A word scores the sum of its letters' values:</p>
<table cellpadding="2">
<tr><td>A E I L N O R S T U D</td><td>1</td></tr>
<tr><td>B C G H M P Y</td><td>3</td></tr>
<tr><td>F J K W</td><td>5</td></tr>
<tr><td>V</td><td>7</td></tr>
<tr><td>Q X Z</td><td>10</td></tr>
</table>
<p>The squares under the word change that sum, in this order: <b>BONUS</b> adds 20
points, <b>DL</b> and <b>TL</b> (double and triple letter) count that letter's value
twice or three times, then <b>DW</b> and <b>TW</b> (double and triple word) double or
triple the whole word. A seven-letter word earns 20 more.</p>
<p><b>An example.</b> STORM, with S on a triple word square, R on a double word
square and M on a double letter square:</p>
<p>S 1 + T 1 + O 1 + R 1 + M 3 = 7, plus 3 more for M on the double letter = 10;
doubled for the double word = 20; tripled for the triple word = <b>60</b>.</p>)"),

        QT_TRANSLATE_NOOP("Thelp", R"(<h2>History</h2>
<p><b>1.0.16.17</b> &mdash; 7 December 2026</p>
<ul>
<li>Play by keyboard: type a word to trace it, Tab for another path.</li>
<li>Sounds, chatter sounds, phrase buttons and Klot's chatter.</li>
<li>Settings kept between games; tile sets: wood, dark and high contrast.</li>
<li>The win tally against the opponents you follow.</li>
<li>The host stands up to floods and silent connections; picks show at once.</li>
</ul>
<p><b>1.0.16</b> &mdash; 30 November 2026</p>
<ul>
<li>The first complete game: hosting and joining, the board, words and their
scores, turns and the turn timer, Klot, the chat and the roster.</li>
</ul>)"),
};
} // namespace

Thelp::Thelp(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Thelp>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    for (int n = 1; n <= PageCount; ++n) {
        auto *page = new QTextBrowser(ui->pages);
        page->setObjectName(QStringLiteral("page%1").arg(n));
        page->setReadOnly(true);
        page->setOpenLinks(false);
        page->setHtml(tr(kPages[n - 1]).replace(QLatin1String("%PORT%"), QString::number(wire::GamePort)));
        ui->pages->addWidget(page);
    }
    for (QPushButton *b : {ui->button_overview, ui->button_connecting, ui->button_gameplay, ui->button_scoring,
                 ui->button_documentation}) {
        const int tag = b->property("Tag").toInt();
        connect(b, &QPushButton::clicked, this, [this, tag] { showPage(tag); });
    }
    connect(ui->button_about, &QPushButton::clicked, this, &Thelp::aboutRequested);
    connect(ui->button_done, &QPushButton::clicked, this, &QDialog::hide);
    showPage(1);
}

Thelp::~Thelp() = default;

int Thelp::currentPage() const
{
    return ui->pages->currentIndex() + 1;
}

QTextBrowser *Thelp::page(int number) const
{
    return qobject_cast<QTextBrowser *>(ui->pages->widget(number - 1));
}

void Thelp::showPage(int number)
{
    if (number < 1 || number > PageCount)
        return;
    ui->pages->setCurrentIndex(number - 1);
    for (QPushButton *b : findChildren<QPushButton *>())
        if (b->property("Tag").toInt() == number)
            ui->label_caption->setText(b->text());
}
