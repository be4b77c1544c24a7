// bench-table: turns the benchmark's result lines into Markdown tables: the median
// time and peak memory of each tool in each scenario, then the median over the
// repetitions of each pair's ratio (kestrova-sync's time over the peer's, both from
// the same repetition, so that runs close in time are compared).
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

const std::vector<std::string> scenarios = {"Sa", "Sb", "Sc", "Sd", "La", "Sp"};
const std::vector<std::string> tools = {"kestrova", "rsync", "rclone", "cp", "floor"};

std::string heading(const std::string& tool, const std::string& scenario) {
    if (tool == "kestrova") {
        return "kestrova-sync";
    }
    if (tool == "cp") {
        return "cp -a";
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
    if (scenario == "Sp") {
        return "Sp: first copy of a sparse file";
    }
    return "La: first copy of L";
}

std::string target(const std::string& scenario) {
    if (scenario == "Sa") {
        return "< 1.0 x cp -a, rsync, rclone; <= 0.8 x rsync";
    }
    if (scenario == "Sb") {
        return "<= 1.3 x floor; <= 0.5 x rsync";
    }
    if (scenario == "Sc" || scenario == "Sd") {
        return "<= 0.5 x rsync; < 1.0 x rclone";
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

} // namespace

int main() {
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
            std::vector<double> seconds, mib;
            for (const auto& [repetition, run] : found->second) {
                seconds.push_back(run.seconds);
                mib.push_back(static_cast<double>(run.kib) / 1024.0);
            }
            std::cout << ' ' << fixed(median(seconds), 2) << " (" << fixed(median(mib), 1) << ") |";
        }
        std::cout << '\n';
    }
    std::cout << "\n(floor: the metadata floor in Sb, cp --reflink=never in La; cp -a runs "
                 "with --sparse=always in Sp)\n\n"
              << "Paired ratios, kestrova-sync's time over the peer's (median over "
                 "repetitions; below 1.0 means kestrova-sync is faster):\n\n"
              << "| Scenario |";
    for (std::size_t i = 1; i < tools.size(); ++i) {
        std::cout << " vs " << heading(tools[i], "") << " |";
    }
    std::cout << " Target |\n|---|";
    for (std::size_t i = 1; i < tools.size(); ++i) {
        std::cout << "---:|";
    }
    std::cout << "---|\n";
    for (const auto& scenario : scenarios) {
        if (!results.count(scenario) || !results[scenario].count("kestrova")) {
            continue;
        }
        const auto& ours = results[scenario]["kestrova"];
        std::cout << "| " << scenario << " |";
        for (std::size_t i = 1; i < tools.size(); ++i) {
            std::vector<double> ratios;
            for (const auto& [repetition, run] : results[scenario][tools[i]]) {
                const auto mine = ours.find(repetition);
                if (mine != ours.end() && run.seconds > 0) {
                    ratios.push_back(mine->second.seconds / run.seconds);
                }
            }
            std::cout << ' ' << (ratios.empty() ? std::string() : fixed(median(ratios), 2)) << " |";
        }
        std::cout << ' ' << target(scenario) << " |\n";
    }
    return 0;
}
