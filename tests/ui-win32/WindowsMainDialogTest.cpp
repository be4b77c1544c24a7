// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The Win32 main window under Wine without a display, driven through control ids, with
// message boxes answered from presets.

#include "Win32TestSupport.h"

#include "i18n/Translate.h"
#include "i18n/WideText.h"
#include "res/StringTable.h"
#include "sync/SyncWorker.h"
#include "ui/CaptionRoom.h"
#include "ui/win32/MainDialog.h"
#include "ui/win32/SyncApp.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace kestrova::win32::test {
namespace {

using Rows = std::vector<std::vector<std::string>>; // source, target, status, check mark

class MainDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitWindowClasses(); }

    MainDialogTest() {
        WriteFile(folder.at("dirlist.cfg"), "C:\\a|D:\\a\r\nC:\\b|D:\\b\r\nC:\\c|D:\\c\r\n");
        WriteFile(folder.at("Kestrova.ini"), "[setup]\r\nopt_delnone=0\r\n");
    }
    ~MainDialogTest() override { g_syncRunning = 0; }

    // Makes the window; picks in the pair editor go through `picks`.
    HWND Open() {
        parts.pickFolder = [this](HWND, const std::string&, const std::string&,
                                  std::string& folderPath) {
            pickedFrom.push_back(folderPath);
            if (picks.empty()) {
                return false;
            }
            folderPath = picks.front();
            picks.erase(picks.begin());
            return true;
        };
        window = std::make_unique<MainDialog>(
            messages, MainWindowFiles::Same(folder.at("Kestrova.ini"), folder.at("dirlist.cfg")),
            fileSystem, parts);
        hwnd = window->create(nullptr);
        return hwnd;
    }
    Rows Table() {
        PairList& list = window->pairList();
        Rows rows;
        for (int r = 0; r < list.rowCount(); ++r) {
            rows.push_back({list.rowText(r, 0), list.rowText(r, 1), list.rowText(r, 2),
                            list.checkState(r) == PairList::kChecked ? "checked" : ""});
        }
        return rows;
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(hwnd, id)) != FALSE; }
    void DoubleClickList() {
        NMHDR header{GetDlgItem(hwnd, MainDialog::kPairList), MainDialog::kPairList,
                     static_cast<UINT>(NM_DBLCLK)};
        SendMessageW(hwnd, WM_NOTIFY, MainDialog::kPairList, reinterpret_cast<LPARAM>(&header));
    }
    // Answers the next pair editor: records its texts, types these, then OK or Cancel.
    void AnswerEditor(const std::string& source, const std::string& target, bool ok) {
        WhileModal(hwnd, [=, this](DialogWindow& editor) {
            opened = {editor.controlText(PairDialog::kSourceBox),
                      editor.controlText(PairDialog::kTargetBox)};
            editor.setControlText(PairDialog::kSourceBox, source);
            editor.setControlText(PairDialog::kTargetBox, target);
            Click(editor.hwnd(), ok ? IDOK : IDCANCEL);
        });
    }

    TempFolder folder;
    PresetAnswers boxes;
    MessageBoxes messages{boxes};
    SaveFileSystem fileSystem;
    MainDialogParts parts;
    std::vector<std::string> picks;
    std::vector<std::string> pickedFrom;
    std::unique_ptr<MainDialog> window;
    HWND hwnd = nullptr;
    std::vector<std::string> opened;
};

