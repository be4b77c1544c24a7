// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Paths are bytes; text boxes and the folder tree hold text. A name that is not valid
// UTF-8 shows with replacement characters, which would turn into other bytes when the
// text is read back. These keep the bytes behind the text.

#include <QString>
#include <string>

class QLineEdit;

namespace kestrova {

// Shows `bytes` in the box and remembers them.
void SetBoxBytes(QLineEdit* box, const std::string& bytes);
// The bytes last given to the box while its text is still the text they showed as;
// once the text has been changed, the text in UTF-8.
std::string BoxBytes(const QLineEdit* box);

// The bytes of an existing folder path as the folder tree shows it: each name that
// does not exist as its UTF-8 text is looked up among its folder's entries by the text
// it shows as. A name with no such entry keeps its UTF-8 text.
std::string FolderPathBytes(const QString& shown);

} // namespace kestrova
