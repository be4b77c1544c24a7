// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// bench-table: turns the benchmark's result lines into Markdown tables: the median
// time and peak memory of each tool in each scenario, then the median over the
// repetitions of each pair's ratio (kestrova-sync's time over the peer's, both from
// the same repetition, so that runs close in time are compared) with the worst pair
// beside it. The window is compared with kestrova-sync, offscreen and on a display.
// With --series it prints the growth series of bench/scale instead.
//
// Input lines (tab-separated): scenario tool repetition seconds peak-KiB status,
// where status is "ok" for a run whose result was verified.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Run {
    double seconds = 0;
    long kib = 0;
};

// scenario -> tool -> repetition -> run
using Results = std::map<std::string, std::map<std::string, std::map<int, Run>>>;

const std::vector<std::string> scenarios = {"Sa", "Sb", "Sc", "Sd", "Sr", "La", "Lr", "Sp"};
const std::vector<std::string> tools = {"kestrova", "window", "window-x", "rsync",  "rsync-fsync",
                                        "rclone",   "cp",     "floor",    "floor2", "previous"};
// The peers kestrova-sync is compared with; the window is compared with kestrova-sync.
const std::vector<std::string> peers = {"rsync", "rsync-fsync", "rclone",  "cp",
                                        "floor", "floor2",      "previous"};

std::string heading(const std::string& tool, const std::string& scenario) {
    if (tool == "kestrova") {
        return "kestrova-sync";
    }
    if (tool == "cp") {
        return "cp -a";
    }
    if (tool == "window") {
        return "window";
    }
    if (tool == "window-x") {
        return "window on X";
    }
    if (tool == "rsync-fsync") {
        return "rsync --fsync";
    }
    if (tool == "previous") {
        return "previous kestrova-sync";
    }
    if (tool == "floor2") {
        return "two-thread floor";
    }
    if (tool == "floor") {
        return scenario.empty()     ? "floor"
               : scenario[0] == 'L' ? "cp --reflink=never"
                                    : "metadata floor";
    }
    return tool;
}

std::string describe(const std::string& scenario) {
    if (scenario == "Sa") {
        return "Sa: first copy of S";
    }
    if (scenario == "Sb") {
        return "Sb: no change on S";
    }
    if (scenario == "Sc") {
        return "Sc: 1% of S touched";
    }
    if (scenario == "Sd") {
        return "Sd: 10% of S removed";
    }
    if (scenario == "Sr") {
        return "Sr: 10% of S's folders renamed";
    }
    if (scenario == "Lr") {
        return "Lr: L's folder renamed";
    }
    if (scenario == "Sp") {
        return "Sp: first copy of a sparse file";
    }
    return "La: first copy of L";
}

