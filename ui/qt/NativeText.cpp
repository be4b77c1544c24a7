// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/NativeText.h"

#include <QLineEdit>
#include <QVariant>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace kestrova {

namespace {

const char* const kBytesProperty = "kestrovaBytes";
const char* const kShownProperty = "kestrovaShown";

QString Shown(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name shows as `name`; empty when there is none.
std::string EntryShownAs(const std::string& folder, const QString& name) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "/" : folder.c_str()),
                                                  ::closedir);
    if (!dir) {
        return {};
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (QString::fromUtf8(entry->d_name) == name) {
            return entry->d_name;
        }
    }
    return {};
}

} // namespace

void SetBoxBytes(QLineEdit* box, const std::string& bytes) {
    const QString text = Shown(bytes);
    box->setProperty(kBytesProperty, QByteArray(bytes.data(), qsizetype(bytes.size())));
    box->setProperty(kShownProperty, text);
    box->setText(text);
}

std::string BoxBytes(const QLineEdit* box) {
    const QString text = box->text();
    if (box->property(kShownProperty).toString() == text) {
        const QByteArray bytes = box->property(kBytesProperty).toByteArray();
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }
    return text.toStdString();
}

std::string FolderPathBytes(const QString& shown) {
    const std::string utf8 = shown.toStdString();
    if (!shown.startsWith(QLatin1Char('/')) || Exists(utf8)) {
        return utf8;
    }
    std::string path;
    for (const QString& name : shown.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        std::string next = path + "/" + name.toStdString();
        if (!Exists(next)) {
            const std::string entry = EntryShownAs(path, name);
            if (!entry.empty()) {
                next = path + "/" + entry;
            }
        }
        path = std::move(next);
    }
    return path.empty() ? utf8 : path;
}

} // namespace kestrova
