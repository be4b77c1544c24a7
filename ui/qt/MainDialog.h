// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The program's main window, built from dialog template 102: the pair list, the
// delete option with the trash option beside it, Start, Stop and Preview, the report
// pane with the deleted-list option in its menu, and the status line. It loads the
// options and the pair list when it opens and saves them on Close, starts, previews
// and stops the sync run, and is the window the run reads and writes (SyncWindow, on
// the user-interface thread; the run itself reaches it through a PostedRunWindow).
//
// Commands are listed in the command table in MainDialog.cpp.

#include "report/SyncWindow.h"
#include "settings/SaveFileSystem.h"
#include "settings/Settings.h"
#include "ui/MainWindowSession.h"
#include "ui/RunReport.h"
#include "ui/qt/CommandTable.h"
#include "ui/qt/QtUiThreadQueue.h"
#include "ui/qt/TemplateDialog.h"

#include <QRect>
#include <map>
#include <memory>
#include <string>

class QAction;
class QTimer;

namespace kestrova {

class FileSystem;
class MessageBoxRoutine;
class PairList;
class PostedRunWindow;
class SelectionMark;

// Where the window keeps the option and the pair list between runs of the program.
struct MainDialogFiles {
    std::string settingsFile;
    std::string pairListFile;
    // The record of scheduled runs, whose newest run the report pane shows at first.
    std::string runRecordFile = {};

    // The user's own files.
    static MainDialogFiles Default();
};

class MainDialog : public TemplateDialog, public SyncWindow {
    Q_OBJECT
public:
    MainDialog(MessageBoxRoutine& messages, MainDialogFiles files, SaveFileSystem& fileSystem,
               QWidget* parent = nullptr);
    ~MainDialog() override;

    PairList& pairList() const { return *m_list; }

    // The file-system port the next run uses; the POSIX one when none is set. It must
    // outlive the run.
    void setRunFileSystem(FileSystem* fileSystem) { m_runFileSystem = fileSystem; }
    MessageBoxRoutine& messages() const { return m_messages; }

    // The dialog's OK command (Enter on anything but a push button) does nothing.
    void accept() override;
    // The cancel command (Escape) ends the dialog without saving; refused during a run.
    // When the list or the option changed since they were loaded, it asks first
    // whether to save and leave, leave without saving, or stay.
    void reject() override;

    // Whether the pairs or the options differ from what the files hold.
    bool hasUnsavedChanges() const;

    // What the run reads and writes; user-interface thread only.
    int rowCount() override;
    int rowCheckState(int row) override;
    std::string rowSource(int row) override;
    std::string rowTarget(int row) override;
    void setRowStatus(int row, const std::string& text) override;
    void setStatusLine(const std::string& text) override;
    void setReport(const SpooledText& report) override;
    bool deleteOption() override;
    void enableStart(bool enabled) override;
    void enableStop(bool enabled) override;
    void enableDeleteOption(bool enabled) override;
    void messageBox(const std::string& text) override;
    // Kept for the pair's block, where the pane shows it with its reason.
    void entryFailed(const std::string& path, const EntryFailure& failure) override;
    // A preview when Preview started the run; the trash and deleted-list options.
    RunOptions runOptions() override;

    // A command of the window's system menu. Identifiers 16 to 31 open the About box
    // (the menu's "關于 Kestrova(&A)..." item is 16); returns false for every other
    // command, which keeps its usual meaning. Only a window system that lets the
    // program add to the window menu sends these.
    bool systemCommand(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static const CommandEntry<MainDialog> kCommands[];

    void onStart();
    void onPreview();
    void onStop();
    void onDeleteSelected();
    void onCheckAll();
    void onUncheckAll();
    void onAddPair();
    void onEditPair();
    void onAbout();

    // Close: ends the dialog when the session allows it. Returns whether the dialog ended.
    bool closeAndSave();
    // Start and Preview: launches the run, or retries shortly while a stopped worker
    // cleans up.
    void requestRun();
    void launchRun();
    // The button that began the run under way or the last one.
    QWidget* runButton() const;
    // The options as the check boxes and the report pane's menu show them.
    WindowOptions windowOptions() const;
    // The report pane's context menu, at `at` in its viewport.
    void showReportMenu(const QPoint& at);
    void cancelStartRetry();
    // Redraws the status line from the run's counts and the file in hand.
    void showProgress();
    // Places the controls for the window's size: the list and the report pane take
    // any room beyond the template's size.
    void placeControls();

    MessageBoxRoutine& m_messages;
    // Loading and saving, and the order of Start's, Close's and Escape's effects.
    MainWindowSession m_session;
    PairList* m_list;
    SelectionMark* m_selectionMark;
    // The run's way to this window, and the proxy of the run under way or the last one.
    QtUiThreadQueue m_queue;
    std::unique_ptr<PostedRunWindow> m_run;
    FileSystem* m_runFileSystem = nullptr;
    // A Start pressed while a stopped worker cleans up, retried shortly.
    QTimer* m_startRetry;
    // Redraws the status line a few times a second while a run goes on.
    QTimer* m_progressTimer;
    // The deleted-list option, a check item of the report pane's menu.
    QAction* m_listDeleted;
    // Set once a run has started: the status line then shows the run's counts.
    bool m_showCounts = false;
    // The path the run last examined.
    std::string m_statusPath;
    // Whether the run asked for next, and the run under way or the last one, preview.
    bool m_previewNext = false;
    bool m_previewRun = false;
    // The pane's text: the run's report with the reasons for its failures.
    RunReport m_report;
    // Where the run button's focus goes: to Stop when the run starts, back when it ends.
    bool m_focusToStop = false;
    bool m_focusToStart = false;
    // Each control's place in the template's layout, in pixels.
    std::map<QWidget*, QRect> m_templateGeometry;
    QSize m_templateSize;
};

} // namespace kestrova
