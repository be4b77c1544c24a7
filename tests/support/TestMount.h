// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// A file system mounted for a test where this process may mount (as root in CI);
// elsewhere mounting fails and the test skips. Every command is bounded in time, and
// the mount is undone when the object goes, whatever the test's outcome: declare it
// after the folder holding its mount point, and a mount inside it after it.

#include <cstdlib>
#include <string>

namespace kestrova::test {

class TestMount {
public:
    explicit TestMount(std::string point) : point_(std::move(point)) {}
    ~TestMount() { unmount(); }
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;

    // Runs `command`, a shell command that mounts a file system on $POINT; true once
    // it is mounted.
    bool mount(const std::string& command) {
        unmount();
        const std::string script = "PATH=$PATH:/usr/sbin:/sbin POINT='" + point_ +
                                   "' timeout 120 sh -c '" + command + "' >/dev/null 2>&1";
        mounted_ = std::system(script.c_str()) == 0;
        return mounted_;
    }
    // Unmounts; a file system still busy is detached.
    void unmount() {
        if (mounted_) {
            std::system(("timeout 60 umount '" + point_ +
                         "' 2>/dev/null || timeout 20 umount -l '" + point_ + "'")
                            .c_str());
            mounted_ = false;
        }
    }
    const std::string& point() const { return point_; }

private:
    std::string point_;
    bool mounted_ = false;
};

} // namespace kestrova::test
