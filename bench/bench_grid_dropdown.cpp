// The grid drop-down over 100,000 items: the time per typed key while the
// open grid narrows its rows down (the grid's filter), and while the edit
// looks the typed text up. Keys go in as key events, the path a user's take.
// The peers run in the same program: for the lookup, QComboBox::findText
// over the same items with the same text typed so far (starts with, any
// case); for the narrowing, a QSortFilterProxyModel over a QStandardItemModel
// of the same rows, its filter set to each typed text.
#include "controls/ExCustomGridDropDown.h"

#include "platform/Forms.h"

#include "BenchRatio.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <memory>

using namespace platform;

namespace {

constexpr int kItems = 100000;
const char* const kFruit[] = {"Apple", "Banana", "Cherry", "Date", "Elder", "Fig", "Grape", "Kiwi", "Lemon", "Mango"};

QString ItemName(int i)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(kFruit[i % 10])).arg(i, 6, 10, QChar(u'0'));
}

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
            drop->Items().Add()->SetText({QStringLiteral("C%1").arg(i), ItemName(i)});
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

// The peer of the lookup: for each key, the combo box finds the first item
// starting with the text typed so far, in any case, as its own typing does.
void QComboBox_FindText(benchmark::State& state)
{
    QComboBox combo;
    QStringList items;
    items.reserve(kItems);
    for (int i = 0; i < kItems; ++i)
        items << ItemName(i);
    combo.addItems(items);
    int found = -1;
    for (auto _ : state)
        for (qsizetype n = 1; n <= kTyped.size(); ++n)
            found = combo.findText(kTyped.left(n).trimmed(), Qt::MatchStartsWith);
    if (found != 99907)
        state.SkipWithError("findText did not reach Kiwi 099907");
    state.counters["per_key"] =
        benchmark::Counter(kTyped.size(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The peer of the narrowing: a proxy model over the same two columns keeps
// the rows whose name contains the text typed so far, in any case.
void QSortFilterProxyModel_Filter(benchmark::State& state)
{
    QStandardItemModel model(kItems, 2);
    for (int i = 0; i < kItems; ++i) {
        model.setItem(i, 0, new QStandardItem(QStringLiteral("C%1").arg(i)));
        model.setItem(i, 1, new QStandardItem(ItemName(i)));
    }
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setFilterKeyColumn(1);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    for (auto _ : state) {
        for (qsizetype n = 1; n <= kTyped.size(); ++n)
            proxy.setFilterFixedString(kTyped.left(n).trimmed());
        state.PauseTiming();
        if (proxy.rowCount() != 10)
            state.SkipWithError("the filter did not leave the ten kiwis");
        proxy.setFilterFixedString(QString());
        state.ResumeTiming();
    }
    state.counters["per_key"] =
        benchmark::Counter(kTyped.size(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(NarrowDownWhileTyping)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(QSortFilterProxyModel_Filter)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(LookupWhileTyping)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(QComboBox_FindText)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return benchratio::RunWithRatios(
        argc, argv,
        {{"LookupWhileTyping/iterations:5", "QComboBox_FindText/iterations:5", 1.0,
          "findText over the same items, per typed text"},
         {"NarrowDownWhileTyping/iterations:5", "QSortFilterProxyModel_Filter/iterations:5", 2.0,
          "a proxy model's fixed-string filter over the same rows; no target set, a ceiling kept"}});
}
