// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/MainDialog.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "i18n/WideText.h"
#include "res/StringTable.h"
#include "sync/SyncWorker.h"
#include "ui/RunProgress.h"
#include "ui/win32/CommandTable.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace kestrova::win32 {

namespace {

// Window timers of the main dialog; delayed tasks of the run use ids from 0x4000 on.
constexpr UINT_PTR kStartRetryTimer = 1;
constexpr UINT_PTR kProgressTimer = 2;
// A stopped worker finishes its clean-up quickly; a Start pressed meanwhile is retried.
constexpr UINT kStartRetryMs = 20;
// The status line is redrawn this often during a run.
constexpr UINT kProgressIntervalMs = 250;

const char* const kListDeletedText = Translatable("列出刪除的文件");
const char* const kCopyText = Translatable("複製");
const char* const kSelectAllText = Translatable("選擇所有");
// The report pane's own context-menu commands.
constexpr UINT kCopyCommand = 1;
constexpr UINT kSelectAllCommand = 2;
constexpr UINT_PTR kReportPaneSubclass = 1;

} // namespace

MainDialog::MainDialog(MessageBoxes& messages, MainWindowFiles files, SaveFileSystem& fileSystem,
                       MainDialogParts parts)
    : DialogWindow(MainDialogTemplate()), m_messages(messages),
      m_session(messages, std::move(files), fileSystem), m_parts(std::move(parts)) {}

MainDialog::~MainDialog() {
    // The worker learns it is stopped before a request it waits on is let go.
    if (SyncWorkerActive()) {
        StopSyncWorker();
    }
    // A modeless window goes now, while its handlers still reach this class.
    if (hwnd() != nullptr) {
        DestroyWindow(hwnd());
    }
    if (m_run) {
        m_run->release();
    }
    // Only a stopped worker's bounded clean-up remains.
    JoinSyncWorker();
}

bool MainDialog::onInitDialog() {
    m_queue.attach(hwnd());
    m_messages.setMainWindow(hwnd());
    if (HMENU menu = GetSystemMenu(hwnd(), FALSE)) {
        const std::string about = Translate(LoadResourceString(kAboutMenuStringId));
        if (!about.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, kAboutCommand, windows::Wide(about).c_str());
        }
    }
    m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAppIconId));
    if (m_icon != nullptr) {
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    }
    m_list.attach(control(kPairList));
    const WindowOptions options = m_session.load(m_list);
    CheckDlgButton(hwnd(), kDeleteOption, options.deleteOption != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), kTrashOption, options.trash != 0 ? BST_CHECKED : BST_UNCHECKED);
    m_listDeleted = options.listDeleted != 0;
    SetWindowSubclass(control(kReportPane), &MainDialog::reportPaneProc, kReportPaneSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
    // The dialog manager gives the focus to the first enabled tab stop: Start.
    return true;
}

void MainDialog::onCommand(int id, int code) {
    static const CommandEntry<MainDialog> kCommands[] = {
        {kStartButton, BN_CLICKED, &MainDialog::onStart},
        {kStopButton, BN_CLICKED, &MainDialog::onStop},
        {kPreviewButton, BN_CLICKED, &MainDialog::onPreview},
        {kListDeletedCommand, 0, &MainDialog::onListDeleted},
        {kDeleteButton, BN_CLICKED, &MainDialog::onDeleteSelected},
        {kCheckAllButton, BN_CLICKED, &MainDialog::onCheckAll},
        {kUncheckAllButton, BN_CLICKED, &MainDialog::onUncheckAll},
        {kAddButton, BN_CLICKED, &MainDialog::onAddPair},
        {kAboutButton, BN_CLICKED, &MainDialog::onAbout},
        {kPairList, static_cast<int>(NM_DBLCLK), &MainDialog::onEditPair},
        {IDOK, BN_CLICKED, &MainDialog::onOk},
        {IDCANCEL, BN_CLICKED, &MainDialog::onCancel},
    };
    DispatchCommand(*this, std::span<const CommandEntry<MainDialog>>(kCommands), id, code);
}

