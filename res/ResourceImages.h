#pragma once

// Where the program's image resources live among its compiled-in resources.

#include <QString>

namespace kestrova {

// ":/res/<id>.png": icon 128, bitmap 132.
inline QString ResourceImagePath(int id) {
    return QStringLiteral(":/res/%1.png").arg(id);
}

} // namespace kestrova
