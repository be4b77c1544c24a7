#pragma once

#include "sync/FileSystem.h"
#include "sync/RunWindow.h"

namespace kestrova {

// What both passes of a pair work with.
struct PassContext {
    RunWindow& window;
    FileSystem& fs;
    // Set by the copy pass: 0, or the errno of opening the pair's target folder.
    int targetError = 0;

    bool stopped() const { return window.stopped(); }
};

} // namespace kestrova
