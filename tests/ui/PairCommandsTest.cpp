#include "FolderTestSupport.h"
#include "PresetAnswers.h"

#include "settings/SaveFileSystem.h"
#include "sync/SyncWorker.h"
#include "ui/MainDialog.h"
#include "ui/PairDialog.h"
#include "ui/PairList.h"
#include "ui/SelectionMark.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace kestrova::test {
namespace {

struct Row {
    std::string source, target, status;
    int check;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << '{' << row.source << " | " << row.target << " | " << row.status << " | " << row.check
         << '}';
}

class PairCommandsTest : public ::testing::Test {
protected:
    PairCommandsTest()
        : window(messages, {temp / "Kestrova.ini", temp / "dirlist.cfg"}, fileSystem),
          list(window.pairList()) {
        list.appendRow("/home/a", "/backup/a");
        list.appendRow("/home/b", "/backup/b");
        list.setChecked(1, true);
        window.setRowStatus(1, "完成");
    }
    ~PairCommandsTest() override { g_syncRunning = 0; }

    std::vector<Row> Rows() {
        std::vector<Row> rows;
        for (int row = 0; row < list.rowCount(); ++row) {
            rows.push_back({list.rowText(row, 0), list.rowText(row, 1), list.rowText(row, 2),
                            list.checkState(row)});
        }
        return rows;
    }

    // Answers the pair editor with these texts and OK, or with Cancel.
    void AnswerEditor(std::string source, std::string target, bool ok) {
        WhileModal([=, this](QWidget& w) {
            auto& editor = static_cast<PairDialog&>(w);
            editorOpenedWith = {editor.controlAs<QLineEdit>(PairDialog::kSourceBox)->text(),
                                editor.controlAs<QLineEdit>(PairDialog::kTargetBox)->text()};
            Type(editor.controlAs<QLineEdit>(PairDialog::kSourceBox), source);
            Type(editor.controlAs<QLineEdit>(PairDialog::kTargetBox), target);
            editor.controlAs<QPushButton>(ok ? 1 : 2)->click();
        });
    }

    void Add() { window.controlAs<QPushButton>(1013)->click(); }

    // A double-click at `y` in the list; the edit runs once events are processed.
    void DoubleClickList(int y) {
        QWidget* viewport = list.viewport();
        const QPointF at(10, y);
        QMouseEvent click(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &click);
        QCoreApplication::processEvents();
    }

    int RowY(int row) { return list.visualItemRect(list.item(row, 0)).center().y(); }

    TempFolder temp;
    PresetAnswers boxes;
    MessageBoxRoutine messages{boxes};
    SaveFileSystem fileSystem;
    MainDialog window;
    PairList& list;
    std::pair<QString, QString> editorOpenedWith;
};

TEST_F(PairCommandsTest, AddAppendsWhatTheEditorConfirmed) {
    const std::vector<Row> before = Rows();
    AnswerEditor("/ignored", "/ignored", false);
    Add();
    EXPECT_EQ(Rows(), before);

    AnswerEditor("", "", true);
    Add();
    EXPECT_EQ(editorOpenedWith, std::make_pair(QString(), QString()));
    std::vector<Row> expected = before;
    expected.push_back({"", "", "", PairList::kUnchecked});
    EXPECT_EQ(Rows(), expected);

    // Duplicates and equal texts are taken as they are.
    AnswerEditor("/home/a", "/home/a", true);
    Add();
    expected.push_back({"/home/a", "/home/a", "", PairList::kUnchecked});
    EXPECT_EQ(Rows(), expected);
}

TEST_F(PairCommandsTest, EditChangesOnlyTheTextsOfTheMarkedRow) {
    list.selectRow(1);
    const std::vector<Row> before = Rows();

    AnswerEditor("/changed", "/changed", false);
    DoubleClickList(RowY(1));
    EXPECT_EQ(editorOpenedWith, std::make_pair(QString("/home/b"), QString("/backup/b")));
    EXPECT_EQ(Rows(), before);

    // Below the last row the mark still names row 1.
    AnswerEditor("/home/b2", " /backup/b2", true);
    DoubleClickList(list.viewport()->height() - 2);
    std::vector<Row> expected = before;
    expected[1] = {"/home/b2", " /backup/b2", "完成", PairList::kChecked};
    EXPECT_EQ(Rows(), expected);
}

TEST_F(PairCommandsTest, AddAndEditWorkDuringARun) {
    g_syncRunning = 1;
    list.selectRow(0);
    AnswerEditor("/home/a2", "/backup/a2", true);
    DoubleClickList(RowY(0));
    AnswerEditor("/home/c", "/backup/c", true);
    Add();
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (Row{"/home/a2", "/backup/a2", "", PairList::kUnchecked}));
    EXPECT_EQ(rows[2], (Row{"/home/c", "/backup/c", "", PairList::kUnchecked}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(SelectionMark, IsSetBySelectingOnlyAndFollowsItsRow) {
    PairList list;
    for (const char* name : {"/a", "/b", "/c", "/d"}) {
        list.appendRow(name, name);
    }
    SelectionMark mark(&list);
    // Gaining the focus puts the cursor on a row without selecting it.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&list, &focusIn);
    EXPECT_EQ(mark.row(), -1);

    list.selectRow(2);
    EXPECT_EQ(mark.row(), 2);
    list.clearSelection();
    EXPECT_EQ(mark.row(), 2);
    list.removeRow(0);
    EXPECT_EQ(mark.row(), 1);
    list.removeRow(1);
    EXPECT_EQ(mark.row(), -1);
}

} // namespace
} // namespace kestrova::test
