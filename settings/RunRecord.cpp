// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/RunRecord.h"

#include "settings/FileContents.h"
#include "settings/ReplaceFile.h"

#include <charconv>
#include <string_view>

namespace kestrova {

namespace {

constexpr std::string_view kRunWord = "run ";
constexpr std::string_view kIndent = "  ";
// Pairs beyond these many are counted, not listed.
constexpr std::size_t kRecordedPairs = 100;

// One line, whatever the text holds.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return line;
}

std::string Counts(const RunCounts& counts) {
    return "examined " + std::to_string(counts.examined) + ", copied " +
           std::to_string(counts.copied) + ", failed " + std::to_string(counts.failed);
}

std::string PairLine(const RecordedPair& pair) {
    const std::string folders = OneLine(pair.source) + " -> " + OneLine(pair.target);
    switch (pair.outcome) {
    case RecordedPair::Outcome::Done:
        return "done " + folders + ": " + Counts(pair.counts);
    case RecordedPair::Outcome::DeletionsSkipped:
        return "deletions-skipped " + folders + ": " + Counts(pair.counts) + "; " +
               OneLine(pair.reason);
    case RecordedPair::Outcome::Skipped:
        return "skipped " + folders + ": " + OneLine(pair.reason);
    case RecordedPair::Outcome::NotRun:
        break;
    }
    return "not-run " + folders;
}

// The record's runs, each a block that starts with its head line. Anything before
// the first head line is not a run and is dropped.
std::vector<std::string_view> Blocks(std::string_view text) {
    std::vector<std::string_view> blocks;
    std::size_t start = std::string_view::npos;
    for (std::size_t at = 0; at < text.size();) {
        if (text.substr(at).starts_with(kRunWord)) {
            if (start != std::string_view::npos) {
                blocks.push_back(text.substr(start, at - start));
            }
            start = at;
        }
        const std::size_t end = text.find('\n', at);
        at = end == std::string_view::npos ? text.size() : end + 1;
    }
    if (start != std::string_view::npos) {
        blocks.push_back(text.substr(start));
    }
    return blocks;
}

std::uint64_t Number(std::string_view text) {
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

std::string FormatRecordedRun(const RecordedRun& run) {
    std::string block =
        std::string(kRunWord) + OneLine(run.time) + " exit " + std::to_string(run.exitStatus) +
        " pairs " + std::to_string(run.pairs.size()) + " examined " +
        std::to_string(run.counts.examined) + " copied " + std::to_string(run.counts.copied) +
        " failed " + std::to_string(run.counts.failed) + " skipped " + std::to_string(run.skipped);
    if (!run.invocation.empty()) {
        block += " invocation " + OneLine(run.invocation);
    }
    block += '\n';
    for (std::size_t i = 0; i < run.pairs.size() && i < kRecordedPairs; ++i) {
        block += std::string(kIndent) + PairLine(run.pairs[i]) + '\n';
    }
    if (run.pairs.size() > kRecordedPairs) {
        block += std::string(kIndent) + "more " +
                 std::to_string(run.pairs.size() - kRecordedPairs) + " pairs\n";
    }
    for (const std::string& failure : run.failures) {
        block += std::string(kIndent) + "failure " + OneLine(failure) + '\n';
    }
    if (run.failuresNotListed > 0) {
        block +=
            std::string(kIndent) + "more " + std::to_string(run.failuresNotListed) + " failures\n";
    }
    return block;
}

SaveResult AppendRecordedRun(const std::string& file, const RecordedRun& run, SaveFileSystem& fs,
                             std::size_t limit) {
    std::string old;
    if (ReadWholeFile(file, old) == ReadStatus::Unreadable) {
        return {SaveStatus::CannotWrite, file};
    }
    std::string newest = FormatRecordedRun(run);
    if (newest.size() > limit) {
        // Long paths in many pairs: the run's first lines, its head among them.
        newest.resize(newest.rfind('\n', limit - 1) + 1);
    }
    const std::vector<std::string_view> blocks = Blocks(old);
    std::size_t size = newest.size();
    std::size_t first = blocks.size();
    while (first > 0 && size + blocks[first - 1].size() <= limit) {
        size += blocks[--first].size();
    }
    std::string text;
    text.reserve(size);
    for (std::size_t i = first; i < blocks.size(); ++i) {
        text += blocks[i];
        if (!text.ends_with('\n')) {
            text += '\n';
        }
    }
    text += newest;
    return ReplaceFile(file, text, fs);
}

std::optional<RecordedRun> ReadLastRecordedRun(const std::string& file,
                                               std::vector<std::string>* details) {
    std::string text;
    if (ReadWholeFile(file, text) != ReadStatus::Read) {
        return std::nullopt;
    }
    const std::vector<std::string_view> blocks = Blocks(text);
    if (blocks.empty()) {
        return std::nullopt;
    }
    std::string_view block = blocks.back();
    const std::size_t headEnd = block.find('\n');
    std::string_view head = block.substr(0, headEnd);
    block = headEnd == std::string_view::npos ? std::string_view() : block.substr(headEnd + 1);

    RecordedRun run;
    std::vector<std::string_view> words;
    while (!head.empty()) {
        const std::size_t space = head.find(' ');
        words.push_back(head.substr(0, space));
        head = space == std::string_view::npos ? std::string_view() : head.substr(space + 1);
    }
    run.time = words.size() > 1 ? std::string(words[1]) : "";
    for (std::size_t i = 2; i + 1 < words.size(); i += 2) {
        const std::string_view key = words[i];
        const std::string_view value = words[i + 1];
        if (key == "exit") {
            run.exitStatus = static_cast<int>(Number(value));
        } else if (key == "examined") {
            run.counts.examined = Number(value);
        } else if (key == "copied") {
            run.counts.copied = Number(value);
        } else if (key == "failed") {
            run.counts.failed = Number(value);
        } else if (key == "skipped") {
            run.skipped = Number(value);
        } else if (key == "invocation") {
            run.invocation = value;
        }
    }
    while (details != nullptr && !block.empty()) {
        const std::size_t end = block.find('\n');
        std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 1);
        if (line.starts_with(kIndent)) {
            line.remove_prefix(kIndent.size());
        }
        if (!line.empty()) {
            details->emplace_back(line);
        }
    }
    return run;
}

} // namespace kestrova
