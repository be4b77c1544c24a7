// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// Dialog templates kept as data, the way a resource script holds them: the dialog's
// identifier, caption, font, size and window styles, then its controls in template
// order (which is also creation, drawing and tab order). Positions and sizes are in
// dialog units; ui/qt/DialogUnits converts them to pixels from the dialog's font. Style
// values are the window system's numeric flags, so a template reads like its script.
//
// Each template lives in its own file (MainDialogTemplate.cpp holds 102) and is reached
// through the accessor declared at the end of this header.

#include <cstdint>
#include <span>

namespace kestrova {

// Window styles shared by dialogs and controls.
namespace ws {
inline constexpr std::uint32_t Popup = 0x80000000;
inline constexpr std::uint32_t Child = 0x40000000;
inline constexpr std::uint32_t Visible = 0x10000000;
inline constexpr std::uint32_t Disabled = 0x08000000;
inline constexpr std::uint32_t Caption = 0x00C00000;
inline constexpr std::uint32_t Border = 0x00800000;
inline constexpr std::uint32_t VScroll = 0x00200000;
inline constexpr std::uint32_t HScroll = 0x00100000;
inline constexpr std::uint32_t SysMenu = 0x00080000;
inline constexpr std::uint32_t Group = 0x00020000;
inline constexpr std::uint32_t TabStop = 0x00010000;
// On a top-level window the last two bits mean the minimise and maximise boxes.
inline constexpr std::uint32_t MinimizeBox = 0x00020000;
inline constexpr std::uint32_t MaximizeBox = 0x00010000;
} // namespace ws

// Extended window styles.
namespace wsEx {
inline constexpr std::uint32_t ClientEdge = 0x00000200;
inline constexpr std::uint32_t AppWindow = 0x00040000; // always has a taskbar button
} // namespace wsEx

// Dialog styles.
namespace ds {
inline constexpr std::uint32_t SetFont = 0x40;
inline constexpr std::uint32_t ModalFrame = 0x80;
inline constexpr std::uint32_t CenterOnOwner = 0x00; // position 0, 0: centred over the owner
} // namespace ds

// Button styles (the low four bits select the kind).
namespace bs {
inline constexpr std::uint32_t PushButton = 0x0;
inline constexpr std::uint32_t DefPushButton = 0x1;
inline constexpr std::uint32_t AutoCheckBox = 0x3;
inline constexpr std::uint32_t GroupBox = 0x7;
} // namespace bs

// Edit styles.
namespace es {
inline constexpr std::uint32_t Left = 0x0;
inline constexpr std::uint32_t Multiline = 0x4;
inline constexpr std::uint32_t AutoVScroll = 0x40;
inline constexpr std::uint32_t AutoHScroll = 0x80; // no word wrap in a multi-line edit
inline constexpr std::uint32_t ReadOnly = 0x800;
} // namespace es

// Static styles (the low five bits select the kind).
namespace ss {
inline constexpr std::uint32_t Left = 0x0;
inline constexpr std::uint32_t Icon = 0x3;
inline constexpr std::uint32_t LeftNoWordWrap = 0xC;
inline constexpr std::uint32_t TypeMask = 0x1F;
inline constexpr std::uint32_t NoPrefix = 0x80; // '&' is drawn, not a mnemonic marker
inline constexpr std::uint32_t Sunken = 0x1000;
} // namespace ss

// List view styles.
namespace lvs {
inline constexpr std::uint32_t Report = 0x1;
inline constexpr std::uint32_t SingleSel = 0x4;
inline constexpr std::uint32_t ShowSelAlways = 0x8;
} // namespace lvs

// Control identifier of controls no code refers to.
inline constexpr int kNoControlId = 65535;

enum class ControlKind {
    Button, // push button, default push button, check box or group box, by its bs:: kind
    Edit,
    Static, // text or, with ss::Icon, an icon whose resource id is the control's text
    ListView,
};

struct DialogRect {
    int x, y, width, height;
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text; // UTF-8
    DialogRect rect;
    std::uint32_t style;
    std::uint32_t exStyle = 0;
};

struct DialogTemplate {
    int id;
    const char* caption; // UTF-8
    const char* fontName;
    int fontPointSize;
    DialogRect rect; // x, y: position (0, 0 centres over the owner); width, height: client
    std::uint32_t style;
    std::uint32_t exStyle;
    std::span<const ControlTemplate> controls;
};

// Dialog template 102, the main window.
const DialogTemplate& MainDialogTemplate();
// Dialog template 100, the About box.
const DialogTemplate& AboutDialogTemplate();
// Dialog template 131, the pair editor.
const DialogTemplate& PairDialogTemplate();

} // namespace kestrova
