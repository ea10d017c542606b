// The phrase buttons: nine stock phrases sent with one click, at most one
// every two seconds, and the tenth button that opens the chatter sounds.

#include "tchat.h"
#include "ui_tchat.h"

#include "messages.h"
#include "tphrases.h"

#include <chrono>

namespace {
qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

QPushButton *Tchat::phraseButton(int k) const
{
    return findChild<QPushButton *>(QStringLiteral("b_phrase%1").arg(k));
}

void Tchat::setupPhrases()
{
    m_clock = steadyMs;
    for (int k = 1; k <= PhraseCount + 1; ++k) {
        QPushButton *b = phraseButton(k);
        b->setText(QString());
        b->setIcon(QIcon(QStringLiteral(":/pictures/phrase%1.png").arg(k)));
        b->setIconSize(b->size());
        b->setFlat(true);
        b->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"));
        b->setFocusPolicy(Qt::NoFocus);
        if (k <= PhraseCount) {
            connect(b, &QPushButton::clicked, this, [this, k] { b_phrase1Click(k); });
        } else {
            b->setToolTip(QStringLiteral("Chatter Sounds"));
            b->setAccessibleName(QStringLiteral("Chatter Sounds"));
            connect(b, &QPushButton::clicked, this, &Tchat::b_phrase10Click);
        }
    }
    connect(ui->PhraseList1, &QAction::triggered, this, &Tchat::PrhaseList1Click);
}

void Tchat::applyPhrases()
{
    for (int k = 1; k <= PhraseCount; ++k) {
        // The button's hint is the phrase itself.
        phraseButton(k)->setToolTip(phrase(k));
        phraseButton(k)->setAccessibleName(QStringLiteral("Say: ") + phrase(k));
    }
}

void Tchat::b_phrase1Click(int k)
{
    // The cooldown counts real time from the last phrase sent, as the
    // editor promises, whatever the dispatcher is doing.
    if (m_phraseSentAt >= 0 && m_clock() - m_phraseSentAt < PhraseCooldownMs)
        return;
    if (!m_model.loggedin())
        return;
    const QByteArray text = phrase(k).toLatin1();
    m_model.sendAction(text.startsWith("/me ") ? text.mid(4) : "says: " + text, m_prefs->textColour());
    m_phraseSentAt = m_clock();
}

void Tchat::setPhrasesDialog(Tphrases *dialog)
{
    m_phrases = dialog;
    ui::applyBackground(dialog);
    connect(dialog, &Tphrases::phrasesEdited, m_prefs, &Preferences::setPhrases);
}

void Tchat::PrhaseList1Click()
{
    if (!m_phrases)
        return;
    m_phrases->setPhrases(m_prefs->phrases());
    if (!m_phrases->isVisible())
        ui::centreOn(m_phrases, this);
    m_phrases->show();
    m_phrases->raise();
}
