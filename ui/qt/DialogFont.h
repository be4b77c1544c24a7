#pragma once

// The font a dialog template asks for, or the closest font this machine has: the
// named family when installed, then a Song/Ming-style CJK font (AR PL UMing), then
// any font that covers Chinese, so that every text of the program renders.

#include <QFont>

namespace kestrova {

QFont DialogFont(const char* familyName, int pointSize);

} // namespace kestrova
