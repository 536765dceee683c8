// The grid drop-down over 100,000 items: the time per typed key while the
// open grid narrows its rows down (the grid's filter), and while the edit
// looks the typed text up. Keys go in as key events, the path a user's take.
#include "controls/ExCustomGridDropDown.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <memory>

using namespace platform;

namespace {

constexpr int kItems = 100000;
const char* const kFruit[] = {"Apple", "Banana", "Cherry", "Date", "Elder", "Fig", "Grape", "Kiwi", "Lemon", "Mango"};

struct Fixture
{
    TForm form;
    TCustomExGridDropDown* drop = nullptr;

    explicit Fixture(TLookupMethod method)
    {
        form.SetBounds(100, 100, 400, 300);
        drop = new TCustomExGridDropDown(&form);
        drop->SetBounds(20, 20, 200, 21);
        drop->Columns().Add()->SetHeader(QStringLiteral("Code"));
        drop->Columns().Add()->SetHeader(QStringLiteral("Name"));
        drop->SetLookupColumn(1);
        drop->SetAutoSizeColumns(false);
        drop->SetLookupMethod(method);
        drop->Items().Reserve(kItems);
        for (int i = 0; i < kItems; ++i)
            drop->Items().Add()->SetText({QStringLiteral("C%1").arg(i), QStringLiteral("%1 %2")
                                                                           .arg(QLatin1String(kFruit[i % 10]))
                                                                           .arg(i, 6, 10, QChar(u'0'))});
        form.Show();
        drop->setFocus();
        QApplication::processEvents();
    }
};

void Key(QWidget* target, QChar c)
{
    const int key = c.isLetter()  ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                    : c == u' '   ? int(Qt::Key_Space)
                    : c == u'\x1b' ? int(Qt::Key_Escape)
                                  : int(c.unicode());
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
}

const QString kTyped = QStringLiteral("kiwi 0999");

// Each iteration types kTyped into the open grid: every key narrows the
// 100,000 rows further. The popup opens again between iterations, untimed.
void NarrowDownWhileTyping(benchmark::State& state)
{
    Fixture f(lmNarrowDown);
    f.drop->ShowDropDown();
    for (auto _ : state) {
        for (QChar c : kTyped)
            Key(f.drop->InnerGrid(), c);
        state.PauseTiming();
        if (f.drop->InnerGrid()->RowCount() != 11)
            state.SkipWithError("the narrowing did not leave the ten kiwis");
        f.drop->HideDropDown(true);
        f.drop->ShowDropDown();
        state.ResumeTiming();
    }
    state.counters["per_key"] =
        benchmark::Counter(kTyped.size(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Each iteration types kTyped into the closed edit: every key finds the
// first item starting with what was typed.
void LookupWhileTyping(benchmark::State& state)
{
    Fixture f(lmLookup);
    for (auto _ : state) {
        for (QChar c : kTyped)
            Key(f.drop, c);
        state.PauseTiming();
        if (f.drop->ItemIndex() != 99907)
            state.SkipWithError("the lookup did not reach Kiwi 099907");
        f.drop->SetText(QString());
        Key(f.drop, QChar(27));
        state.ResumeTiming();
    }
    state.counters["per_key"] =
        benchmark::Counter(kTyped.size(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(NarrowDownWhileTyping)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(LookupWhileTyping)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
