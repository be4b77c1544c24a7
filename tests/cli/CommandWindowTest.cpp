// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/CommandWindow.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace kestrova {
namespace {

std::string Written(std::FILE* out) {
    std::string text;
    std::rewind(out);
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, out)) > 0) {
        text.append(buffer, got);
    }
    return text;
}

// Each report is written from where the last one stopped, CR LF as LF, also where a
// CR LF falls between two of the pieces the report is read in; a lone CR stays.
TEST(CommandWindowTest, WritesWhatTheReportAddedWithPlainLineEnds) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    CommandWindow window({}, false, out);
    const std::string first(SpooledText::kPiece - 1, 'x');
    SpooledText report(first + "\r\n");
    window.setReport(report);
    report.append("a\rb\r\n");
    window.setReport(report);
    EXPECT_EQ(Written(out), first + "\na\rb\n");

    const SpooledText next("new run\r\n");
    window.setReport(next);
    EXPECT_EQ(Written(out), first + "\na\rb\nnew run\n");
    EXPECT_EQ(window.reportError(), 0);
    std::fclose(out);
}

} // namespace
} // namespace kestrova
