// Cost of one more chat line once the view is full. With the history cap the
// view holds 2,000 lines; the baseline is the same view allowed to grow to
// 20,000. Compares the time per added line in the two, hidden, and in a
// shown window where each line is also painted (the events run after every
// line, as they do when lines arrive one by one) against a bare QTextBrowser
// given the same text as plain appended lines.

#include "tchat.h"

#include <QApplication>
#include <QTextBrowser>
#include <benchmark/benchmark.h>

#include "qtbenchmain.h"

namespace {

void run(benchmark::State &state, int cap, int prefill, bool shown = false)
{
    Tchat chat;
    chat.chatView().setMaxLines(cap);
    if (shown) {
        chat.show();
        QCoreApplication::processEvents();
    }
    for (int i = 0; i < prefill; ++i)
        chat.addlinetochat("2+Ann chats: a line with a www.link.com and a :)#12 smiley " + QByteArray::number(i), 0);
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        chat.addlinetochat("2+Ann chats: steady line " + QByteArray::number(i++), 0);
        if (shown)
            QCoreApplication::processEvents();
    }
}

void BM_LineIntoShownCappedView(benchmark::State &state)
{
    run(state, ChatView::MaxLines, ChatView::MaxLines, true);
}

// The least a shown view can do per line: a bare QTextBrowser of the same
// size, each line appended as it comes, then painted.
void BM_LineIntoBareBrowser(benchmark::State &state)
{
    QTextBrowser view;
    view.resize(520, 300);
    view.show();
    for (int i = 0; i < ChatView::MaxLines; ++i)
        view.append(QStringLiteral("Ann chats: a line with a www.link.com and a smiley ") + QString::number(i));
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        view.append(QStringLiteral("Ann chats: steady line ") + QString::number(i++));
        QCoreApplication::processEvents();
    }
}

void BM_LineIntoCappedView(benchmark::State &state)
{
    run(state, ChatView::MaxLines, ChatView::MaxLines);
}

void BM_LineIntoUncappedView(benchmark::State &state)
{
    run(state, 1 << 30, 20000);
}

} // namespace

BENCHMARK(BM_LineIntoCappedView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineIntoUncappedView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineIntoShownCappedView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineIntoBareBrowser)->Unit(benchmark::kMicrosecond);

QT_BENCHMARK_MAIN()
