#pragma once

// The closing table of plumetto_bench: each target's figure beside its floor, from the medians
// of the run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Shows the runs as the console reporter does and keeps, for each benchmark, the median of its
// repetitions (or its only run) for the table of targets.
class TargetReporter : public benchmark::ConsoleReporter
{
public:
    struct Figure
    {
        double nanoseconds = 0;
        double cpuNanoseconds = 0;
        std::map<std::string, double> counters;
    };

    void ReportRuns(const std::vector<Run> &reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run &run : reports) {
            if (run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_medians[name] = figureOf(run);
            } else {
                m_runs[name].push_back(figureOf(run));
            }
        }
    }

    // The median for a benchmark, or nothing when it did not run.
    std::optional<Figure> figure(const std::string &name) const
    {
        if (const auto it = m_medians.find(name); it != m_medians.end())
            return it->second;
        const auto it = m_runs.find(name);
        if (it == m_runs.end() || it->second.empty())
            return std::nullopt;
        std::vector<Figure> runs = it->second;
        std::sort(runs.begin(), runs.end(),
                  [](const Figure &a, const Figure &b) { return a.nanoseconds < b.nanoseconds; });
        return runs[runs.size() / 2];
    }

private:
    static Figure figureOf(const Run &run)
    {
        Figure f;
        const double toNanoseconds = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        f.nanoseconds = run.GetAdjustedRealTime() * toNanoseconds;
        f.cpuNanoseconds = run.GetAdjustedCPUTime() * toNanoseconds;
        for (const auto &[key, counter] : run.counters)
            f.counters[key] = counter.value;
        return f;
    }

    std::map<std::string, Figure> m_medians;
    std::map<std::string, std::vector<Figure>> m_runs;
};

// One line per target: the figure and its floor in wall-clock time, the verdict on them, and
// the same ratio in processor time, which a machine busy with other work disturbs less.
void printTargets(const TargetReporter &reporter);
