// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/DesktopLinkOpener.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kestrova {

namespace {

// xdg-mime is a small script; a desktop that does not answer in this time has no
// usable answer.
constexpr int kQueryTimeoutMs = 5000;

std::optional<std::string> defaultWebPageDesktopId() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!query.waitForFinished(kQueryTimeoutMs) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        query.waitForFinished(kQueryTimeoutMs);
        return std::nullopt;
    }
    const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    if (id.isEmpty() || id.contains(QLatin1Char('/')) || id.contains(QLatin1Char('\n'))) {
        return std::nullopt;
    }
    return id.toStdString();
}

} // namespace

bool DesktopLinkOpener::openWithDesktop(const std::string& url) {
    const QUrl address = QUrl::fromUserInput(QString::fromStdString(url));
    return address.isValid() && QDesktopServices::openUrl(address);
}

std::optional<std::string> DesktopLinkOpener::webPageHandlerCommand() {
    const auto id = defaultWebPageDesktopId();
    if (!id) {
        return std::nullopt;
    }
    const QString path =
        QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString::fromStdString(*id));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return execFromDesktopEntry(file.readAll().toStdString());
}

int DesktopLinkOpener::startProgram(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        return kOpenOutOfResources;
    }
    // Its own session, so that the handler outlives this program and its terminal.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, args[0], nullptr, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        return openCodeFromErrno(error);
    }
    // The handler runs on its own; collect its exit status whenever it ends.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return kOpenSucceeded;
}

} // namespace kestrova
