// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// One QApplication for the whole widget test program, created before the first test.

#include "res/ResourceImages.h"
#include "support/TreeFixture.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Without a runtime folder Qt makes one in the temporary folder and leaves it
        // there; the tests get one of their own, removed at the end.
        if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
            m_runtime = std::make_unique<kestrova::test::TempFolder>();
            ::chmod(m_runtime->path().c_str(), 0700);
            ::setenv("XDG_RUNTIME_DIR", m_runtime->path().c_str(), 1);
        }
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
        kestrova::InitResources();
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
        if (m_runtime != nullptr) {
            ::unsetenv("XDG_RUNTIME_DIR");
            m_runtime.reset();
        }
    }

private:
    QApplication* m_app = nullptr;
    std::unique_ptr<kestrova::test::TempFolder> m_runtime;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