TEST_F(MainDialogTest, OpensWithTheSavedPairsTheOptionAndTheIdleButtons) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(
        Table(),
        (Rows{{"C:\\a", "D:\\a", "", ""}, {"C:\\b", "D:\\b", "", ""}, {"C:\\c", "D:\\c", "", ""}}));
    EXPECT_FALSE(window->deleteOption());
    EXPECT_TRUE(Enabled(MainDialog::kStartButton));
    EXPECT_FALSE(Enabled(MainDialog::kStopButton));
    const HWND list = GetDlgItem(hwnd, MainDialog::kPairList);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x25, 0x25);
    wchar_t header[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header;
    column.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(header, L"狀態");
    EXPECT_EQ(column.cx, 40);
    // The system menu ends with the About item, command 16.
    const HMENU menu = GetSystemMenu(hwnd, FALSE);
    const int items = GetMenuItemCount(menu);
    EXPECT_EQ(GetMenuItemID(menu, items - 1), UINT(MainDialog::kAboutCommand));
    int abouts = 0;
    parts.showAbout = [&](HWND owner) {
        EXPECT_EQ(owner, hwnd);
        ++abouts;
    };
    window.reset();
    Open();
    SendMessageW(hwnd, WM_SYSCOMMAND, MainDialog::kAboutCommand + 15, 0);
    Click(hwnd, MainDialog::kAboutButton);
    EXPECT_EQ(abouts, 2);
    EXPECT_FALSE(window->ended());

    // In English the About item comes from the catalogue too, and each header has the
    // room its text needs.
    window.reset();
    ASSERT_EQ(UseCatalogue(DefaultLocaleFolder(), {"", "en_US.UTF-8", "", ""}), "en");
    Open();
    const HMENU english = GetSystemMenu(hwnd, FALSE);
    wchar_t item[64] = {};
    GetMenuStringW(english, GetMenuItemCount(english) - 1, item, 64, MF_BYPOSITION);
    const std::string original = LoadResourceString(kAboutMenuStringId);
    EXPECT_EQ(windows::Utf8(item), Translate(original.c_str()));
    EXPECT_NE(windows::Utf8(item), original);
    const HWND englishList = GetDlgItem(hwnd, MainDialog::kPairList);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(
            SendMessageW(englishList, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        const int textWidth = static_cast<int>(
            SendMessageW(englishList, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(header)));
        EXPECT_GE(column.cx, textWidth + 12) << windows::Utf8(header);
    }
    UseCatalogue(DefaultLocaleFolder(), {});
}

// A box whose text is shorter than its caption is still wide enough for the caption.
TEST(SystemBoxes, MakeRoomForTheirCaption) {
    static int width = 0;
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
        const HWND box = FindWindowW(L"#32770", L"A caption longer than its text");
        if (box == nullptr) {
            return;
        }
        KillTimer(nullptr, timer);
        RECT place{};
        GetWindowRect(box, &place);
        width = place.right - place.left;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SystemBoxes boxes;
    boxes.present(nullptr, "A caption longer than its text", "Done.", BoxStyle::OkExclamation);

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE caption{};
    GetTextExtentPoint32W(dc, L"A caption longer than its text", 30, &caption);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    EXPECT_GE(width, WindowWidthForCaption(caption.cx));
}

TEST_F(MainDialogTest, CheckAllUncheckAllAndDeleteSelected) {
    Open();
    PairList& list = window->pairList();
    // Tabbed into, the list focuses a row at once, and Space checks it.
    SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list.hwnd()), TRUE);
    EXPECT_EQ(SendMessageW(list.hwnd(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 0);
    PressKey(hwnd, VK_SPACE);
    EXPECT_EQ(Table()[0][3], "checked");
    list.setChecked(0, false);
    list.select(0, false);
    list.appendRow("C:\\d", "D:\\d");
    list.setChecked(1, true);
    Click(hwnd, MainDialog::kCheckAllButton);
    EXPECT_EQ(Table()[3][3], "checked");
    EXPECT_EQ(Table()[0][3], "checked");
    Click(hwnd, MainDialog::kUncheckAllButton);
    for (const auto& row : Table()) {
        EXPECT_EQ(row[3], "");
    }
    Click(hwnd, MainDialog::kDeleteButton); // nothing selected
    EXPECT_EQ(list.rowCount(), 4);
    list.select(1, true);
    list.select(2, true);
    Click(hwnd, MainDialog::kDeleteButton);
    EXPECT_EQ(Table(), (Rows{{"C:\\a", "D:\\a", "", ""}, {"C:\\d", "D:\\d", "", ""}}));
}

TEST_F(MainDialogTest, AddAndEditTakeOnlyWhatTheEditorConfirmed) {
    Open();
    const Rows loaded = Table();
    AnswerEditor("C:\\x", "D:\\x", false);
    Click(hwnd, MainDialog::kAddButton);
    EXPECT_EQ(Table(), loaded);
    EXPECT_EQ(opened, (std::vector<std::string>{"", ""}));

    // A file named as a folder is refused where it was typed: the editor stays open with
    // the focus in that box.
    WriteFile(folder.at("file"), "data");
    bool refused = false;
    WhileModal(hwnd, [&](DialogWindow& editor) {
        editor.setControlText(PairDialog::kSourceBox, folder.at("file"));
        Click(editor.hwnd(), IDOK);
        refused = !editor.ended() && GetFocus() == editor.control(PairDialog::kSourceBox);
        Click(editor.hwnd(), IDCANCEL);
    });
    Click(hwnd, MainDialog::kAddButton);
    EXPECT_TRUE(refused);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "The path:\n\n" + folder.at("file") + "\n\nis a file, not a folder. Please reenter.");
    EXPECT_EQ(Table(), loaded);

    AnswerEditor("", "", true);
    Click(hwnd, MainDialog::kAddButton);
    ASSERT_EQ(Table().size(), 4u);
    EXPECT_EQ(Table()[3], (std::vector<std::string>{"", "", "", ""}));

    // No selection mark: a double-click edits nothing.
    DoubleClickList();
    EXPECT_EQ(opened, (std::vector<std::string>{"", ""}));

    PairList& list = window->pairList();
    list.setChecked(1, true);
    list.setRowText(1, 2, "完成");
    // A click on the row sets the mark; the row need not stay selected.
    SendMessageW(list.hwnd(), LVM_SETSELECTIONMARK, 0, 1);
    AnswerEditor("C:\\y", "D:\\y", false);
    DoubleClickList();
    EXPECT_EQ(opened, (std::vector<std::string>{"C:\\b", "D:\\b"}));
    EXPECT_EQ(Table()[1], (std::vector<std::string>{"C:\\b", "D:\\b", "完成", "checked"}));
    AnswerEditor("C:\\y", "D:\\y", true);
    DoubleClickList();
    EXPECT_EQ(Table()[1], (std::vector<std::string>{"C:\\y", "D:\\y", "完成", "checked"}));
}

