#include "ui/win32/MainDialog.h"

#include "i18n/Translate.h"
#include "res/StringTable.h"
#include "sync/SyncStats.h"
#include "sync/SyncWorker.h"
#include "ui/win32/CommandTable.h"
#include "windows/WideText.h"

#include <commctrl.h>

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

const char* const kCounts = "已檢查 %1，已複製 %2，失敗 %3";
const char* const kGap = "\xE3\x80\x80"; // ideographic space

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
    const bool option = m_session.load(m_list);
    CheckDlgButton(hwnd(), kDeleteOption, option ? BST_CHECKED : BST_UNCHECKED);
    // The dialog manager gives the focus to the first enabled tab stop: Start.
    return true;
}

void MainDialog::onCommand(int id, int code) {
    static const CommandEntry<MainDialog> kCommands[] = {
        {kStartButton, BN_CLICKED, &MainDialog::onStart},
        {kStopButton, BN_CLICKED, &MainDialog::onStop},
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
            onStart();
            return 0;
        }
        if (wParam == kProgressTimer) {
            showProgress();
            return 0;
        }
        break;
    case WM_DESTROY:
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
    return m_session.hasUnsavedChanges(m_list,
                                       IsDlgButtonChecked(hwnd(), kDeleteOption) == BST_CHECKED);
}

// Enter on anything but a push button is the OK command, which does nothing.
void MainDialog::onOk() {}

void MainDialog::onCancel() {
    if (m_session.escape(m_list, deleteOption())) {
        finish();
    }
}

void MainDialog::onClose() {
    if (m_session.close(m_list, deleteOption())) {
        finish();
    }
}

void MainDialog::finish() {
    KillTimer(hwnd(), kStartRetryTimer);
    stopProgressTimer();
    endDialog(IDCANCEL);
}

void MainDialog::onStart() {
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
    PairDialog dialog(m_parts.pickFolder);
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
    PairDialog dialog(m_parts.pickFolder);
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
    const std::string counts = Translate(kCounts, {std::to_string(g_syncStats.filesExamined.load()),
                                                   std::to_string(g_syncStats.filesCopied.load()),
                                                   std::to_string(g_syncStats.filesFailed.load())});
    // The walk runs ahead of the copies: name the file actually being copied.
    CopyProgress::Copy copy;
    const bool copying = m_progressTimerOn && g_syncStats.copies.longest(copy);
    setControlText(kStatusLine,
                   counts + kGap + fitPath(copying ? copy.path : m_statusPath, counts + kGap));
}

// The path shortened in the middle so that it fits beside `head` in the status line.
std::string MainDialog::fitPath(const std::string& path, const std::string& head) const {
    const HWND status = control(kStatusLine);
    RECT client{};
    GetClientRect(status, &client);
    const HDC dc = GetDC(status);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0)));
    const std::wstring wideHead = windows::Wide(head);
    SIZE headSize{};
    GetTextExtentPoint32W(dc, wideHead.c_str(), static_cast<int>(wideHead.size()), &headSize);
    // DT_MODIFYSTRING may write up to four characters more than the text holds.
    std::wstring shortened = windows::Wide(path);
    shortened.append(4, L'\0');
    RECT room{0, 0, std::max<LONG>(client.right - headSize.cx - 4, 0), client.bottom};
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

void MainDialog::setReport(const std::string& text) {
    setControlText(kReportPane, text);
}

bool MainDialog::deleteOption() {
    return IsDlgButtonChecked(hwnd(), kDeleteOption) == BST_CHECKED;
}

// A run disables Start and enables Stop, and the other way round when it ends; the
// keyboard focus goes along, so Enter and Space press the button drawn focused.
void MainDialog::enableStart(bool enabled) {
    const HWND start = control(kStartButton);
    if (!enabled && GetFocus() == start) {
        m_focusToStop = true;
    }
    EnableWindow(start, enabled);
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
    {
        if (GetFocus() == stop) {
            SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(kStartButton)),
                         TRUE);
        }
        if (m_progressTimerOn) {
            // The run has ended: its final counts and last path stay showing.
            stopProgressTimer();
            showProgress();
        }
    }
    EnableWindow(stop, enabled);
}

void MainDialog::enableDeleteOption(bool enabled) {
    EnableWindow(control(kDeleteOption), enabled);
}

void MainDialog::messageBox(const std::string& text) {
    m_messages.show(text, BoxStyle::OkExclamation);
}

} // namespace kestrova::win32
