// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/MainDialog.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "res/DialogTemplate.h"
#include "res/ResourceImages.h"
#include "res/StringTable.h"
#include "settings/ConfigPaths.h"
#include "settings/Settings.h"
#include "sync/SyncWorker.h"
#include "ui/LastRunLine.h"
#include "ui/PostedRunWindow.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/FocusRing.h"
#include "ui/qt/MessageBoxRoutine.h"
#include "ui/qt/PairDialog.h"
#include "ui/qt/PairList.h"
#include "ui/qt/ReportPane.h"
#include "ui/qt/SelectionMark.h"
#include "ui/qt/StatusLine.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

namespace kestrova {

namespace {

enum ControlId {
    kStatusLine = 1004,
    kStartButton = 1007,
    kStopButton = 1008,
    kDeleteOption = 1009,
    kReportPane = 1010,
    kPairList = 1012,
    kAddButton = 1013,
    kDeleteButton = 1014,
    kCheckAllButton = 1019,
    kUncheckAllButton = 1020,
    kAboutButton = 1011,
    kPreviewButton = 1021,
    kTrashOption = 1022,
};

// The report pane's menu item for the deleted list.
const char* const kListDeletedText = Translatable("列出刪除的文件");

// A stopped worker finishes its clean-up quickly; a Start pressed meanwhile is retried.
constexpr int kStartRetryMs = 20;
// The width of the list's two path columns at the template's size.
constexpr int kPathColumnWidth = 150;
// The status line is redrawn this often during a run.
constexpr int kProgressIntervalMs = 250;

QWidget* CreateMainControl(const ControlTemplate& control, QWidget* parent) {
    switch (control.id) {
    case kPairList:
        return new PairList(parent);
    case kReportPane:
        return new ReportPane(parent);
    default:
        return nullptr;
    }
}

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

const CommandEntry<MainDialog> MainDialog::kCommands[] = {
    {kStartButton, Notification::Clicked, &MainDialog::onStart},
    {kStopButton, Notification::Clicked, &MainDialog::onStop},
    {kPreviewButton, Notification::Clicked, &MainDialog::onPreview},
    {kDeleteButton, Notification::Clicked, &MainDialog::onDeleteSelected},
    {kCheckAllButton, Notification::Clicked, &MainDialog::onCheckAll},
    {kUncheckAllButton, Notification::Clicked, &MainDialog::onUncheckAll},
    {kAddButton, Notification::Clicked, &MainDialog::onAddPair},
    {kPairList, Notification::DoubleClicked, &MainDialog::onEditPair},
    {kAboutButton, Notification::Clicked, &MainDialog::onAbout},
};

MainDialogFiles MainDialogFiles::Default() {
    return {SettingsFilePath(), PairListFilePath(), RunRecordFilePath()};
}

MainDialog::MainDialog(MessageBoxRoutine& messages, MainDialogFiles files,
                       SaveFileSystem& fileSystem, QWidget* parent)
    : TemplateDialog(MainDialogTemplate(), parent, CreateMainControl), m_messages(messages),
      m_session(messages, MainWindowFiles::Same(files.settingsFile, files.pairListFile),
                fileSystem),
      m_list(controlAs<PairList>(kPairList)), m_selectionMark(new SelectionMark(m_list)),
      m_queue(this), m_startRetry(new QTimer(this)), m_progressTimer(new QTimer(this)),
      m_listDeleted(new QAction(QString::fromUtf8(Translate(kListDeletedText)), this)) {
    setWindowIcon(QIcon(ResourceImagePath(kAppIconId)));
    const WindowOptions options = m_session.load(*m_list);
    controlAs<QCheckBox>(kDeleteOption)->setChecked(options.deleteOption != 0);
    controlAs<QCheckBox>(kTrashOption)->setChecked(options.trash != 0);
    m_listDeleted->setCheckable(true);
    m_listDeleted->setObjectName(QStringLiteral("listDeleted"));
    m_listDeleted->setChecked(options.listDeleted != 0);
    auto* report = controlAs<ReportPane>(kReportPane);
    if (!files.runRecordFile.empty()) {
        report->append(LastRunLine(files.runRecordFile));
        report->showFromTop();
    }
    report->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(report, &QWidget::customContextMenuRequested, this, &MainDialog::showReportMenu);
    BindCommands(*this, std::span<const CommandEntry<MainDialog>>(kCommands));

    m_startRetry->setSingleShot(true);
    m_startRetry->setInterval(kStartRetryMs);
    connect(m_startRetry, &QTimer::timeout, this, &MainDialog::requestRun);
    m_progressTimer->setInterval(kProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &MainDialog::showProgress);

    // The template's size is the smallest; the window may be made larger.
    m_templateSize = size();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        m_templateGeometry[child] = child->geometry();
    }
    setMinimumSize(m_templateSize);
    // Neither the read-only pane nor an empty list shows the focus by itself. The rings
    // follow their controls, so they are no part of the template's layout.
    new FocusRing(report);
    new FocusRing(m_list);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

MainDialog::~MainDialog() {
    if (SyncWorkerActive()) {
        StopSyncWorker();
    }
    if (m_run) {
        m_run->release();
    }
    // Only a stopped worker's bounded clean-up remains.
    JoinSyncWorker();
}

void MainDialog::accept() {}

void MainDialog::reject() {
    if (m_session.escape(*m_list, windowOptions())) {
        done(QDialog::Rejected);
    }
}

bool MainDialog::hasUnsavedChanges() const {
    return m_session.hasUnsavedChanges(*m_list, windowOptions());
}

WindowOptions MainDialog::windowOptions() const {
    const auto shown = [this](int id) { return controlAs<QCheckBox>(id)->isChecked() ? 1 : 0; };
    return {shown(kDeleteOption), m_listDeleted->isChecked() ? 1 : 0, shown(kTrashOption)};
}

void MainDialog::resizeEvent(QResizeEvent* event) {
    TemplateDialog::resizeEvent(event);
    placeControls();
}

// The list takes half of the extra height and the report pane the other half, both
// the extra width. The buttons beside the list stay at the top right, About and the
// status line at the bottom, and Start, Stop and Preview beside the options they go with.
void MainDialog::placeControls() {
    if (m_templateGeometry.empty()) {
        return;
    }
    const int dx = std::max(0, width() - m_templateSize.width());
    const int dy = std::max(0, height() - m_templateSize.height());
    const int listDy = dy / 2;
    const int reportDy = dy - listDy;
    for (const auto& [widget, rect] : m_templateGeometry) {
        QRect placed = rect;
        const int id = widget->objectName().toInt();
        switch (id) {
        case kPairList:
            placed.adjust(0, 0, dx, listDy);
            break;
        case kAddButton:
        case kDeleteButton:
        case kCheckAllButton:
        case kUncheckAllButton:
            placed.translate(dx, 0);
            break;
        case kStartButton:
        case kStopButton:
        case kPreviewButton:
            placed.translate(dx, listDy);
            break;
        case kDeleteOption:
        case kTrashOption:
            placed.translate(0, listDy);
            break;
        case kReportPane:
            placed.translate(0, listDy);
            placed.adjust(0, 0, dx, reportDy);
            break;
        case kAboutButton:
            placed.translate(dx, dy);
            break;
        case kStatusLine:
            placed.translate(0, dy);
            placed.adjust(0, 0, dx, 0);
            break;
        default:
            if (qobject_cast<QGroupBox*>(widget) != nullptr) {
                placed.translate(0, listDy);
                placed.adjust(0, 0, dx, reportDy);
            }
            break;
        }
        widget->setGeometry(placed);
    }
    // The two path columns share the extra width.
    m_list->setColumnWidth(0, kPathColumnWidth + dx / 2);
    m_list->setColumnWidth(1, kPathColumnWidth + dx - dx / 2);
    if (m_showCounts) {
        showProgress(); // the path is shortened to the new width
    }
}

void MainDialog::closeEvent(QCloseEvent* event) {
    if (closeAndSave()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    // A focused push button has taken Enter already; anywhere else it is the OK command.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    TemplateDialog::keyPressEvent(event);
}

bool MainDialog::closeAndSave() {
    if (!m_session.close(*m_list, windowOptions())) {
        return false;
    }
    done(QDialog::Rejected);
    return true;
}

void MainDialog::onStart() {
    m_previewNext = false;
    requestRun();
}

void MainDialog::onPreview() {
    m_previewNext = true;
    requestRun();
}

void MainDialog::requestRun() {
    if (!m_session.mayStart(*m_list)) {
        return;
    }
    if (SyncWorkerActive()) {
        return;
    }
    if (SyncWorkerAlive()) {
        // At most one retry waits; a run launched meanwhile or a Stop cancels it.
        if (!m_startRetry->isActive()) {
            m_startRetry->start();
        }
        return;
    }
    launchRun();
}

void MainDialog::cancelStartRetry() {
    m_startRetry->stop();
}

void MainDialog::launchRun() {
    cancelStartRetry();
    m_previewRun = m_previewNext;
    m_report.clear();
    m_showCounts = true;
    m_progressTimer->start();
    // No worker is alive, so the previous run's proxy is no longer used.
    m_run = std::make_unique<PostedRunWindow>(*this, m_queue);
    if (m_runFileSystem != nullptr) {
        StartSyncWorker(*m_run, *m_runFileSystem);
    } else {
        StartSyncWorker(*m_run);
    }
}

void MainDialog::onStop() {
    // The person's last command was Stop: no Start pressed earlier may still launch.
    cancelStartRetry();
    if (!SyncWorkerActive()) {
        return;
    }
    // The worker learns it is stopped before a request it waits on is let go.
    StopSyncWorker();
    if (m_run) {
        m_run->release();
    }
    // The status line stays as the Stop found it.
    m_progressTimer->stop();
    enableStop(false);
    enableStart(true);
    enableDeleteOption(true);
}

void MainDialog::onDeleteSelected() {
    m_list->deleteSelectedRows();
}

void MainDialog::onCheckAll() {
    m_list->setAllChecked(true);
}

void MainDialog::onUncheckAll() {
    m_list->setAllChecked(false);
}

// Adding and editing are allowed during a run: the run reads the rows one by one,
// so a row added in time is reached by it. No check is made of the texts; the run
// itself refuses pairs it cannot use.
void MainDialog::onAddPair() {
    PairDialog dialog(this, m_messages, MakeFolderBrowsers(m_messages));
    if (dialog.RunModal() == 1) {
        m_list->appendRow(dialog.sourcePath, dialog.targetPath);
    }
}

// Edits the row of the selection mark, wherever the double-click landed; the row
// keeps its status and check mark.
void MainDialog::onEditPair() {
    const int row = m_selectionMark->row();
    if (row < 0) {
        return;
    }
    PairDialog dialog(this, m_messages, MakeFolderBrowsers(m_messages));
    dialog.sourcePath = m_list->rowText(row, 0);
    dialog.targetPath = m_list->rowText(row, 1);
    if (dialog.RunModal() == 1) {
        m_list->setRowText(row, 0, dialog.sourcePath);
        m_list->setRowText(row, 1, dialog.targetPath);
    }
}

int MainDialog::rowCount() {
    return m_list->rowCount();
}

int MainDialog::rowCheckState(int row) {
    return m_list->checkState(row);
}

std::string MainDialog::rowSource(int row) {
    return m_list->rowText(row, 0);
}

std::string MainDialog::rowTarget(int row) {
    return m_list->rowText(row, 1);
}

void MainDialog::setRowStatus(int row, const std::string& text) {
    m_list->setRowText(row, 2, text);
}

// During a run the status line is redrawn by the progress timer; the path is kept
// for it.
void MainDialog::setStatusLine(const std::string& text) {
    m_statusPath = text;
    if (!m_progressTimer->isActive()) {
        showProgress();
    }
}

void MainDialog::showProgress() {
    auto* label = controlAs<QLabel>(kStatusLine);
    if (!m_showCounts) {
        label->setText(FromBytes(m_statusPath.empty() ? "..." : m_statusPath));
        return;
    }
    const RunProgress progress = ReadRunProgress(m_statusPath, m_progressTimer->isActive());
    const int margin = label->frameWidth() + label->indent() + 2;
    label->setText(StatusLineText(progress, label->fontMetrics(), label->width() - 2 * margin));
    label->setToolTip(FromBytes(progress.path));
}

// The pane shows the run's report with the reasons for each pair's failures. Only
// what the report added since the pane last took it is read; the pane keeps its text
// in temporary files and shows it from the top, as a replaced text is shown.
void MainDialog::setReport(const SpooledText& report) {
    auto* pane = controlAs<ReportPane>(kReportPane);
    if (m_report.startsAnew(report)) {
        pane->clear();
    }
    m_report.update(report, [pane](std::string_view text) { pane->append(text); });
    pane->showFromTop();
}

// The pane's own commands (copy, select all) and the deleted list, which is about
// what the report shows.
void MainDialog::showReportMenu(const QPoint& at) {
    auto* report = controlAs<ReportPane>(kReportPane);
    const std::unique_ptr<QMenu> menu(report->createStandardContextMenu());
    menu->addSeparator();
    menu->addAction(m_listDeleted);
    menu->exec(report->viewport()->mapToGlobal(at));
}

void MainDialog::entryFailed(const std::string& path, const EntryFailure& failure) {
    m_report.entryFailed(path, failure);
}

RunOptions MainDialog::runOptions() {
    RunOptions options;
    options.preview = m_previewRun;
    options.listDeleted = m_listDeleted->isChecked();
    options.trash = controlAs<QCheckBox>(kTrashOption)->isChecked();
    return options;
}

bool MainDialog::deleteOption() {
    return controlAs<QCheckBox>(kDeleteOption)->isChecked();
}

// A run disables Start and Preview, enables Stop and, when it ends, the other way
// round; the keyboard focus goes along from the button that began the run to Stop
// and back, so Enter and Space press the button that is drawn focused.
void MainDialog::enableStart(bool enabled) {
    QWidget* start = runButton();
    if (!enabled &&
        (focusWidget() == control(kStartButton) || focusWidget() == control(kPreviewButton))) {
        m_focusToStop = true;
    }
    control(kStartButton)->setEnabled(enabled);
    control(kPreviewButton)->setEnabled(enabled);
    if (enabled && m_focusToStart) {
        m_focusToStart = false;
        start->setFocus(Qt::OtherFocusReason);
    }
}

QWidget* MainDialog::runButton() const {
    return control(m_previewRun ? kPreviewButton : kStartButton);
}

void MainDialog::enableStop(bool enabled) {
    QWidget* stop = control(kStopButton);
    QWidget* start = runButton();
    if (enabled) {
        stop->setEnabled(true);
        if (m_focusToStop) {
            stop->setFocus(Qt::OtherFocusReason);
        }
        m_focusToStop = false;
        return;
    }
    m_focusToStop = false;
    if (focusWidget() == stop) {
        if (start->isEnabled()) {
            start->setFocus(Qt::OtherFocusReason);
        } else {
            m_focusToStart = true;
        }
    }
    if (m_progressTimer->isActive()) {
        // The run has ended: its final counts and last path stay showing.
        m_progressTimer->stop();
        showProgress();
    }
    stop->setEnabled(false);
}

// The options beside the delete option are read as a run starts, so they follow it.
void MainDialog::enableDeleteOption(bool enabled) {
    control(kDeleteOption)->setEnabled(enabled);
    m_listDeleted->setEnabled(enabled);
    control(kTrashOption)->setEnabled(enabled);
}

void MainDialog::messageBox(const std::string& text) {
    m_messages.show(text, BoxStyle::OkExclamation);
}

void MainDialog::onAbout() {
    AboutDialog about(m_messages, this);
    about.exec();
}

bool MainDialog::systemCommand(int id) {
    constexpr int kAboutCommand = 16;
    if ((id & ~0xF) != kAboutCommand) {
        return false;
    }
    onAbout();
    return true;
}

} // namespace kestrova
