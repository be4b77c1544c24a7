// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The Win32 main window, built from dialog template 102: the pair list, the delete
// option with the trash option beside it, Start, Stop and Preview, the report pane
// (whose context menu holds the deleted-list option) and the status line. It loads the
// options and the pair list when it opens and saves them on Close, starts, previews
// and stops the sync run,
// and is the window the run reads and writes (SyncWindow, on the user-interface thread;
// the run itself reaches it through a PostedRunWindow over this window's messages).

#include "report/SyncWindow.h"
#include "settings/SaveFileSystem.h"
#include "ui/MainWindowSession.h"
#include "ui/PostedRunWindow.h"
#include "ui/RunReport.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/PairDialog.h"
#include "ui/win32/PairList.h"
#include "ui/win32/WindowTaskQueue.h"

#include <functional>
#include <memory>
#include <string>

namespace kestrova {
class FileSystem;
}

namespace kestrova::win32 {

// The dialogs the main window opens that live elsewhere.
struct MainDialogParts {
    // The pair editor's browse buttons.
    FolderPicker pickFolder;
    // The About box, modal above `owner`; none: the About commands do nothing.
    std::function<void(HWND owner)> showAbout;
};

class MainDialog : public DialogWindow, public SyncWindow {
public:
    enum ControlId {
        kStatusLine = 1004,
        kStartButton = 1007,
        kStopButton = 1008,
        kDeleteOption = 1009,
        kReportPane = 1010,
        kAboutButton = 1011,
        kPairList = 1012,
        kAddButton = 1013,
        kDeleteButton = 1014,
        kCheckAllButton = 1019,
        kUncheckAllButton = 1020,
        kPreviewButton = 1021,
        kTrashOption = 1022,
        // The deleted-list item of the report pane's context menu.
        kListDeletedCommand = 1100,
    };
    // The system-menu item that opens the About box; 16 to 31 all do.
    static constexpr int kAboutCommand = 16;

    MainDialog(MessageBoxes& messages, MainWindowFiles files, SaveFileSystem& fileSystem,
               MainDialogParts parts);
    ~MainDialog() override;

    PairList& pairList() { return m_list; }
    // The file-system port the next run uses; the platform's own when none is set. It
    // must outlive the run.
    void setRunFileSystem(FileSystem* fileSystem) { m_runFileSystem = fileSystem; }
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
    void entryFailed(const std::string& path, const EntryFailure& failure) override;
    // A preview when Preview started the run; the trash and deleted-list options.
    RunOptions runOptions() override;
    bool listDeletedOption() const { return m_listDeleted; }

protected:
    bool onInitDialog() override;
    void onCommand(int id, int code) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void onStart();
    void onPreview();
    void onStop();
    void onListDeleted();
    void onDeleteSelected();
    void onCheckAll();
    void onUncheckAll();
    void onAddPair();
    void onEditPair();
    void onAbout();
    void onOk();
    // Escape: ends the dialog unless a run is under way; asks first about unsaved edits.
    void onCancel();
    // Close (the close box, the system menu, Alt+F4).
    void onClose();

    // Start and Preview: launches the run, or retries shortly while a stopped worker
    // finishes its clean-up.
    void requestRun();
    void launchRun();
    // The button that began the current or last run.
    HWND runButton() const;
    WindowOptions windowOptions() const;
    // The report pane's context menu at `screen` (-1, -1: from the keyboard).
    void showReportMenu(POINT screen);
    static LRESULT CALLBACK reportPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self);
    // Redraws the status line from the run's counts and the path in hand.
    void showProgress();
    void stopProgressTimer();
    // The path shortened in the middle to fit the status line beside `beside`.
    std::string fitPath(const std::string& path, const std::string& beside) const;
    // Ends the dialog and lets the run go: nothing may reach the window afterwards.
    void finish();

    MessageBoxes& m_messages;
    MainWindowSession m_session;
    MainDialogParts m_parts;
    PairList m_list;
    WindowTaskQueue m_queue;
    std::unique_ptr<PostedRunWindow> m_run;
    FileSystem* m_runFileSystem = nullptr;
    HICON m_icon = nullptr;
    bool m_showCounts = false;
    bool m_progressTimerOn = false;
    // Start had the focus as the run disabled it: Stop takes it once enabled; and back
    // when Stop had it as it was disabled before Start was enabled.
    bool m_focusToStop = false;
    bool m_focusToStart = false;
    std::string m_statusPath;
    bool m_listDeleted = false;
    // The deleted-list option follows the delete option's enabled state.
    bool m_optionsEnabled = true;
    // Whether the run asked for next, and the run under way or the last one, preview.
    bool m_previewNext = false;
    bool m_previewRun = false;
    // The pane's text: the run's report with the reasons for its failures.
    RunReport m_report;
    std::string m_paneText;
};

} // namespace kestrova::win32
