// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kestrova {

// What loading and saving the pair list need of a list of pairs: the main
// window's list implements it, so do the command-line front end and the tests.
class PairListAccess {
public:
    virtual ~PairListAccess() = default;
    virtual int rowCount() const = 0;
    // column 0: source folder, column 1: target folder.
    virtual std::string rowText(int row, int column) const = 0;
    // Appends a row with an empty status and a clear check mark.
    virtual void appendRow(const std::string& source, const std::string& target) = 0;
};

} // namespace kestrova
