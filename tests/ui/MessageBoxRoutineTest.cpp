#include "ui/MessageBoxRoutine.h"
#include "PresetAnswers.h"

#include <QApplication>
#include <QDialog>
#include <QThread>
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
