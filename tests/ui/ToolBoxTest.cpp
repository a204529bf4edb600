#include "annotate/TfToolBox.h"

#include "annotate/TNewButton.h"
#include "annotate/ToolBoxTarget.h"

#include "../dialogs/DialogScreenshot.h"
#include "lang/LanguageTexts.h"
#include "ui/FormTranslator.h"

#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tern {
namespace {

// Records what the palette asks of its selector, one line per call.
class RecordingTarget : public ToolBoxTarget
{
public:
    void SetTool(int tool) override { calls.push_back("SetTool " + std::to_string(tool)); }
    void Undo() override { calls.push_back("Undo"); }
    void SetCurColor(int index) override { calls.push_back("SetCurColor " + std::to_string(index)); }
    void SetCurFont(int index) override { calls.push_back("SetCurFont " + std::to_string(index)); }
    void SetCurLine(int index) override { calls.push_back("SetCurLine " + std::to_string(index)); }
    void Confirm() override { calls.push_back("Confirm"); }
    void ForwardKey(QKeyEvent* event) override { calls.push_back("Key " + std::to_string(event->key())); }
    void PaletteMoved() override { ++moves; }

    std::vector<std::string> calls;
    int moves = 0;
};

class ToolBoxTest : public ::testing::Test
{
protected:
    void click(int index) { QTest::mouseClick(palette.Button(index), Qt::LeftButton); }
    // Which buttons of [first, first + count) are marked (disabled), as a string of 0/1.
    std::string marks(int first, int count) const
    {
        std::string result;
        for (int i = first; i < first + count; ++i)
            result += palette.Button(i)->isEnabled() ? '0' : '1';
        return result;
    }
    std::string shownRows() const
    {
        return std::string{palette.Button(8)->isVisibleTo(&palette) ? 'C' : '-',
                           palette.Button(11)->isVisibleTo(&palette) ? 'W' : '-',
                           palette.Button(14)->isVisibleTo(&palette) ? 'F' : '-'};
    }

    RecordingTarget target;
    TfToolBox palette{target, QStringLiteral("Upload"), nullptr};
};

TEST_F(ToolBoxTest, ButtonsSitWhereTheLayoutPutsThem)
{
    struct Case
    {
        int index;
        QRect bounds;
        int iconSize;
        int tag;
    };
    const Case cases[] = {
        {0, {12, 12, 44, 44}, 32, 1},   {1, {57, 12, 44, 44}, 32, 1},   {2, {12, 57, 44, 44}, 32, 1},
        {3, {57, 57, 44, 44}, 32, 1},   {4, {12, 102, 44, 44}, 32, 1},  {5, {57, 102, 44, 44}, 32, 1},
        {6, {12, 147, 44, 44}, 32, 1},  {7, {57, 147, 44, 44}, 32, 1},  {8, {12, 200, 30, 30}, 20, 2},
        {9, {42, 200, 30, 30}, 20, 2},  {10, {72, 200, 30, 30}, 20, 2}, {11, {12, 230, 30, 30}, 20, 3},
        {12, {42, 230, 30, 30}, 20, 3}, {13, {72, 230, 30, 30}, 20, 3}, {14, {12, 230, 30, 30}, 20, 4},
        {15, {42, 230, 30, 30}, 20, 4}, {16, {72, 230, 30, 30}, 20, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(palette.Button(c.index)->geometry(), c.bounds);
        EXPECT_EQ(palette.Button(c.index)->IconSize, c.iconSize);
        EXPECT_EQ(palette.Button(c.index)->Tag(), c.tag);
        EXPECT_TRUE(palette.Button(c.index)->text().isEmpty());
    }
    // At start: Move marked, every option row hidden, the upload button high up.
    EXPECT_EQ(marks(0, 8), "00000010");
    EXPECT_EQ(shownRows(), "---");
    EXPECT_EQ(palette.UploadButton()->geometry(), QRect(12, 220, 88, 35));
    EXPECT_EQ(palette.UploadButton()->text(), "Upload");
    EXPECT_EQ(palette.width(), TfToolBox::kClientWidth);
    EXPECT_EQ(palette.height(), 220 + 35 + 12);
}

TEST_F(ToolBoxTest, EachToolMarksItselfAndShowsItsRows)
{
    struct Case
    {
        int button;
        const char* call;
        const char* marks;
        const char* rows;
        int uploadTop;
    };
    const Case cases[] = {
        {0, "SetTool 1", "10000000", "CW-", 270}, {1, "SetTool 2", "01000000", "C-F", 270},
        {2, "SetTool 3", "00100000", "CW-", 270}, {3, "SetTool 4", "00010000", "CW-", 270},
        {4, "SetTool 5", "00001000", "CW-", 270}, {5, "SetTool 6", "00000100", "CW-", 270},
        {6, "SetTool 0", "00000010", "---", 220},
    };
    palette.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        // Move starts marked: reach it from another tool.
        if (c.button == 6)
            click(0);
        target.calls.clear();
        click(c.button);
        EXPECT_EQ(target.calls, std::vector<std::string>{c.call});
        EXPECT_EQ(marks(0, 8), c.marks);
        EXPECT_EQ(shownRows(), c.rows);
        EXPECT_EQ(palette.UploadButton()->y(), c.uploadTop);
        EXPECT_EQ(palette.height(), c.uploadTop + 35 + 12);
    }
}

TEST_F(ToolBoxTest, MarkedToolCannotBeClickedAndUndoKeepsTheMark)
{
    palette.show();
    click(6);
    EXPECT_TRUE(target.calls.empty());
    click(3);
    click(7);
    click(7);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"SetTool 4", "Undo", "Undo"}));
    EXPECT_EQ(marks(0, 8), "00010000");
    EXPECT_EQ(shownRows(), "CW-");
}