std::string target(const std::string& scenario) {
    if (scenario == "Sa") {
        return "<= 0.9 x cp -a; < 1.0 x rsync, rclone; <= 0.4 x rsync --fsync; <= 1.25 x "
               "previous";
    }
    if (scenario == "Sb") {
        return "<= 1.0 x floor; <= 1.3 x two-thread floor; <= 0.4 x rsync";
    }
    if (scenario == "Sc") {
        return "<= 0.45 x rsync; < 1.0 x rclone; <= 0.4 x rsync --fsync; <= 1.25 x previous";
    }
    if (scenario == "Sd") {
        return "<= 0.4 x rsync; < 1.0 x rclone";
    }
    if (scenario == "Sr") {
        return "<= 0.25 x rsync";
    }
    if (scenario == "Lr") {
        return "<= 0.01 x rsync";
    }
    if (scenario == "Sp") {
        return "<= 1.0 x cp --sparse=always; no more room on disk than the source";
    }
    return "<= 1.053 x cp --reflink=never (>= 0.95 x its throughput)";
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The ratios of one tool's time over another's, repetition by repetition.
std::vector<double> pairedRatios(const std::map<int, Run>& over, const std::map<int, Run>& under) {
    std::vector<double> ratios;
    for (const auto& [repetition, run] : under) {
        const auto found = over.find(repetition);
        if (found != over.end() && run.seconds > 0) {
            ratios.push_back(found->second.seconds / run.seconds);
        }
    }
    return ratios;
}

// "median (worst)", the worst being the pair least favourable to the first tool.
std::string ratioCell(const std::vector<double>& ratios) {
    if (ratios.empty()) {
        return {};
    }
    return fixed(median(ratios), 2) + " (" +
           fixed(*std::max_element(ratios.begin(), ratios.end()), 2) + ")";
}

double medianSeconds(const std::map<int, Run>& runs) {
    std::vector<double> seconds;
    for (const auto& [repetition, run] : runs) {
        seconds.push_back(run.seconds);
    }
    return median(seconds);
}

double medianMib(const std::map<int, Run>& runs) {
    std::vector<double> mib;
    for (const auto& [repetition, run] : runs) {
        mib.push_back(static_cast<double>(run.kib) / 1024.0);
    }
    return median(mib);
}

// bench/scale's series: scenarios are F (first copy) or N (no change) followed by the
// number of files.
void printSeries(Results& results) {
    const std::vector<std::string> series = {"kestrova", "window", "rsync"};
    std::map<char, std::map<long, std::string>> byKind; // kind -> files -> scenario
    for (const auto& [scenario, runs] : results) {
        if (scenario.size() > 1 && (scenario[0] == 'F' || scenario[0] == 'N')) {
            byKind[scenario[0]][std::stol(scenario.substr(1))] = scenario;
        }
    }
    std::cout << "Median time per file in microseconds (median peak resident memory in MiB), "
                 "runs verified; paired ratios kestrova-sync / rsync and window / "
                 "kestrova-sync as median (worst pair):\n\n"
              << "| Run | Files | kestrova-sync | window | rsync | vs rsync | window / "
                 "kestrova-sync |\n|---|---:|---:|---:|---:|---:|---:|\n";
    for (const auto& [kind, sizes] : byKind) {
        for (const auto& [files, scenario] : sizes) {
            std::cout << "| " << (kind == 'F' ? "first copy" : "no change") << " | " << files
                      << " |";
            for (const auto& tool : series) {
                const auto& runs = results[scenario][tool];
                if (runs.empty()) {
                    std::cout << " |";
                    continue;
                }
                std::cout << ' ' << fixed(medianSeconds(runs) / static_cast<double>(files) * 1e6, 1)
                          << " (" << fixed(medianMib(runs), 1) << ") |";
            }
            std::cout << ' '
                      << ratioCell(pairedRatios(results[scenario]["kestrova"],
                                                results[scenario]["rsync"]))
                      << " | "
                      << ratioCell(pairedRatios(results[scenario]["window"],
                                                results[scenario]["kestrova"]))
                      << " |\n";
        }
    }
    std::cout << "\nGrowth across the series, per tool: the slowest time per file over the "
                 "fastest, and the change of peak memory from the smallest tree to the largest:"
                 "\n\n| Run | Tool | Time per file, max / min | Peak memory, smallest -> largest "
                 "| Bytes per file in between |\n|---|---|---:|---:|---:|\n";
    for (const auto& [kind, sizes] : byKind) {
        for (const auto& tool : series) {
            std::vector<double> perFile;
            long firstFiles = 0, lastFiles = 0;
            double firstMib = 0, lastMib = 0;
            for (const auto& [files, scenario] : sizes) {
                const auto& runs = results[scenario][tool];
                if (runs.empty()) {
                    continue;
                }
                perFile.push_back(medianSeconds(runs) / static_cast<double>(files));
                if (firstFiles == 0) {
                    firstFiles = files;
                    firstMib = medianMib(runs);
                }
                lastFiles = files;
                lastMib = medianMib(runs);
            }
            if (perFile.size() < 2) {
                continue;
            }
            const auto [low, high] = std::minmax_element(perFile.begin(), perFile.end());
            std::cout << "| " << (kind == 'F' ? "first copy" : "no change") << " | "
                      << heading(tool, "") << " | " << fixed(*high / *low, 2) << " | "
                      << fixed(firstMib, 1) << " -> " << fixed(lastMib, 1) << " MiB | "
                      << fixed((lastMib - firstMib) * 1048576.0 /
                                   static_cast<double>(lastFiles - firstFiles),
                               0)
                      << " |\n";
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    Results results;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream fields(line);
        std::string scenario, tool, status;
        int repetition = 0;
        Run run;
        if (fields >> scenario >> tool >> repetition >> run.seconds >> run.kib >> status &&
            status == "ok") {
            results[scenario][tool][repetition] = run;
        }
    }
    if (argc > 1 && std::string(argv[1]) == "--series") {
        printSeries(results);
        return 0;
    }

    std::cout << "Median time in seconds (median peak resident memory in MiB), runs verified:\n\n"
              << "| Scenario |";
    for (const auto& tool : tools) {
        std::cout << ' ' << heading(tool, "") << " |";
    }
    std::cout << "\n|---|";
    for (std::size_t i = 0; i < tools.size(); ++i) {
        std::cout << "---:|";
    }
    std::cout << '\n';
    for (const auto& scenario : scenarios) {
        if (!results.count(scenario)) {
            continue;
        }
        std::cout << "| " << describe(scenario) << " |";
        for (const auto& tool : tools) {
            const auto found = results[scenario].find(tool);
            if (found == results[scenario].end() || found->second.empty()) {
                std::cout << " |";
                continue;
            }
            std::cout << ' ' << fixed(medianSeconds(found->second), 2) << " ("
                      << fixed(medianMib(found->second), 1) << ") |";
        }
        std::cout << '\n';
    }
    std::cout << "\n(floor: the metadata floor in Sb, cp --reflink=never in La; cp -a runs "
                 "with --sparse=always in Sp)\n\n"
              << "Paired ratios, kestrova-sync's time over the peer's, as the median over "
                 "repetitions and the worst pair in brackets (below 1.0 means kestrova-sync is "
                 "faster):\n\n"
              << "| Scenario |";
    for (const auto& peer : peers) {
        std::cout << " vs " << heading(peer, "") << " |";
    }
    std::cout << " Target |\n|---|";
    for (std::size_t i = 0; i < peers.size(); ++i) {
        std::cout << "---:|";
    }
    std::cout << "---|\n";
    for (const auto& scenario : scenarios) {
        if (!results.count(scenario) || !results[scenario].count("kestrova")) {
            continue;
        }
        const auto& ours = results[scenario]["kestrova"];
        std::cout << "| " << scenario << " |";
        for (const auto& peer : peers) {
            std::cout << ' ' << ratioCell(pairedRatios(ours, results[scenario][peer])) << " |";
        }
        std::cout << ' ' << target(scenario) << " |\n";
    }
    bool windowHeading = false;
    for (const auto& scenario : scenarios) {
        const auto offscreen =
            pairedRatios(results[scenario]["window"], results[scenario]["kestrova"]);
        const auto onDisplay =
            pairedRatios(results[scenario]["window-x"], results[scenario]["kestrova"]);
        if (offscreen.empty() && onDisplay.empty()) {
            continue;
        }
        if (!windowHeading) {
            std::cout << "\nThe window's run (Start to the completion box drawn) over "
                         "kestrova-sync's, offscreen and on an X display with a window "
                         "manager, paired, median (worst pair):\n\n| Scenario | window / "
                         "kestrova-sync | window on X / kestrova-sync | Target |\n"
                         "|---|---:|---:|---|\n";
            windowHeading = true;
        }
        std::cout << "| " << scenario << " | " << ratioCell(offscreen) << " | "
                  << ratioCell(onDisplay) << " | <= 1.05 |\n";
    }
    return 0;
}
