// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// Draws the Windows dialogs into 24-bit bitmap files in the folder given:
// `kestrova-render.exe FOLDER`. Each dialog is shown with sample contents, drawn by the
// window system and copied from the screen, so it needs a display.

#include "i18n/WideText.h"
#include "report/SyncTexts.h"
#include "settings/SaveFileSystem.h"
#include "ui/win32/AboutDialog.h"
#include "ui/win32/FolderBrowser.h"
#include "ui/win32/MainDialog.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/PairDialog.h"
#include "ui/win32/SyncApp.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kestrova::win32 {
namespace {

std::filesystem::path outFolder;

// Handles the window system's messages for a while, so that windows are drawn.
void Pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
}

// Copies the window as the screen shows it, frame included, into NAME.bmp.
void Save(HWND window, const char* name) {
    RECT place;
    GetWindowRect(window, &place);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(outFolder / (std::string(name) + ".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    std::printf("%s.bmp\n", name);
}

void Show(HWND window, const char* name) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    Pump(600);
    Save(window, name);
    ShowWindow(window, SW_HIDE);
}

// The shell's browser, drawn once it has settled and then cancelled.
class RenderedBrowser : public FolderBrowser {
public:
    using FolderBrowser::FolderBrowser;

protected:
    void OnReady() override {
        current = this;
        SetTimer(nullptr, 0, 1500, [](HWND, UINT, UINT_PTR timer, DWORD) {
            KillTimer(nullptr, timer);
            Save(current->browseWindow(), "folder-browser-windows");
            PostMessageW(current->browseWindow(), WM_COMMAND, IDCANCEL, 0);
        });
    }

private:
    static inline RenderedBrowser* current = nullptr;
};

int Render() {
    InitWindowClasses();
    SystemBoxes presenter;
    MessageBoxes messages(presenter);
    SaveFileSystem fileSystem;
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / "kestrova-render";
    std::filesystem::create_directories(scratch);
    const std::string scratchText = windows::Utf8(scratch.wstring());

    MainDialog main(
        messages,
        MainWindowFiles::Same(scratchText + "\\Kestrova.ini", scratchText + "\\dirlist.cfg"),
        fileSystem, MainDialogParts{});
    const HWND mainWindow = main.create(nullptr);
    main.pairList().appendRow("C:\\Users\\mei\\文件", "E:\\備份\\文件");
    main.pairList().appendRow("C:\\Users\\mei\\相片", "E:\\備份\\相片");
    main.pairList().setChecked(0, true);
    main.setRowStatus(0, texts::kDone);
    main.setReport(SpooledText(std::string(texts::kFrom) + "C:\\Users\\mei\\文件\r\n" + texts::kTo +
                               "E:\\備份\\文件\r\n" + texts::kNoErrors + texts::kUpdatedHeading +
                               "C:\\Users\\mei\\文件\\預算.xls\r\n\r\n" + texts::kSeparator));
    Show(mainWindow, "main-window-windows");
    ShowWindow(mainWindow, SW_SHOW);

    PairDialog pair{FolderPicker{}, messages};
    pair.sourcePath = "C:\\Users\\mei\\文件";
    pair.targetPath = "E:\\備份\\文件";
    Show(pair.create(mainWindow), "pair-editor-windows");

    AboutDialog about(messages);
    Show(about.create(mainWindow), "about-windows");

    RenderedBrowser browser("請選擇文件路徑", "請選擇路徑", "C:\\users\\Public", mainWindow,
                            messages);
    browser.RunModal();
    return 0;
}

} // namespace
} // namespace kestrova::win32

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrova-render FOLDER\n");
        return 2;
    }
    kestrova::win32::outFolder = argv[1];
    return kestrova::win32::Render();
}
