#include "phrasebar.h"
#include "artscale.h"

#include "clientmodel.h"
#include "messages.h"
#include "preferences.h"
#include "soundplayer.h"
#include "tphrases.h"

#include <QMenu>
#include <chrono>
#include <QAction>
#include <QPushButton>

namespace {
qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

PhraseBar::PhraseBar(const Widgets &w, ClientModel &model, Preferences &prefs, QWidget *window)
    : QObject(window), m_model(model), m_prefs(prefs), m_window(window), m_clock(steadyMs)
{
    m_buttons = w.buttons;
    for (int k = 1; k <= PhraseCount + 1; ++k) {
        QPushButton *b = phraseButton(k);
        ui::paintAsPicture(b, QStringLiteral("phrase%1").arg(k));
        b->setFocusPolicy(Qt::NoFocus);
        if (k <= PhraseCount) {
            connect(b, &QPushButton::clicked, this, [this, k] { b_phrase1Click(k); });
        } else {
            b->setToolTip(tr("Chatter Sounds"));
            b->setAccessibleName(tr("Chatter Sounds"));
            connect(b, &QPushButton::clicked, this, &PhraseBar::b_phrase10Click);
        }
    }
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        for (int b = 1; b <= PhraseCount; ++b)
            phraseButton(b)->setEnabled(true);
    });
    connect(w.phraseList, &QAction::triggered, this, &PhraseBar::PrhaseList1Click);
    connect(&prefs, &Preferences::phrasesChanged, this, &PhraseBar::showPhrases);
    showPhrases();

    m_sounds = new QMenu(window);
    QAction *cancel = m_sounds->addAction(tr("<Cancel>"));
    connect(cancel, &QAction::triggered, this, [this] { wave12Click(0); });
    for (int k = 1; k <= chatter::Count; ++k) {
        QAction *a = m_sounds->addAction(chatter::description(k));
        a->setObjectName(QStringLiteral("wave%1").arg(k));
        a->setToolTip(chatter::description(k));
        connect(a, &QAction::triggered, this, [this, k] { wave12Click(k); });
    }
}

void PhraseBar::showPhrases()
{
    for (int k = 1; k <= PhraseCount; ++k) {
        // The button's hint is the phrase itself.
        phraseButton(k)->setToolTip(m_prefs.phrase(k));
        phraseButton(k)->setAccessibleName(tr("Say: %1").arg(m_prefs.phrase(k)));
    }
}

void PhraseBar::b_phrase1Click(int k)
{
    // The cooldown counts real time from the last phrase sent, as the
    // editor promises, whatever the dispatcher is doing.
    if (m_sentAt >= 0 && m_clock() - m_sentAt < PhraseCooldownMs)
        return;
    if (!m_model.loggedin())
        return;
    const QByteArray text = m_prefs.phrase(k).toLatin1();
    m_model.sendAction(text.startsWith("/me ") ? text.mid(4) : "says: " + text, m_prefs.textColour());
    m_sentAt = m_clock();
    // The pause shows: the phrase buttons dim until another phrase may go.
    for (int b = 1; b <= PhraseCount; ++b)
        phraseButton(b)->setEnabled(false);
    m_pause.start(int(PhraseCooldownMs));
}

void PhraseBar::b_phrase10Click()
{
    const QPushButton *b = phraseButton(PhraseCount + 1);
    m_sounds->popup(b->mapToGlobal(b->rect().bottomRight()));
}

void PhraseBar::wave12Click(int k)
{
    if (k != 0)
        m_model.sendChatterSound(k);
}

void PhraseBar::setDialog(Later<Tphrases> dialog)
{
    m_dialog = std::move(dialog);
    m_dialog.whenMade([this](Tphrases *made) {
        ui::applyBackground(made);
        connect(made, &Tphrases::phrasesEdited, &m_prefs, &Preferences::setPhrases);
    });
}

void PhraseBar::PrhaseList1Click()
{
    Tphrases *dialog = m_dialog.get();
    if (!dialog)
        return;
    dialog->setPhrases(m_prefs.phrases());
    if (!dialog->isVisible())
        ui::centreOn(dialog, m_window);
    dialog->show();
    dialog->raise();
}
