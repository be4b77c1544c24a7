#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>

namespace kestrova::test {

// Runs `steps` on the next modal window to open above the one active now, as soon
// as it is open. Should the steps leave it open, it is closed after a while, so
// that a failing test fails instead of hanging.
inline void WhileModal(std::function<void(QWidget&)> steps) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, below = QPointer<QWidget>(QApplication::activeModalWidget()),
                      steps = std::move(steps), tries = 0]() mutable {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (modal == nullptr || modal == below) {
                             if (++tries == 1000) {
                                 ADD_FAILURE() << "no modal window opened";
                                 poll->deleteLater();
                             }
                             return;
                         }
                         poll->stop();
                         poll->deleteLater();
                         steps(*modal);
                         QTimer::singleShot(5000, modal, [modal] {
                             ADD_FAILURE() << "modal window left open";
                             modal->close();
                         });
                     });
    poll->start();
}

template <typename T> T* Control(QWidget& window, int id) {
    return window.findChild<T*>(QString::number(id));
}

// Replaces a line edit's text as typing would, reporting the change.
inline void Type(QLineEdit* box, const std::string& text) {
    box->selectAll();
    box->insert(QString::fromStdString(text));
}

// A fresh folder under the system's temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "kestrova-XXXXXX";
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace kestrova::test
