// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/PairListFile.h"

#include "settings/ConfigPaths.h"
#include "settings/ReplaceFile.h"

namespace kestrova {

namespace {

std::string_view TrimAll(std::string_view s, char c) {
    while (!s.empty() && s.front() == c) {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == c) {
        s.remove_suffix(1);
    }
    return s;
}

// The Windows program trims CR first and LF second, so a CR just before the
// line's LF survives when the file held CR CR LF; keep that for identical reads.
std::string_view TrimPart(std::string_view part) {
    return TrimAll(TrimAll(part, '\r'), '\n');
}

void AddPairFromLine(std::string_view line, PairListAccess& list) {
    const std::size_t bar = line.find('|');
    if (bar == std::string_view::npos) {
        return;
    }
    list.appendRow(std::string(TrimPart(line.substr(0, bar))),
                   std::string(TrimPart(line.substr(bar + 1))));
}

} // namespace

void ParsePairList(std::string_view contents, PairListAccess& list) {
    // Each line is taken with its LF, a CR LF pair counting as one LF, as the
    // Windows program's text-mode reads deliver it; lines may be of any length.
    std::string line;
    while (!contents.empty()) {
        const std::size_t lf = contents.find('\n');
        const std::size_t end = lf == std::string_view::npos ? contents.size() : lf + 1;
        line.assign(contents.substr(0, end));
        contents.remove_prefix(end);
        if (line.size() >= 2 && line[line.size() - 1] == '\n' && line[line.size() - 2] == '\r') {
            line.erase(line.size() - 2, 1);
        }
        AddPairFromLine(line, list);
    }
}

std::string FormatPairList(const PairListAccess& list) {
    std::string contents;
    // Every LF goes out as CR LF, the one inside a path included, just as the
    // Windows program's text-mode writes do.
    const auto append = [&contents](const std::string& text) {
        for (const char c : text) {
            if (c == '\n') {
                contents += '\r';
            }
            contents += c;
        }
    };
    const int rows = list.rowCount();
    for (int row = 0; row < rows; ++row) {
        append(list.rowText(row, 0));
        contents += '|';
        append(list.rowText(row, 1));
        contents += "\r\n";
    }
    return contents;
}

ReadStatus LoadPairList(PairListAccess& list) {
    return LoadPairList(list, PairListFileToRead());
}

ReadStatus LoadPairList(PairListAccess& list, const std::string& pairListFile) {
    std::string contents;
    const ReadStatus status = ReadWholeFile(pairListFile, contents);
    ParsePairList(TextFromFile(std::move(contents)), list);
    return status;
}

SaveResult SavePairList(const PairListAccess& list) {
    SaveFileSystem fs;
    return SavePairList(list, PairListFilePath(), fs);
}

SaveResult SavePairList(const PairListAccess& list, const std::string& pairListFile,
                        SaveFileSystem& fs) {
    return ReplaceFile(pairListFile, FormatPairList(list), fs);
}

} // namespace kestrova
