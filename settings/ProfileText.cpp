// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/ProfileText.h"

#include <climits>
#include <optional>
#include <vector>

namespace kestrova {

namespace {

// One line of the text, as offsets: [start, bodyEnd) is its text without the
// LF, [start, end) includes it.
struct Line {
    std::size_t start;
    std::size_t bodyEnd;
    std::size_t end;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t bodyEnd = lf == std::string_view::npos ? text.size() : lf;
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
        lines.push_back({start, bodyEnd, end});
        start = end;
    }
    return lines;
}

std::string_view BodyOf(std::string_view text, const Line& line) {
    return text.substr(line.start, line.bodyEnd - line.start);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// What a line means in the file.
struct Entry {
    enum Kind { Other, Section, Key } kind = Other;
    std::string_view name;  // section or key name
    std::string_view value; // a key's value
};

Entry Classify(std::string_view body) {
    const std::string_view line = Trim(body);
    if (line.empty() || line.front() == ';') {
        return {};
    }
    if (line.front() == '[') {
        const std::size_t close = line.find(']');
        return {Entry::Section,
                Trim(line.substr(1, close == std::string_view::npos ? close : close - 1)),
                {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {Entry::Key, line, {}};
    }
    return {Entry::Key, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

// Where the key is, or where it would go.
struct Place {
    std::optional<std::size_t> keyLine;     // the line that sets the key
    std::optional<std::size_t> sectionLast; // last non-blank line of the first matching section
    Entry entry;
};

Place Find(std::string_view text, const std::vector<Line>& lines, std::string_view section,
           std::string_view key) {
    Place place;
    bool inSection = false;
    bool inFirstSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Entry entry = Classify(BodyOf(text, lines[i]));
        if (entry.kind == Entry::Section) {
            inSection = SameName(entry.name, section);
            inFirstSection = inSection && !place.sectionLast;
            if (inFirstSection) {
                place.sectionLast = i;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (inFirstSection && !Trim(BodyOf(text, lines[i])).empty()) {
            place.sectionLast = i;
        }
        if (entry.kind == Entry::Key && SameName(entry.name, key)) {
            place.keyLine = i;
            place.entry = entry;
            return place;
        }
    }
    return place;
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string LineEndOf(std::string_view text) {
    const std::size_t lf = text.find('\n');
    if (lf != std::string_view::npos && (lf == 0 || text[lf - 1] != '\r')) {
        return "\n";
    }
    return "\r\n";
}

} // namespace

int ProfileInt(std::string_view text, std::string_view section, std::string_view key,
               int fallback) {
    const Place place = Find(text, SplitLines(text), section, key);
    if (!place.keyLine) {
        return fallback;
    }
    long long number = 0;
    for (const char c : Unquoted(place.entry.value)) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + (c - '0');
        if (number > INT_MAX) {
            return INT_MAX;
        }
    }
    return static_cast<int>(number);
}

std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value) {
    const std::vector<Line> lines = SplitLines(text);
    const Place place = Find(text, lines, section, key);
    const std::string eol = LineEndOf(text);
    std::string result;
    result.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (place.keyLine) {
        const Line& line = lines[*place.keyLine];
        // The key keeps its spelling; a CR before the LF stays with the line end.
        std::size_t bodyEnd = line.bodyEnd;
        if (bodyEnd > line.start && text[bodyEnd - 1] == '\r') {
            --bodyEnd;
        }
        result.append(text.substr(0, line.start));
        result.append(place.entry.name).append("=").append(value);
        result.append(text.substr(bodyEnd));
        return result;
    }

    const std::size_t insertAt = place.sectionLast ? lines[*place.sectionLast].end : text.size();
    result.append(text.substr(0, insertAt));
    if (!result.empty() && result.back() != '\n') {
        result.append(eol);
    }
    if (!place.sectionLast) {
        result.append("[").append(section).append("]").append(eol);
    }
    result.append(key).append("=").append(value).append(eol);
    result.append(text.substr(insertAt));
    return result;
}

} // namespace kestrova
