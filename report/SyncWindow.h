// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "report/EntryFailure.h"
#include "report/RunOptions.h"
#include "report/SpooledText.h"

#include <string>

namespace kestrova {

// Everything a sync run needs of the window that started it. The run reaches the
// window only through these calls; the main window, the command-line front end and
// the tests each implement them. Calls are made from the worker thread; an
// implementation carries them out on its own user-interface thread if it has one.
// A stopped worker makes no new call, but one it is already in may reach the
// user-interface thread after the Stop: while SyncStopRequested() (SyncWorker.h) is
// true, an implementation answers such a call with a neutral value (0, "", false)
// and changes nothing; the run copes with those values.
class SyncWindow {
public:
    virtual ~SyncWindow() = default;

    virtual int rowCount() = 0;
    // State image index of the row's check box: 1 clear, 2 set (0: no check box).
    virtual int rowCheckState(int row) = 0;
    virtual std::string rowSource(int row) = 0;
    virtual std::string rowTarget(int row) = 0;
    virtual void setRowStatus(int row, const std::string& text) = 0;
    virtual void setStatusLine(const std::string& text) = 0;
    // Replaces the report pane's text with the whole report so far. The report only
    // grows during a run (a new run brings a new text, with a new identity), so a
    // window may read only what it has not seen yet; it reads it before returning.
    virtual void setReport(const SpooledText& report) = 0;
    virtual bool deleteOption() = 0;
    virtual void enableStart(bool enabled) = 0;
    virtual void enableStop(bool enabled) = 0;
    virtual void enableDeleteOption(bool enabled) = 0;
    // A modal OK box with the exclamation icon; returns once it is dismissed.
    virtual void messageBox(const std::string& text) = 0;
    // Says why an entry is listed under the failure heading, when it is listed; the
    // path comes with its raw bytes (EntryFailure tells what it names). A window
    // that shows only the report need not implement it.
    virtual void entryFailed(const std::string& /*path*/, const EntryFailure& /*failure*/) {}
    // What the run does beyond a plain run; asked once as it starts.
    virtual RunOptions runOptions() { return {}; }
};

} // namespace kestrova