// Each browse starts at its own box's text, keeps the other box as typed, and leaves
// the focus on OK, whether the pick was taken or cancelled.
TEST_F(MainDialogTest, BrowseChangesOnlyItsOwnBox) {
    Open();
    picks = {"E:\\picked"};
    WhileModal(hwnd, [this](DialogWindow& editor) {
        editor.setControlText(PairDialog::kSourceBox, "C:\\typed");
        editor.setControlText(PairDialog::kTargetBox, "half");
        Click(editor.hwnd(), PairDialog::kBrowseSource);
        Click(editor.hwnd(), PairDialog::kBrowseTarget); // cancelled
        opened = {editor.controlText(PairDialog::kSourceBox),
                  editor.controlText(PairDialog::kTargetBox)};
        EXPECT_EQ(GetFocus(), editor.control(IDOK));
        Click(editor.hwnd(), IDOK);
    });
    Click(hwnd, MainDialog::kAddButton);
    EXPECT_EQ(pickedFrom, (std::vector<std::string>{"C:\\typed", "half"}));
    EXPECT_EQ(opened, (std::vector<std::string>{"E:\\picked", "half"}));
    EXPECT_EQ(Table().back(), (std::vector<std::string>{"E:\\picked", "half", "", ""}));
}

TEST_F(MainDialogTest, CloseSavesAndEndsButNotDuringARunNorAfterAFailedSave) {
    Open();
    EXPECT_FALSE(IsDlgButtonChecked(hwnd, MainDialog::kTrashOption));
    EXPECT_FALSE(window->listDeletedOption());
    CheckDlgButton(hwnd, MainDialog::kDeleteOption, BST_CHECKED);
    CheckDlgButton(hwnd, MainDialog::kTrashOption, BST_CHECKED);
    SendMessageW(hwnd, WM_COMMAND, MainDialog::kListDeletedCommand, 0); // the pane's menu item
    window->pairList().appendRow("C:\\new", "D:\\new");

    // During a run the option is written, the list is not, and the window stays.
    g_syncRunning = 1;
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    g_syncRunning = 0;
    EXPECT_FALSE(window->ended());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "同步進行中，請先停止﹝");
    EXPECT_EQ(boxes.shown[0].caption, "Kestrova");
    EXPECT_EQ(boxes.shown[0].owner, hwnd);
    const std::string settings = ReadFile(folder.at("Kestrova.ini"));
    EXPECT_NE(settings.find("opt_delnone=1"), std::string::npos);
    EXPECT_NE(settings.find("opt_trash=1"), std::string::npos);
    EXPECT_NE(settings.find("opt_listdeleted=1"), std::string::npos);
    EXPECT_EQ(ReadFile(folder.at("dirlist.cfg")).find("new"), std::string::npos);

    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(window->ended());
    EXPECT_EQ(ReadFile(folder.at("dirlist.cfg")),
              "C:\\a|D:\\a\r\nC:\\b|D:\\b\r\nC:\\c|D:\\c\r\nC:\\new|D:\\new\r\n");

    // A list that cannot be saved is reported with the stop icon; the window stays.
    window.reset();
    window = std::make_unique<MainDialog>(
        messages,
        MainWindowFiles::Same(folder.at("Kestrova.ini"), folder.at("dirlist.cfg\\no\\list")),
        fileSystem, parts);
    hwnd = window->create(nullptr);
    EXPECT_TRUE(IsDlgButtonChecked(hwnd, MainDialog::kTrashOption));
    EXPECT_TRUE(window->listDeletedOption());
    window->pairList().appendRow("C:\\kept", "D:\\kept");
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window->ended());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].style, BoxStyle::OkStop);
    EXPECT_EQ(window->pairList().rowCount(), 1);
}

