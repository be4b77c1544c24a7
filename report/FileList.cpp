// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "report/FileList.h"

#include "report/VisibleText.h"

#include <string>

namespace kestrova {

void FileList::add(std::string_view path) {
    if (NeedsEscaping(path)) {
        m_text.append(VisibleText(path));
    } else {
        m_text.append(path);
    }
    m_text.append("\r\n");
}

void FileList::moveTo(SpooledText& out) {
    out.append(m_text);
    m_text.clear();
}

} // namespace kestrova
