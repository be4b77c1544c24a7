#include "res/StringTable.h"

namespace kestrova {

const char* LoadResourceString(int id) {
    switch (id) {
    case kAboutMenuStringId:
        return "關于 Kestrova(&A)...";
    default:
        return "";
    }
}

} // namespace kestrova
