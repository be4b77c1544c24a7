// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translatable.h"
#include "res/DialogTemplate.h"

namespace kestrova {

namespace {

constexpr std::uint32_t kChild = ws::Child | ws::Visible;
constexpr std::uint32_t kPathBox = kChild | ws::Border | ws::TabStop | es::AutoHScroll;
constexpr std::uint32_t kLabel = kChild | ws::Group | ss::Left;

constexpr ControlTemplate kControls[] = {
    {1014, ControlKind::Edit, "", {51, 32, 129, 14}, kPathBox},
    {1016, ControlKind::Button, "...", {184, 32, 18, 14}, kChild | ws::TabStop},
    {1015, ControlKind::Edit, "", {51, 51, 129, 14}, kPathBox},
    {1017, ControlKind::Button, "...", {184, 51, 18, 14}, kChild | ws::TabStop},
    {1,
     ControlKind::Button,
     Translatable("确定"),
     {36, 82, 50, 14},
     kChild | ws::TabStop | bs::DefPushButton},
    {2, ControlKind::Button, Translatable("取消"), {126, 82, 50, 14}, kChild | ws::TabStop},
    {kNoControlId, ControlKind::Static, Translatable("源目錄"), {13, 35, 25, 8}, kLabel},
    {kNoControlId, ControlKind::Static, Translatable("目的目錄"), {13, 53, 33, 8}, kLabel},
    {kNoControlId,
     ControlKind::Static,
     Translatable("輸入備份的原始目錄和目標目錄"),
     {13, 13, 113, 8},
     kLabel},
};

constexpr DialogTemplate kTemplate{
    131,
    Translatable("備份"),
    "宋体",
    9,
    {0, 0, 212, 103},
    ws::Popup | ws::Caption | ws::SysMenu | ds::ModalFrame | ds::SetFont,
    0,
    kControls,
};

} // namespace

const DialogTemplate& PairDialogTemplate() {
    return kTemplate;
}

} // namespace kestrova
