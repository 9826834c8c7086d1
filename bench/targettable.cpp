#include "targettable.h"

#include <cstdio>

namespace {

// The records of the exercise played to the end (plumetto_bench.cpp).
constexpr int records = 9999;

} // namespace

void printTargets(const TargetReporter &reporter)
{
    std::printf("\nTargets (medians of this run; wall-clock time, processor time in brackets)\n");
    const auto line = [](const std::string &what, const std::string &figures, bool met) {
        std::printf("  %-34s %-74s %s\n", what.c_str(), figures.c_str(), met ? "met" : "MISSED");
    };
    const auto text = [](const char *format, auto... values) {
        char buffer[200];
        std::snprintf(buffer, sizeof buffer, format, values...);
        return std::string(buffer);
    };
    using Figure = TargetReporter::Figure;
    const auto pair = [&](const std::string &real,
                          const std::string &floor) -> std::optional<std::pair<Figure, Figure>> {
        const auto a = reporter.figure(real);
        const auto b = reporter.figure(floor);
        if (!a || !b)
            return std::nullopt;
        return std::make_pair(*a, *b);
    };

    for (const char *size : {"1MB", "100MB"}) {
        const auto f = pair(std::string("Open/program/") + size,
                            std::string("Open/floor_read_decode/") + size);
        if (!f)
            continue;
        const auto &[real, floor] = *f;
        const double ratio = real.nanoseconds / floor.nanoseconds;
        line(text("Opening %s (<= 3x floor)", size),
             text("%.2f ms, floor %.2f ms: %.2fx [%.2f / %.2f ms: %.2fx]", real.nanoseconds / 1e6,
                  floor.nanoseconds / 1e6, ratio, real.cpuNanoseconds / 1e6,
                  floor.cpuNanoseconds / 1e6, real.cpuNanoseconds / floor.cpuNanoseconds),
             ratio <= 3);
    }

    if (const auto f = pair("RandomOrder/open_random/9999", "RandomOrder/open_file_order/9999")) {
        const auto &[shuffled, inOrder] = *f;
        const double cost = (shuffled.nanoseconds - inOrder.nanoseconds) / 1e3;
        line("Random order of 9999 (< 1 ms)",
             text("%.0f us = %.0f us opening shuffled - %.0f us in file order [%.0f us]", cost,
                  shuffled.nanoseconds / 1e3, inOrder.nanoseconds / 1e3,
                  (shuffled.cpuNanoseconds - inOrder.cpuNanoseconds) / 1e3),
             cost < 1000);
    }

    if (const auto f = pair("Posing/worst_skip/9999", "Posing/faux_no_skip/9999")) {
        const auto &[worst, plain] = *f;
        line("Worst posing, 9999 (< 100 us)",
             text("%.1f us, floor (a posing that skips nothing) %.2f us [%.1f / %.2f us]",
                  worst.nanoseconds / 1e3, plain.nanoseconds / 1e3, worst.cpuNanoseconds / 1e3,
                  plain.cpuNanoseconds / 1e3),
             worst.nanoseconds < 100e3);
    }
    if (const auto played = reporter.figure("Posing/juste_to_the_end/9999"))
        std::printf("  %-34s %.2f ms for the exercise, %.2f us per judgement [%.2f us]\n",
                    "Played to the end, 9999", played->nanoseconds / 1e6,
                    played->nanoseconds / 1e3 / records, played->cpuNanoseconds / 1e3 / records);

    for (const char *size : {"default_window", "large_window"}) {
        const auto f = pair(std::string("Drawing/pad_segment_repainted/") + size,
                            std::string("Drawing/floor_segment_on_image/") + size);
        if (!f)
            continue;
        auto [real, floor] = *f;
        const double repainted = real.counters["repainted_px_per_segment"];
        const double pad = real.counters["pad_px"];
        line(text("Segment, %s (< 50 us)", size),
             text("%.1f us, floor %.1f us [%.1f / %.1f us]; repaints %.0f of %.0f px",
                  real.nanoseconds / 1e3, floor.nanoseconds / 1e3, real.cpuNanoseconds / 1e3,
                  floor.cpuNanoseconds / 1e3, repainted, pad),
             real.nanoseconds < 50e3 && repainted < pad / 4);
    }

    for (const char *kind : {"photograph", "smooth"}) {
        const auto f = pair(std::string("Picture/solution_box_6000x4000/") + kind,
                            std::string("Picture/floor_full_decode_6000x4000/") + kind);
        if (!f)
            continue;
        const auto &[shown, decoded] = *f;
        const double speedUp = decoded.nanoseconds / shown.nanoseconds;
        line(text("Big JPEG shown, %s (>= 4x)", kind),
             text("%.1f ms, full-size decode %.1f ms: %.1fx faster [%.1f / %.1f ms: %.1fx]",
                  shown.nanoseconds / 1e6, decoded.nanoseconds / 1e6, speedUp,
                  shown.cpuNanoseconds / 1e6, decoded.cpuNanoseconds / 1e6,
                  decoded.cpuNanoseconds / shown.cpuNanoseconds),
             speedUp >= 4);
    }

    // The stroke check.
    if (const auto f = pair("Strokes/read_file/kana", "Strokes/floor_xml_tokens/kana")) {
        const auto &[read, tokens] = *f;
        std::printf("  %-34s %.1f us, floor (the XML tokenised) %.1f us: %.2fx [%.1f / %.1f us]\n",
                    "Stroke file read, kana", read.nanoseconds / 1e3, tokens.nanoseconds / 1e3,
                    read.nanoseconds / tokens.nanoseconds, read.cpuNanoseconds / 1e3,
                    tokens.cpuNanoseconds / 1e3);
    }
    for (const auto &[kind, target] : {std::pair<std::string, double>{"kana_3", 1e6},
                                       std::pair<std::string, double>{"kanji_20", 5e6}}) {
        const auto f = pair("Strokes/check/" + kind, "Strokes/floor_visit_points/" + kind);
        if (!f)
            continue;
        const auto &[checked, visited] = *f;
        line(text("Check, %s (< %.0f ms)", kind.c_str(), target / 1e6),
             text("%.1f us, floor (every point visited) %.2f us [%.1f / %.2f us]",
                  checked.nanoseconds / 1e3, visited.nanoseconds / 1e3,
                  checked.cpuNanoseconds / 1e3, visited.cpuNanoseconds / 1e3),
             checked.nanoseconds < target);
    }
    if (const auto f =
            pair("Strokes/lookalike_query/kanji_10", "Strokes/floor_check_own/kanji_10")) {
        auto [query, own] = *f;
        line("Look-alike named, 10 strokes (< 20 ms)",
             text("%.0f us among %.0f characters, floor (checked against its own) %.0f us "
                  "[%.0f / %.0f us]",
                  query.nanoseconds / 1e3, query.counters["characters"], own.nanoseconds / 1e3,
                  query.cpuNanoseconds / 1e3, own.cpuNanoseconds / 1e3),
             query.nanoseconds < 20e6);
    }
    if (const auto f = pair("LookAlikes/index/shipped", "LookAlikes/floor_read_packs/shipped")) {
        const auto &[built, unpacked] = *f;
        std::printf("  %-34s %.0f ms, floor (the packs read) %.0f ms [%.0f / %.0f ms]\n",
                    "Look-alike index, every character", built.nanoseconds / 1e6,
                    unpacked.nanoseconds / 1e6, built.cpuNanoseconds / 1e6,
                    unpacked.cpuNanoseconds / 1e6);
    }
    if (const auto f = pair("Strokes/guide_twenty_strokes/kanji_20_variants",
                            "Strokes/floor_resample_strokes/kanji_20")) {
        auto [guided, resampled] = *f;
        const double perStroke = guided.nanoseconds / guided.counters["strokes"];
        line("Guided stroke, 20 strokes (< 1 ms)",
             text("%.0f us a stroke with %.0f references, floor (resampled) %.1f us [%.0f us]",
                  perStroke / 1e3, guided.counters["references"],
                  resampled.nanoseconds / guided.counters["strokes"] / 1e3,
                  guided.cpuNanoseconds / guided.counters["strokes"] / 1e3),
             perStroke < 1e6);
    }
    if (auto refused = reporter.figure("Strokes/guide_refusal/kanji_20_variants"))
        line("Guided stroke refused (< 1 ms)",
             text("%.0f us [%.0f us]", refused->nanoseconds / 1e3, refused->cpuNanoseconds / 1e3),
             refused->nanoseconds < 1e6);
    if (const auto f = pair("Solution/montrer_la_solution/ka_200px",
                            "Solution/floor_picture_without_strokes/ka_200px")) {
        const auto &[shown, plain] = *f;
        std::printf("  %-34s %.0f us, floor (no stroke file) %.0f us: %.2fx [%.0f / %.0f us]\n",
                    "Montrer la solution, 200 px ka", shown.nanoseconds / 1e3,
                    plain.nanoseconds / 1e3, shown.nanoseconds / plain.nanoseconds,
                    shown.cpuNanoseconds / 1e3, plain.cpuNanoseconds / 1e3);
    }
    // A frame of the stroke order within one frame of a 60 Hz screen, whatever the stroke file.
    for (const auto &[kind, label] : {std::pair<std::string, const char *>{"ka", "ka"},
                                      {"64_strokes_of_253_elements", "64x253"},
                                      {"one_path_1MB", "1 path 1MB"},
                                      {"64_paths_1MB", "64 paths 1MB"}}) {
        const auto f = pair("StrokeOrder/frame/" + kind, "StrokeOrder/floor_picture_alone");
        if (!f)
            continue;
        const auto &[frame, picture] = *f;
        line(text("Stroke order %s (<16 ms)", label),
             text("%.0f us%s, floor (the picture alone) %.0f us [%.0f / %.0f us]",
                  frame.nanoseconds / 1e3, frame.counters.at("played") > 0 ? "" : " (not played)",
                  picture.nanoseconds / 1e3, frame.cpuNanoseconds / 1e3,
                  picture.cpuNanoseconds / 1e3),
             frame.nanoseconds < 16e6);
    }

    // The history, 100 000 judgements stored.
    if (const auto f =
            pair("History/record_with_strokes/100000", "History/floor_bare_insert/100000")) {
        auto [recorded, bare] = *f;
        const double median = recorded.counters["median_us"];
        line("Judgement recorded (median < 2 ms)",
             text("%.0f us (p95 %.0f us), floor (bare insert) %.0f us (p95 %.0f us)", median,
                  recorded.counters["p95_us"], bare.counters["median_us"], bare.counters["p95_us"]),
             median < 2000);
    }
    if (const auto f =
            pair("History/statistics_window/100000", "History/floor_grouped_read/100000")) {
        const auto &[window, grouped] = *f;
        line("Statistics window (< 300 ms)",
             text("%.1f ms, floor (one grouped read) %.1f ms [%.1f / %.1f ms]",
                  window.nanoseconds / 1e6, grouped.nanoseconds / 1e6, window.cpuNanoseconds / 1e6,
                  grouped.cpuNanoseconds / 1e6),
             window.nanoseconds < 300e6);
    }
    if (const auto f = pair("History/import/100000_into_100000",
                            "History/floor_insert_select/100000_into_100000")) {
        const auto &[imported, inserted] = *f;
        line("Import 100 000 into 100 000 (< 5 s)",
             text("%.2f s, floor (one INSERT ... SELECT) %.2f s: %.1fx", imported.nanoseconds / 1e9,
                  inserted.nanoseconds / 1e9, imported.nanoseconds / inserted.nanoseconds),
             imported.nanoseconds < 5e9);
    }
    // The learner's own exercises.
    if (const auto f =
            pair("OwnExercise/live_count/100000", "OwnExercise/floor_read_text/100000")) {
        const auto &[counted, read] = *f;
        line("Live count, 100 000 chars (< 50 ms)",
             text("%.2f ms, floor (the text read back and visited) %.2f ms [%.2f / %.2f ms]",
                  counted.nanoseconds / 1e6, read.nanoseconds / 1e6, counted.cpuNanoseconds / 1e6,
                  read.cpuNanoseconds / 1e6),
             counted.nanoseconds < 50e6);
    }
    if (const auto f = pair("History/resume_menu/8x9999", "History/floor_resume_rows/8x9999")) {
        const auto &[menu, rows] = *f;
        line("Reprendre listing, 8 x 9999 (< 20 ms)",
             text("%.0f us, floor (the rows read) %.0f us [%.0f / %.0f us]", menu.nanoseconds / 1e3,
                  rows.nanoseconds / 1e3, menu.cpuNanoseconds / 1e3, rows.cpuNanoseconds / 1e3),
             menu.nanoseconds < 20e6);
    }
    if (auto stored = reporter.figure("History/bytes_per_judgement")) {
        const double bytes = stored->counters["bytes_per_judgement"];
        line("Bytes per judgement (< 1.5 KB)",
             text("%.0f bytes, floor (the drawing's own bytes, %.0f points) %.0f bytes", bytes,
                  stored->counters["drawing_points"], stored->counters["drawing_bytes"]),
             bytes < 1500);
    }
}
