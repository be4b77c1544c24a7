#pragma once

#include "sync/FileSystem.h"
#include "sync/RunWindow.h"

namespace kestrova {

// What both passes of a pair work with.
struct PassContext {
    RunWindow& window;
    FileSystem& fs;

    bool stopped() const { return window.stopped(); }
};

} // namespace kestrova