LRESULT MainDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    if (m_queue.handle(message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kPairList && header->code == NM_DBLCLK) {
            onCommand(kPairList, static_cast<int>(NM_DBLCLK));
            return 0;
        }
        if (header->idFrom == kPairList && header->code == NM_SETFOCUS) {
            m_list.focusSomeRow();
            return 0;
        }
        break;
    }
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_SYSCOMMAND:
        // The system keeps the low four bits of a command for itself.
        if ((wParam & 0xFFF0) == kAboutCommand) {
            onAbout();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_icon);
    case WM_TIMER:
        if (wParam == kStartRetryTimer) {
            KillTimer(hwnd(), kStartRetryTimer);
            requestRun();
            return 0;
        }
        if (wParam == kProgressTimer) {
            showProgress();
            return 0;
        }
        break;
    case WM_DESTROY:
        RemoveWindowSubclass(control(kReportPane), &MainDialog::reportPaneProc,
                             kReportPaneSubclass);
        if (m_run) {
            m_run->release();
        }
        m_queue.attach(nullptr);
        m_messages.setMainWindow(nullptr);
        break;
    default:
        break;
    }
    handled = false;
    return 0;
}

bool MainDialog::hasUnsavedChanges() const {
    return m_session.hasUnsavedChanges(m_list, windowOptions());
}

WindowOptions MainDialog::windowOptions() const {
    const auto shown = [this](int id) { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; };
    return {shown(kDeleteOption) ? 1 : 0, m_listDeleted ? 1 : 0, shown(kTrashOption) ? 1 : 0};
}

// Enter on anything but a push button is the OK command, which does nothing.
void MainDialog::onOk() {}

void MainDialog::onCancel() {
    if (m_session.escape(m_list, windowOptions())) {
        finish();
    }
}

void MainDialog::onClose() {
    if (m_session.close(m_list, windowOptions())) {
        finish();
    }
}

void MainDialog::finish() {
    KillTimer(hwnd(), kStartRetryTimer);
    stopProgressTimer();
    endDialog(IDCANCEL);
}

void MainDialog::onStart() {
    m_previewNext = false;
    requestRun();
}

void MainDialog::onPreview() {
    m_previewNext = true;
    requestRun();
}

void MainDialog::requestRun() {
    if (!m_session.mayStart(m_list) || SyncWorkerActive()) {
        return;
    }
    if (SyncWorkerAlive()) {
        // At most one retry waits; a Stop cancels it.
        SetTimer(hwnd(), kStartRetryTimer, kStartRetryMs, nullptr);
        return;
    }
    launchRun();
}

void MainDialog::launchRun() {
    KillTimer(hwnd(), kStartRetryTimer);
    m_previewRun = m_previewNext;
    m_report.clear();
    m_showCounts = true;
    m_progressTimerOn = SetTimer(hwnd(), kProgressTimer, kProgressIntervalMs, nullptr) != 0;
    // No worker is alive, so the previous run's proxy is no longer used.
    m_run = std::make_unique<PostedRunWindow>(*this, m_queue);
    if (m_runFileSystem != nullptr) {
        StartSyncWorker(*m_run, *m_runFileSystem);
    } else {
        StartSyncWorker(*m_run);
    }
}

void MainDialog::onStop() {
    // The last command was Stop: no Start pressed earlier may still launch.
    KillTimer(hwnd(), kStartRetryTimer);
    if (!SyncWorkerActive()) {
        return;
    }
    // The worker learns it is stopped before a request it waits on is let go.
    StopSyncWorker();
    if (m_run) {
        m_run->release();
    }
    // The status line stays as the Stop found it.
    stopProgressTimer();
    enableStop(false);
    enableStart(true);
    enableDeleteOption(true);
}

void MainDialog::onListDeleted() {
    if (m_optionsEnabled) {
        m_listDeleted = !m_listDeleted;
    }
}

