// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translate.h"
#include "ui/qt/SyncApp.h"

#include <cstdio>
#include <string_view>

namespace {

// --help and --version answer on standard output without opening the window, so that
// they work where there is no display. Every other argument is left to Qt.
bool AnswersOnTheCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("kestrova %s\n", KESTROVA_VERSION);
            return true;
        }
        if (arg == "--help" || arg == "-h") {
            kestrova::UseCatalogue(kestrova::DefaultLocaleFolder(),
                                   kestrova::LocaleVariablesFromEnvironment());
            std::fputs(kestrova::Translate(
                           "Usage: kestrova [Qt options]\n"
                           "Opens the Kestrova window, which keeps backup copies of folders up "
                           "to date.\n"
                           "\n"
                           "  --help     show this text\n"
                           "  --version  show the version\n"
                           "\n"
                           "Qt's standard options, such as -platform and -style, are accepted "
                           "too.\n"
                           "kestrova-sync runs the same synchronisation from the command line.\n"),
                       stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (AnswersOnTheCommandLine(argc, argv)) {
        return 0;
    }
    kestrova::SyncApp app(argc, argv);
    return app.run();
}
