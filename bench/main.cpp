// Runs the benchmarks with Google Benchmark's usual table on stderr, then
// prints one "name: value" line on stdout for every benchmark that names
// itself a result with ReportAs: the median over its repetitions of the
// time per iteration, in the unit the name ends with. The time is the CPU
// time of the benchmark's thread, what the work costs whatever else the
// machine is doing; a benchmark that waits (for the disk) says UseRealTime
// and is measured by the clock on the wall. A counter whose name has the
// word _bytes (an average per iteration) is a result of its own, in bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

// Whether a result's name carries `unit` as one of its words: at its end
// ("save_us") or before a last word that says what was measured
// ("save_us_10y").
bool HasUnit(const std::string& name, const std::string& unit) {
    const std::string word = "_" + unit;
    if (name.size() > word.size() && name.compare(name.size() - word.size(), word.size(), word) == 0) return true;
    const size_t at = name.rfind(word + "_");
    return at != std::string::npos && at > 0 && name.find('_', at + word.size() + 1) == std::string::npos;
}

// Seconds in one unit of a result, from its name; 1 for bytes.
double UnitOf(const std::string& name) {
    if (HasUnit(name, "ns")) return 1e-9;
    if (HasUnit(name, "us")) return 1e-6;
    if (HasUnit(name, "ms")) return 1e-3;
    if (HasUnit(name, "bytes")) return 1;
    return 0;
}

class ResultReporter : public benchmark::ConsoleReporter {
public:
    ResultReporter() : ConsoleReporter(OO_Tabular) {
        SetOutputStream(&std::cerr);
        SetErrorStream(&std::cerr);
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            for (const auto& [name, counter] : run.counters)
                if (HasUnit(name, "bytes")) Add(name, counter.value);
            if (UnitOf(run.report_label) == 0 || HasUnit(run.report_label, "bytes")) continue;
            const bool wallClock = run.run_name.time_type == "real_time";
            double seconds = (wallClock ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) /
                             benchmark::GetTimeUnitMultiplier(run.time_unit);
            Add(run.report_label, seconds);
        }
    }

    // The results, in the order their benchmarks ran.
    void PrintResults(std::ostream& out) const {
        for (const std::string& name : order_) {
            std::vector<double> samples = results_.at(name);
            std::sort(samples.begin(), samples.end());
            size_t n = samples.size();
            double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
            out << name << ": " << std::llround(median / UnitOf(name)) << "\n";
        }
    }

private:
    void Add(const std::string& name, double value) {
        auto& samples = results_[name];
        if (samples.empty()) order_.push_back(name);
        samples.push_back(value);
    }

    std::map<std::string, std::vector<double>> results_;
    std::vector<std::string> order_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ResultReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintResults(std::cout);
    benchmark::Shutdown();
    return 0;
}
