// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// A QDialog built from a dialog template (res/DialogTemplate.h): the template's caption,
// font, fixed client size and window styles, and one widget per control in template
// order, placed by converting dialog units from the dialog font. Every control can be
// found by its identifier: control(id), and its objectName is the identifier in decimal.
//
// Kinds map to widgets as follows: push button -> QPushButton (a default push button is
// the dialog's default), auto check box -> QCheckBox, group box -> QGroupBox (a frame
// only; the controls inside it stay siblings, as in the template), edit -> QLineEdit or,
// when multi-line, QPlainTextEdit, static -> QLabel, list view -> QTableWidget in report
// style. A derived dialog may supply its own widget for any control through a factory.
// Tab stops take the keyboard focus in template order; the first enabled one has the
// focus when the dialog opens.

#include "res/DialogTemplate.h"
#include "ui/qt/DialogUnits.h"

#include <QDialog>
#include <functional>
#include <map>

namespace kestrova {

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    // Returns the widget for a control, or nullptr to let the dialog build the standard
    // one. Called while the dialog is being built, before the derived class exists.
    using ControlFactory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

    explicit TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr,
                            const ControlFactory& factory = {});

    // The control with this identifier, or nullptr.
    QWidget* control(int id) const;
    template <class Widget> Widget* controlAs(int id) const {
        return qobject_cast<Widget*>(control(id));
    }

    const DialogTemplate& dialogTemplate() const { return m_template; }
    DialogBaseUnits baseUnits() const { return m_units; }

private:
    QWidget* createStandardControl(const ControlTemplate& control);
    void applyControlStyle(QWidget* widget, const ControlTemplate& control);
    void applyWindowStyle();

    const DialogTemplate& m_template;
    DialogBaseUnits m_units{};
    std::map<int, QWidget*> m_controls;
};

} // namespace kestrova
