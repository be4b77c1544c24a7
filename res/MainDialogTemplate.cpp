// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translatable.h"
#include "res/DialogTemplate.h"

namespace kestrova {

namespace {

constexpr std::uint32_t kChild = ws::Child | ws::Visible;

constexpr ControlTemplate kControls[] = {
    {kNoControlId,
     ControlKind::Button,
     Translatable("同步設置"),
     {7, 117, 249, 110},
     kChild | bs::GroupBox},
    {1004,
     ControlKind::Static,
     "...",
     {7, 233, 308, 9},
     kChild | ws::Group | ss::LeftNoWordWrap | ss::Sunken},
    {1007, ControlKind::Button, Translatable("開始同步"), {265, 121, 50, 14}, kChild | ws::TabStop},
    {1009,
     ControlKind::Button,
     Translatable("刪除已經不存在的目錄和文件"),
     {15, 133, 120, 10},
     kChild | ws::TabStop | bs::AutoCheckBox},
    {1008,
     ControlKind::Button,
     Translatable("停止同步"),
     {265, 139, 50, 14},
     kChild | ws::TabStop | ws::Disabled},
    {1010,
     ControlKind::Edit,
     "",
     {15, 151, 232, 66},
     kChild | ws::Border | ws::TabStop | ws::VScroll | es::Multiline | es::AutoVScroll |
         es::ReadOnly},
    {1011, ControlKind::Button, Translatable("關于"), {265, 213, 50, 14}, kChild | ws::TabStop},
    {1012,
     ControlKind::ListView,
     "List1",
     {7, 7, 248, 104},
     kChild | ws::Border | ws::TabStop | lvs::Report | lvs::ShowSelAlways},
    {1013, ControlKind::Button, Translatable("添加備份"), {265, 7, 50, 14}, kChild | ws::TabStop},
    {1014, ControlKind::Button, Translatable("刪除備份"), {265, 22, 50, 14}, kChild | ws::TabStop},
    {1019, ControlKind::Button, Translatable("選擇所有"), {265, 41, 50, 14}, kChild | ws::TabStop},
    {1020, ControlKind::Button, Translatable("取消選擇"), {265, 56, 50, 14}, kChild | ws::TabStop},
    // Later additions, after the first controls so that these keep their tab order:
    // Preview under Stop, and the trash option beside the delete option.
    {1021, ControlKind::Button, Translatable("預覽同步"), {265, 157, 50, 14}, kChild | ws::TabStop},
    {1022,
     ControlKind::Button,
     Translatable("舊文件移到回收站"),
     {140, 133, 107, 10},
     kChild | ws::TabStop | bs::AutoCheckBox},
};

constexpr DialogTemplate kTemplate{
    102,
    "Kestrova",
    "宋体",
    9,
    {0, 0, 322, 249},
    ws::Popup | ws::Visible | ws::Caption | ws::SysMenu | ws::MinimizeBox | ds::ModalFrame |
        ds::SetFont,
    wsEx::AppWindow,
    kControls,
};

} // namespace

const DialogTemplate& MainDialogTemplate() {
    return kTemplate;
}

} // namespace kestrova
