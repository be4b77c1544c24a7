// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/MessageBoxRoutine.h"
#include "PresetAnswers.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace kestrova {
namespace {

TEST(MessageBoxRoutine, CaptionsEveryBoxAndPassesStyleAndAnswer) {
    test::PresetAnswers answers;
    answers.preset(BoxAnswer::Yes);
    MessageBoxRoutine routine(answers);
    QWidget main;
    routine.setMainWindow(&main);

    EXPECT_EQ(routine.show(std::string("路徑"), BoxStyle::YesNoQuestion), BoxAnswer::Yes);
    EXPECT_EQ(routine.show(std::string("x"), BoxStyle::YesNoQuestion), BoxAnswer::No);
    ASSERT_EQ(answers.shown.size(), 2u);
    EXPECT_EQ(answers.shown[0].caption, "Kestrova");
    EXPECT_EQ(answers.shown[0].text, QString::fromUtf8("路徑"));
    EXPECT_EQ(answers.shown[0].style, BoxStyle::YesNoQuestion);
    EXPECT_EQ(answers.shown[0].owner, &main);
}

TEST(MessageBoxRoutine, TheTopModalDialogOwnsTheBox) {
    test::PresetAnswers answers;
    MessageBoxRoutine routine(answers);
    QWidget main;
    routine.setMainWindow(&main);
    main.show();

    QDialog popup(&main);
    popup.setModal(true);
    popup.show();
    EXPECT_EQ(routine.owner(), &popup);
    popup.hide();
    EXPECT_EQ(routine.owner(), &main);
}

TEST(MessageBoxRoutine, AWorkerWaitsWhileTheBoxIsShownOnTheInterfaceThread) {
    test::PresetAnswers answers;
    answers.preset(BoxAnswer::Yes);
    MessageBoxRoutine routine(answers);

    std::atomic<bool> done = false;
    BoxAnswer answer = BoxAnswer::Ok;
    std::thread worker([&] {
        answer = static_cast<MessagePrompt&>(routine).show("建立?", BoxStyle::YesNoQuestion);
        done = true;
    });
    while (!done) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    worker.join();
    EXPECT_EQ(answer, BoxAnswer::Yes);
    ASSERT_EQ(answers.shown.size(), 1u);
}

} // namespace
} // namespace kestrova

namespace kestrova {
namespace {

// A box asked for while another is open (a run ending under the "stop first" box)
// opens only once that one is closed; every box leaves room for its whole caption.
TEST(ModalBoxPresenter, ShowsOneBoxAtATimeEachWideEnoughForItsCaption) {
    ModalBoxPresenter presenter;
    MessageBoxRoutine routine(presenter);
    QWidget main;
    routine.setMainWindow(&main);
    main.show();

    std::vector<QString> seen;
    std::size_t mostAtOnce = 0;
    int narrowest = 1 << 20;
    int ticks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        std::vector<QMessageBox*> open;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                open.push_back(box);
            }
        }
        mostAtOnce = std::max(mostAtOnce, open.size());
        if (open.empty()) {
            return;
        }
        QMessageBox* box = open.front();
        narrowest = std::min(narrowest, box->width());
        if (seen.empty() || seen.back() != box->text()) {
            seen.push_back(box->text());
            ticks = 0;
            if (seen.size() == 1) {
                QTimer::singleShot(
                    0, [&] { routine.show(QStringLiteral("2"), BoxStyle::OkExclamation); });
            }
        }
        if (++ticks == 5) {
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start(10);
    routine.show(QStringLiteral("1"), BoxStyle::OkExclamation); // box 2 opens inside its loop
    EXPECT_EQ(seen, (std::vector<QString>{"1", "2"}));
    EXPECT_EQ(mostAtOnce, 1u);
    EXPECT_GE(narrowest, QFontMetrics(main.font()).horizontalAdvance("Kestrova") + 100);
}

} // namespace
} // namespace kestrova
