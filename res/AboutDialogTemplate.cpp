// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translatable.h"
#include "res/DialogTemplate.h"

namespace kestrova {

namespace {

constexpr std::uint32_t kChild = ws::Child | ws::Visible;

constexpr ControlTemplate kControls[] = {
    {kNoControlId, ControlKind::Static, "128", {11, 17, 20, 20}, kChild | ss::Icon},
    {kNoControlId,
     ControlKind::Static,
     Translatable("Kestrova 2.0 版"),
     {40, 10, 119, 8},
     kChild | ws::Group | ss::Left | ss::NoPrefix},
    {kNoControlId,
     ControlKind::Static,
     Translatable("(C) 2026 Kestrova developers"),
     {40, 25, 132, 8},
     kChild | ws::Group | ss::Left},
    {1,
     ControlKind::Button,
     Translatable("确定"),
     {178, 7, 50, 14},
     kChild | ws::Group | ws::TabStop | bs::DefPushButton},
    {kNoControlId,
     ControlKind::Static,
     Translatable("公司网址："),
     {17, 70, 41, 8},
     kChild | ws::Group | ss::Left},
    {kNoControlId,
     ControlKind::Static,
     Translatable("Under the MIT licence, without any warranty."),
     {17, 47, 201, 8},
     kChild | ws::Group | ss::Left},
    // The place for the company's web address; the About box binds its link label here.
    {1011, ControlKind::Static, "", {63, 70, 93, 8}, kChild | ws::Group | ss::Left},
};

constexpr DialogTemplate kTemplate{
    100,
    Translatable("關于Kestrova"),
    "宋体",
    9,
    {0, 0, 235, 99},
    ws::Popup | ws::Caption | ws::SysMenu | ds::ModalFrame | ds::SetFont,
    0,
    kControls,
};

} // namespace

const DialogTemplate& AboutDialogTemplate() {
    return kTemplate;
}

} // namespace kestrova
