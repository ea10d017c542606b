// Cost of one more chat line once the view is full. With the history cap the
// view holds 2,000 lines; the baseline is the same view allowed to grow to
// 20,000. Compares the time per added line in the two.

#include "tchat.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include "qtbenchmain.h"

namespace {

void run(benchmark::State &state, int cap, int prefill)
{
    Tchat chat;
    chat.chatView().setMaxLines(cap);
    for (int i = 0; i < prefill; ++i)
        chat.addlinetochat("2+Ann chats: a line with a www.link.com and a :)#12 smiley " + QByteArray::number(i), 0);
    int i = 0;
    for (auto _ : state)
        chat.addlinetochat("2+Ann chats: steady line " + QByteArray::number(i++), 0);
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

QT_BENCHMARK_MAIN()