TEST_F(ToolBoxTest, OptionButtonsSetTheirIndexAndMarkOnlyInTheirRow)
{
    struct Case
    {
        int button;
        const char* call;
        int rowFirst;
        const char* marks;
    };
    const Case cases[] = {
        {9, "SetCurColor 1", 8, "010"},  {10, "SetCurColor 2", 8, "001"}, {8, "SetCurColor 0", 8, "100"},
        {13, "SetCurLine 2", 11, "001"}, {12, "SetCurLine 1", 11, "010"}, {11, "SetCurLine 0", 11, "100"},
        {16, "SetCurFont 2", 14, "001"}, {15, "SetCurFont 1", 14, "010"}, {14, "SetCurFont 0", 14, "100"},
    };
    palette.show();
    palette.MarkColor(-1);
    palette.MarkLine(-1);
    palette.MarkFont(-1);
    for (int row = 0; row < 3; ++row)
        palette.SetRowHidden(row, false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        target.calls.clear();
        click(c.button);
        EXPECT_EQ(target.calls, std::vector<std::string>{c.call});
        EXPECT_EQ(marks(c.rowFirst, 3), c.marks);
    }
    // The tool row is untouched by option clicks.
    EXPECT_EQ(marks(0, 8), "00000010");
}

TEST_F(ToolBoxTest, MarkingAcceptsOnlyIndicesOfTheRow)
{
    struct Case
    {
        int index;
        const char* marks;
    };
    const Case cases[] = {{0, "100"}, {1, "010"}, {2, "001"}, {3, "000"}, {-1, "000"}, {7, "000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        palette.MarkColor(c.index);
        palette.MarkLine(c.index);
        palette.MarkFont(c.index);
        EXPECT_EQ(marks(8, 3), c.marks);
        EXPECT_EQ(marks(11, 3), c.marks);
        EXPECT_EQ(marks(14, 3), c.marks);
    }
}

TEST_F(ToolBoxTest, KeysAndUploadGoToTheSelector)
{
    palette.show();
    QTest::keyClick(&palette, Qt::Key_Escape);
    QTest::keyClick(&palette, Qt::Key_A);
    QTest::mouseClick(palette.UploadButton(), Qt::LeftButton);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"Key " + std::to_string(Qt::Key_Escape),
                                                      "Key " + std::to_string(Qt::Key_A), "Confirm"}));
    const int before = target.moves;
    palette.move(palette.pos() + QPoint(30, 40));
    EXPECT_GT(target.moves, before);
}

// The palette as the user sees it: translated title, text tool chosen, green and the middle font size
// marked. Saved for review when TERN_ARTIFACTS_DIR is set.
TEST_F(ToolBoxTest, TranslatedPaletteScreenshot)
{
    LanguageTexts texts(TERN_SOURCE_LANGUAGES_DIR);
    ui::TranslateForm(texts, "english.lng", &palette);
    EXPECT_EQ(palette.windowTitle(), "Tools");
    palette.show();
    click(1);
    palette.MarkColor(1);
    palette.MarkFont(1);
    palette.MarkLine(2);
    test::SaveScreenshot(palette, "palette_text_tool.png");
    click(4);
    test::SaveScreenshot(palette, "palette_arrow_tool.png");
    click(6);
    test::SaveScreenshot(palette, "palette_move_tool.png");
}

} // namespace
} // namespace tern