LRESULT CALLBACK MainDialog::reportPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
    if (message == WM_CONTEXTMENU) {
        reinterpret_cast<MainDialog*>(self)->showReportMenu(
            {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    }
    return DefSubclassProc(pane, message, wParam, lParam);
}

// The pane's own commands (copy, select all) and the deleted list, which is about what
// the report shows.
void MainDialog::showReportMenu(POINT screen) {
    const HWND pane = control(kReportPane);
    if (screen.x == -1 && screen.y == -1) {
        screen = {0, 0};
        ClientToScreen(pane, &screen);
    }
    const HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    AppendMenuW(menu, MF_STRING | (start == end ? MF_GRAYED : 0), kCopyCommand,
                windows::Wide(Translate(kCopyText)).c_str());
    AppendMenuW(menu, MF_STRING | (GetWindowTextLengthW(pane) == 0 ? MF_GRAYED : 0),
                kSelectAllCommand, windows::Wide(Translate(kSelectAllText)).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu,
                MF_STRING | (m_listDeleted ? MF_CHECKED : 0) | (m_optionsEnabled ? 0 : MF_GRAYED),
                kListDeletedCommand, windows::Wide(Translate(kListDeletedText)).c_str());
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                         screen.x, screen.y, 0, hwnd(), nullptr));
    DestroyMenu(menu);
    if (chosen == kCopyCommand) {
        SendMessageW(pane, WM_COPY, 0, 0);
    } else if (chosen == kSelectAllCommand) {
        SendMessageW(pane, EM_SETSEL, 0, -1);
    } else if (chosen == kListDeletedCommand) {
        onListDeleted();
    }
}

void MainDialog::onDeleteSelected() {
    m_list.deleteSelectedRows();
}

void MainDialog::onCheckAll() {
    m_list.setAllChecked(true);
}

void MainDialog::onUncheckAll() {
    m_list.setAllChecked(false);
}

// Adding and editing are allowed during a run: the run reads the rows one by one, so
// a row added in time is reached by it.
void MainDialog::onAddPair() {
    PairDialog dialog(m_parts.pickFolder, m_messages);
    if (dialog.RunModal(hwnd()) == 1) {
        m_list.appendRow(dialog.sourcePath, dialog.targetPath);
    }
}

// Edits the row of the selection mark, wherever the double-click landed; the row keeps
// its status and check mark.
void MainDialog::onEditPair() {
    const int row = m_list.selectionMark();
    if (row < 0) {
        return;
    }
    PairDialog dialog(m_parts.pickFolder, m_messages);
    dialog.sourcePath = m_list.rowText(row, 0);
    dialog.targetPath = m_list.rowText(row, 1);
    if (dialog.RunModal(hwnd()) == 1) {
        m_list.setRowText(row, 0, dialog.sourcePath);
        m_list.setRowText(row, 1, dialog.targetPath);
    }
}

void MainDialog::onAbout() {
    if (m_parts.showAbout) {
        m_parts.showAbout(hwnd());
    }
}

int MainDialog::rowCount() {
    return m_list.rowCount();
}

int MainDialog::rowCheckState(int row) {
    return m_list.checkState(row);
}

std::string MainDialog::rowSource(int row) {
    return m_list.rowText(row, 0);
}

std::string MainDialog::rowTarget(int row) {
    return m_list.rowText(row, 1);
}

void MainDialog::setRowStatus(int row, const std::string& text) {
    m_list.setRowText(row, 2, text);
}

// During a run the status line is redrawn by the progress timer; the path is kept
// for it.
void MainDialog::setStatusLine(const std::string& text) {
    m_statusPath = text;
    if (!m_progressTimerOn) {
        showProgress();
    }
}

void MainDialog::showProgress() {
    if (!m_showCounts) {
        setControlText(kStatusLine, m_statusPath.empty() ? "..." : m_statusPath);
        return;
    }
    const RunProgress progress = ReadRunProgress(m_statusPath, m_progressTimerOn);
    const std::string head = CountsText(progress) + kStatusGap;
    std::string share = ShareDoneText(progress);
    if (!share.empty()) {
        share.insert(0, kStatusGap);
    }
    setControlText(kStatusLine, head + fitPath(progress.path, head + share) + share);
}