TEST_F(MainDialogTest, EscapeAsksAboutUnsavedEditsAndIsRefusedDuringARun) {
    Open();
    Click(hwnd, IDOK); // Enter does nothing
    Click(hwnd, IDCANCEL);
    EXPECT_TRUE(window->ended()) << "nothing changed: no question";
    EXPECT_TRUE(boxes.shown.empty());

    window.reset();
    Open();
    window->pairList().appendRow("C:\\new", "D:\\new");
    g_syncRunning = 1;
    Click(hwnd, IDCANCEL);
    g_syncRunning = 0;
    EXPECT_FALSE(window->ended());
    Click(hwnd, IDCANCEL); // asked; the default answer stays
    EXPECT_FALSE(window->ended());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].style, BoxStyle::SaveLeaveStay);
    boxes.preset(BoxAnswer::No);
    Click(hwnd, IDCANCEL);
    EXPECT_TRUE(window->ended());
    EXPECT_EQ(ReadFile(folder.at("dirlist.cfg")).find("new"), std::string::npos);

    window.reset();
    Open();
    SendMessageW(hwnd, WM_COMMAND, MainDialog::kListDeletedCommand, 0); // the later options count
    Click(hwnd, IDCANCEL);
    EXPECT_FALSE(window->ended()); // asked, and the default answer stays
    EXPECT_EQ(boxes.shown.size(), 4u);
}

} // namespace
} // namespace kestrova::win32::test
