// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/TemplateDialog.h"

#include "i18n/Translate.h"
#include "res/ResourceImages.h"
#include "ui/qt/DialogFont.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace kestrova {

namespace {

constexpr std::uint32_t kButtonKindMask = 0xF;

bool Has(std::uint32_t style, std::uint32_t flag) {
    return (style & flag) == flag;
}

QWidget* CreateButton(const ControlTemplate& control, QWidget* parent) {
    const QString text = QString::fromUtf8(Translate(control.text));
    switch (control.style & kButtonKindMask) {
    case bs::GroupBox:
        return new QGroupBox(text, parent);
    case bs::AutoCheckBox:
        return new QCheckBox(text, parent);
    default: {
        auto* button = new QPushButton(text, parent);
        // A focused push button takes Enter; only a default push button takes it always.
        button->setAutoDefault(true);
        button->setDefault((control.style & kButtonKindMask) == bs::DefPushButton);
        return button;
    }
    }
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget* parent) {
    const QString text = QString::fromUtf8(control.text);
    if (Has(control.style, es::Multiline)) {
        auto* edit = new QPlainTextEdit(text, parent);
        edit->setReadOnly(Has(control.style, es::ReadOnly));
        edit->setLineWrapMode(Has(control.style, es::AutoHScroll) ? QPlainTextEdit::NoWrap
                                                                  : QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy(Has(control.style, ws::VScroll) ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(
            Has(control.style, ws::HScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        if (!Has(control.style, ws::Border)) {
            edit->setFrameShape(QFrame::NoFrame);
        }
        if (edit->isReadOnly()) {
            // A read-only edit is drawn on the dialog's face colour, not the input colour.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
        }
        return edit;
    }
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly(Has(control.style, es::ReadOnly));
    edit->setFrame(Has(control.style, ws::Border));
    return edit;
}

QWidget* CreateStatic(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(parent);
    if ((control.style & ss::TypeMask) == ss::Icon) {
        const int resourceId = QString::fromUtf8(control.text).toInt();
        label->setPixmap(QIcon(ResourceImagePath(resourceId)).pixmap(32, 32));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(Translate(control.text)));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap((control.style & ss::TypeMask) == ss::Left);
    if (Has(control.style, ss::Sunken)) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return label;
}

QWidget* CreateListView(const ControlTemplate& control, QWidget* parent) {
    auto* list = new QTableWidget(parent);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(Has(control.style, lvs::SingleSel)
                               ? QAbstractItemView::SingleSelection
                               : QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setHighlightSections(false);
    list->setShowGrid(false);
    list->setWordWrap(false);
    if (!Has(control.style, ws::Border)) {
        list->setFrameShape(QFrame::NoFrame);
    }
    return list;
}

bool TakesFocus(const ControlTemplate& control) {
    if (control.kind == ControlKind::Static) {
        return false;
    }
    return !(control.kind == ControlKind::Button &&
             (control.style & kButtonKindMask) == bs::GroupBox);
}

} // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent,
                               const ControlFactory& factory)
    : QDialog(parent), m_template(dialogTemplate) {
    setFont(DialogFont(m_template.fontName, m_template.fontPointSize));
    m_units = MeasureDialogBaseUnits(font());
    applyWindowStyle();

    QWidget* firstFocus = nullptr;
    for (const ControlTemplate& control : m_template.controls) {
        QWidget* widget = factory ? factory(control, this) : nullptr;
        if (widget == nullptr) {
            widget = createStandardControl(control);
        }
        applyControlStyle(widget, control);
        if (control.id != kNoControlId) {
            widget->setObjectName(QString::number(control.id));
            m_controls[control.id] = widget;
        }
        if (firstFocus == nullptr && Has(control.style, ws::TabStop) &&
            !Has(control.style, ws::Disabled) && TakesFocus(control)) {
            firstFocus = widget;
        }
    }
    if (firstFocus != nullptr) {
        firstFocus->setFocus(Qt::OtherFocusReason);
    }
}

QWidget* TemplateDialog::control(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QWidget* TemplateDialog::createStandardControl(const ControlTemplate& control) {
    switch (control.kind) {
    case ControlKind::Button:
        return CreateButton(control, this);
    case ControlKind::Edit:
        return CreateEdit(control, this);
    case ControlKind::Static:
        return CreateStatic(control, this);
    case ControlKind::ListView:
        return CreateListView(control, this);
    }
    return new QWidget(this);
}

void TemplateDialog::applyControlStyle(QWidget* widget, const ControlTemplate& control) {
    widget->setGeometry(DialogToPixels(control.rect, m_units));
    widget->setEnabled(!Has(control.style, ws::Disabled));
    if (!TakesFocus(control)) {
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        widget->setFocusPolicy(Has(control.style, ws::TabStop) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setVisible(Has(control.style, ws::Visible));
}

void TemplateDialog::applyWindowStyle() {
    setWindowTitle(QString::fromUtf8(Translate(m_template.caption)));
    setFixedSize(DialogSizeToPixels(m_template.rect.width, m_template.rect.height, m_units));
    setSizeGripEnabled(false);

    // A window with its own taskbar button is a top-level window; others are dialogs
    // over their owner.
    Qt::WindowFlags flags = Has(m_template.exStyle, wsEx::AppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (Has(m_template.style, ws::Caption)) {
        flags |= Qt::WindowTitleHint;
    }
    if (Has(m_template.style, ws::SysMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        // The two box bits mean minimise and maximise only on a window with a system menu.
        if (Has(m_template.style, ws::MinimizeBox)) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
        if (Has(m_template.style, ws::MaximizeBox)) {
            flags |= Qt::WindowMaximizeButtonHint;
        }
    }
    setWindowFlags(flags);
}

} // namespace kestrova
