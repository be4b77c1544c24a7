#include "ui/MainDialog.h"

#include "i18n/Translate.h"
#include "res/DialogTemplate.h"
#include "res/ResourceImages.h"
#include "res/StringTable.h"
#include "settings/ConfigPaths.h"
#include "settings/PairListFile.h"
#include "settings/Settings.h"
#include "sync/SyncWorker.h"
#include "ui/AboutDialog.h"
#include "ui/MessageBoxRoutine.h"
#include "ui/PairDialog.h"
#include "ui/PairList.h"
#include "ui/RunWindowProxy.h"
#include "ui/SelectionMark.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
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
};

const char* const kEmptyListMessage = "請先設置同步或備份的路徑";
const char* const kRunningMessage = "同步進行中，請先停止﹝";

// A stopped worker finishes its clean-up quickly; a Start pressed meanwhile is retried.
constexpr int kStartRetryMs = 20;

QWidget* CreateMainControl(const ControlTemplate& control, QWidget* parent) {
    return control.id == kPairList ? new PairList(parent) : nullptr;
}

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A run is under way from Start until the worker has finished or been stopped.
bool RunUnderWay() {
    return g_syncRunning.load() == 1 || SyncWorkerActive();
}

} // namespace

const CommandEntry<MainDialog> MainDialog::kCommands[] = {
    {kStartButton, Notification::Clicked, &MainDialog::onStart},
    {kStopButton, Notification::Clicked, &MainDialog::onStop},
    {kDeleteButton, Notification::Clicked, &MainDialog::onDeleteSelected},
    {kCheckAllButton, Notification::Clicked, &MainDialog::onCheckAll},
    {kUncheckAllButton, Notification::Clicked, &MainDialog::onUncheckAll},
    {kAddButton, Notification::Clicked, &MainDialog::onAddPair},
    {kPairList, Notification::DoubleClicked, &MainDialog::onEditPair},
    {kAboutButton, Notification::Clicked, &MainDialog::onAbout},
};

MainDialogFiles MainDialogFiles::Default() {
    return {SettingsFilePath(), PairListFilePath()};
}

MainDialog::MainDialog(MessageBoxRoutine& messages, MainDialogFiles files,
                       SaveFileSystem& fileSystem, QWidget* parent)
    : TemplateDialog(MainDialogTemplate(), parent, CreateMainControl), m_messages(messages),
      m_files(std::move(files)), m_fileSystem(fileSystem), m_list(controlAs<PairList>(kPairList)),
      m_selectionMark(new SelectionMark(m_list)) {
    setWindowIcon(QIcon(ResourceImagePath(kAppIconId)));
    controlAs<QCheckBox>(kDeleteOption)->setChecked(ReadOption(m_files.settingsFile) != 0);
    LoadPairList(*m_list, m_files.pairListFile);
    BindCommands(*this, std::span<const CommandEntry<MainDialog>>(kCommands));
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
    if (RunUnderWay()) {
        m_messages.show(QString::fromUtf8(Translate(kRunningMessage)), BoxStyle::OkExclamation);
        return;
    }
    done(QDialog::Rejected);
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
    // The option is written even when the close is refused.
    WriteOption(deleteOption() ? 1 : 0, m_files.settingsFile, m_fileSystem);
    if (RunUnderWay()) {
        m_messages.show(QString::fromUtf8(Translate(kRunningMessage)), BoxStyle::OkExclamation);
        return false;
    }
    const SaveResult saved = SavePairList(*m_list, m_files.pairListFile, m_fileSystem);
    if (!saved.ok()) {
        // The old file is intact; staying open keeps the pairs of this session.
        m_messages.show(FromBytes(SaveFailureMessage(saved)), BoxStyle::OkStop);
        return false;
    }
    done(QDialog::Rejected);
    return true;
}

void MainDialog::onStart() {
    if (m_list->rowCount() == 0) {
        m_messages.show(QString::fromUtf8(Translate(kEmptyListMessage)), BoxStyle::OkExclamation);
        return;
    }
    if (SyncWorkerActive()) {
        return;
    }
    if (SyncWorkerAlive()) {
        if (!m_startPending) {
            m_startPending = true;
            QTimer::singleShot(kStartRetryMs, this, [this] {
                m_startPending = false;
                onStart();
            });
        }
        return;
    }
    launchRun();
}

void MainDialog::launchRun() {
    // No worker is alive, so the previous run's proxy is no longer used.
    m_run = std::make_unique<RunWindowProxy>(*this, this);
    if (m_runFileSystem != nullptr) {
        StartSyncWorker(*m_run, *m_runFileSystem);
    } else {
        StartSyncWorker(*m_run);
    }
}

void MainDialog::onStop() {
    if (!SyncWorkerActive()) {
        return;
    }
    // The worker learns it is stopped before a request it waits on is let go.
    StopSyncWorker();
    if (m_run) {
        m_run->release();
    }
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
    PairDialog dialog(this, MakeFolderBrowsers(m_messages));
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
    PairDialog dialog(this, MakeFolderBrowsers(m_messages));
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

void MainDialog::setStatusLine(const std::string& text) {
    controlAs<QLabel>(kStatusLine)->setText(FromBytes(text));
}

void MainDialog::setReport(const std::string& text) {
    QString shown = FromBytes(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    controlAs<QPlainTextEdit>(kReportPane)->setPlainText(shown);
}

bool MainDialog::deleteOption() {
    return controlAs<QCheckBox>(kDeleteOption)->isChecked();
}

void MainDialog::enableStart(bool enabled) {
    control(kStartButton)->setEnabled(enabled);
}

void MainDialog::enableStop(bool enabled) {
    control(kStopButton)->setEnabled(enabled);
}

void MainDialog::enableDeleteOption(bool enabled) {
    control(kDeleteOption)->setEnabled(enabled);
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