// The path shortened in the middle so that it fits beside `beside` in the status line.
std::string MainDialog::fitPath(const std::string& path, const std::string& beside) const {
    const HWND status = control(kStatusLine);
    RECT client{};
    GetClientRect(status, &client);
    const HDC dc = GetDC(status);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0)));
    const std::wstring wideBeside = windows::Wide(beside);
    SIZE besideSize{};
    GetTextExtentPoint32W(dc, wideBeside.c_str(), static_cast<int>(wideBeside.size()), &besideSize);
    // DT_MODIFYSTRING may write up to four characters more than the text holds.
    std::wstring shortened = windows::Wide(path);
    shortened.append(4, L'\0');
    RECT room{0, 0, std::max<LONG>(client.right - besideSize.cx - 4, 0), client.bottom};
    DrawTextW(dc, shortened.data(), static_cast<int>(shortened.size() - 4), &room,
              DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    SelectObject(dc, oldFont);
    ReleaseDC(status, dc);
    return windows::Utf8(shortened.c_str());
}

void MainDialog::stopProgressTimer() {
    if (m_progressTimerOn) {
        KillTimer(hwnd(), kProgressTimer);
        m_progressTimerOn = false;
    }
}

// The pane shows the run's report with the reasons for each pair's failures. The edit
// control needs its whole text, so the window keeps one copy of it for the control.
void MainDialog::setReport(const SpooledText& report) {
    if (m_report.startsAnew(report)) {
        m_paneText.clear();
    }
    m_report.update(report, [this](std::string_view text) { m_paneText += text; });
    setControlText(kReportPane, m_paneText);
}

void MainDialog::entryFailed(const std::string& path, const EntryFailure& failure) {
    m_report.entryFailed(path, failure);
}

RunOptions MainDialog::runOptions() {
    RunOptions options;
    options.preview = m_previewRun;
    options.listDeleted = m_listDeleted;
    options.trash = IsDlgButtonChecked(hwnd(), kTrashOption) == BST_CHECKED;
    return options;
}

bool MainDialog::deleteOption() {
    return IsDlgButtonChecked(hwnd(), kDeleteOption) == BST_CHECKED;
}

// A run disables Start and Preview and enables Stop, and the other way round when it
// ends; the keyboard focus goes along from the button that began the run to Stop and
// back, so Enter and Space press the button drawn focused.
void MainDialog::enableStart(bool enabled) {
    const HWND focus = GetFocus();
    if (!enabled && (focus == control(kStartButton) || focus == control(kPreviewButton))) {
        m_focusToStop = true;
    }
    EnableWindow(control(kStartButton), enabled);
    EnableWindow(control(kPreviewButton), enabled);
    if (enabled && m_focusToStart) {
        m_focusToStart = false;
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(runButton()), TRUE);
    }
}

HWND MainDialog::runButton() const {
    return control(m_previewRun ? kPreviewButton : kStartButton);
}

void MainDialog::enableStop(bool enabled) {
    const HWND stop = control(kStopButton);
    if (enabled) {
        EnableWindow(stop, TRUE);
        if (m_focusToStop) {
            SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(stop), TRUE);
        }
        m_focusToStop = false;
        return;
    }
    m_focusToStop = false;
    // A disabled button cannot take the focus: after a Stop, Start is enabled only
    // next, and takes the focus then.
    if (GetFocus() == stop) {
        if (IsWindowEnabled(runButton())) {
            SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(runButton()), TRUE);
        } else {
            m_focusToStart = true;
        }
    }
    if (m_progressTimerOn) {
        // The run has ended: its final counts and last path stay showing.
        stopProgressTimer();
        showProgress();
    }
    EnableWindow(stop, FALSE);
}

// The options beside the delete option are read as a run starts, so they follow it.
void MainDialog::enableDeleteOption(bool enabled) {
    EnableWindow(control(kDeleteOption), enabled);
    EnableWindow(control(kTrashOption), enabled);
    m_optionsEnabled = enabled;
}

void MainDialog::messageBox(const std::string& text) {
    m_messages.show(text, BoxStyle::OkExclamation);
}

} // namespace kestrova::win32
