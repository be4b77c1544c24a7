// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/win32/DialogTemplateBuilder.h"

#include "i18n/Translate.h"
#include "i18n/WideText.h"
#include "ui/win32/DialogFont.h"

#include <cstdlib>
#include <string_view>

namespace kestrova::win32 {

namespace {

// Predefined control classes, named by atom in a template.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
// Marks a resource or class given by number rather than by name.
constexpr WORD kOrdinal = 0xFFFF;
constexpr WORD kExtendedSignature = 0xFFFF;

class TemplateWriter {
public:
    void word(WORD value) { m_words.push_back(value); }
    void dword(DWORD value) {
        word(LOWORD(value));
        word(HIWORD(value));
    }
    void text(std::string_view utf8) { text(windows::Wide(utf8)); }
    void text(const std::wstring& wide) {
        for (wchar_t c : wide) {
            word(static_cast<WORD>(c));
        }
        word(0);
    }
    void ordinal(WORD value) {
        word(kOrdinal);
        word(value);
    }
    // Controls start on a DWORD boundary.
    void alignToDword() {
        if (m_words.size() % 2 != 0) {
            word(0);
        }
    }
    void rect(const DialogRect& r) {
        word(static_cast<WORD>(r.x));
        word(static_cast<WORD>(r.y));
        word(static_cast<WORD>(r.width));
        word(static_cast<WORD>(r.height));
    }
    std::vector<WORD> take() { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

void WriteClass(TemplateWriter& out, ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        out.ordinal(kButtonAtom);
        return;
    case ControlKind::Edit:
        out.ordinal(kEditAtom);
        return;
    case ControlKind::Static:
        out.ordinal(kStaticAtom);
        return;
    case ControlKind::ListView:
        for (const wchar_t* c = kListViewClass; *c != 0; ++c) {
            out.word(static_cast<WORD>(*c));
        }
        out.word(0);
        return;
    }
}

// An icon static names its icon resource by number; every other control shows its text.
void WriteControlText(TemplateWriter& out, const ControlTemplate& control) {
    if (control.kind == ControlKind::Static && (control.style & ss::TypeMask) == ss::Icon) {
        out.ordinal(static_cast<WORD>(std::atoi(control.text)));
        return;
    }
    out.text(control.text[0] == 0 ? "" : Translate(control.text));
}

} // namespace

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog) {
    TemplateWriter out;
    out.word(1); // template version
    out.word(kExtendedSignature);
    out.dword(0); // help context
    out.dword(dialog.exStyle);
    out.dword(dialog.style);
    out.word(static_cast<WORD>(dialog.controls.size()));
    out.rect(dialog.rect);
    out.word(0); // no menu
    out.word(0); // the dialog's own window class
    out.text(Translate(dialog.caption));
    if ((dialog.style & ds::SetFont) != 0) {
        const DialogFontChoice font = DialogFontOf(dialog);
        out.word(static_cast<WORD>(font.pointSize));
        out.word(FW_NORMAL);
        out.word(MAKEWORD(FALSE, DEFAULT_CHARSET)); // italic, then character set
        out.text(font.face);
    }
    for (const ControlTemplate& control : dialog.controls) {
        out.alignToDword();
        out.dword(0); // help context
        out.dword(control.exStyle);
        out.dword(control.style);
        out.rect(control.rect);
        out.dword(static_cast<DWORD>(control.id));
        WriteClass(out, control.kind);
        WriteControlText(out, control);
        out.word(0); // no creation data
    }
    return out.take();
}

} // namespace kestrova::win32
