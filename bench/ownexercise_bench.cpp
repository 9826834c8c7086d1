// The live count of "Nouvel exercice…" on a pasted text of 100 000 characters: the dialog's
// whole update after the text changed, the text-to-records rule alone, and the floor of both,
// the text read back from the box and its code points visited. The shipped catalogue is read
// from the program's folder. Their target is judged in the table that closes plumetto_bench.cpp.

#include "catalogue.h"
#include "newexercisedialog.h"
#include "ownexercise.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

namespace {

constexpr int pastedCharacters = 100000;

const Catalogue &shippedCatalogue()
{
    static const Catalogue catalogue =
        Catalogue::read(Catalogue::pathIn(QStringLiteral(PLUMETTO_APP_DIR)));
    return catalogue;
}

// A long Japanese text as a learner might paste it: every shipped character again and again
// in a scrambled order, with punctuation, line breaks, a few Latin words and digits, and marks
// and kanji that no course ships.
const QString &pastedText()
{
    static const QString text = [] {
        QStringList characters;
        for (const Catalogue::Entry &entry : shippedCatalogue().entries())
            characters << entry.character;
        characters << QStringLiteral("々") << QStringLiteral("〆") << QStringLiteral("ー")
                   << QStringLiteral("龍") << QStringLiteral("鬱");
        QString pasted;
        quint32 state = 20261207;
        for (int n = 0; pasted.size() < pastedCharacters; ++n) {
            state = state * 1664525u + 1013904223u;
            pasted += characters.at(int((state >> 8) % quint32(characters.size())));
            if (n % 7 == 6)
                pasted += QStringLiteral("、");
            if (n % 41 == 40)
                pasted += QStringLiteral("。\n");
            if (n % 173 == 172)
                pasted += QStringLiteral(" Tokyo 2024 ");
        }
        pasted.truncate(pastedCharacters);
        // A pair cut in two at the end would be a lone half; drop it.
        if (pasted.back().isHighSurrogate())
            pasted.chop(1);
        return pasted;
    }();
    return text;
}

bool catalogueMissing(benchmark::State &state)
{
    if (!shippedCatalogue().isEmpty())
        return false;
    state.SkipWithError("no catalogue beside the program: build the data first");
    return true;
}

void liveCount(benchmark::State &state)
{
    if (catalogueMissing(state))
        return;
    NewExerciseDialog dialog(shippedCatalogue(), QStringLiteral("/nonexistent"), {});
    auto *box = dialog.findChild<QPlainTextEdit *>(QStringLiteral("caracteres"));
    auto *count = dialog.findChild<QLabel *>(QStringLiteral("compte"));
    box->setPlainText(pastedText());
    for (auto _ : state)
        emit box->textChanged();
    state.SetLabel(count->text().toStdString());
}

void selectAlone(benchmark::State &state)
{
    if (catalogueMissing(state))
        return;
    qsizetype found = 0;
    for (auto _ : state) {
        const ownexercise::Selection selection =
            ownexercise::select(pastedText(), shippedCatalogue());
        found = selection.entries.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["characters"] = double(found);
}

// The floor: the text read back from the box, and each of its code points visited.
void readTextFloor(benchmark::State &state)
{
    QPlainTextEdit box;
    box.setPlainText(pastedText());
    for (auto _ : state) {
        const QString text = box.toPlainText();
        char32_t sum = 0;
        for (const char32_t c : text.toUcs4())
            sum += c;
        benchmark::DoNotOptimize(sum);
    }
}

void registerOwnExerciseBenchmarks()
{
    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("OwnExercise/live_count/100000", liveCount)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("OwnExercise/select/100000", selectAlone)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("OwnExercise/floor_read_text/100000", readTextFloor)
        ->Unit(kMillisecond);
}

// Registered with the program's other benchmarks before main runs them.
const bool registered = (registerOwnExerciseBenchmarks(), true);

} // namespace
