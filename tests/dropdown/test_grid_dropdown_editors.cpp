// The drop-down controls as the grid's cell editors, driven with keys in a
// shown dialog: which keys write, move or cancel, what each kind loads from
// and writes into its cell, and that the dialog's default button never
// takes an Enter meant for an open editor.
#include "dropdown/DropDownTestSupport.h"
#include "dropdown/GridDropDowns.h"
#include "grid/ModifyQueryGrid.h"
#include "platform/ImageList.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <algorithm>
#include <functional>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QString TimeText(int h, int m)
{
    TDateTime t = 0;
    TryEncodeTime(h, m, 0, 0, t);
    return TimeToStr(t);
}

// A dialog with a default button and a grid of 1 fixed row and column and
// 3 x 3 data cells; column 1 is edited with `kind`.
class GridDropDowns : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterGridDropDownEditors();
        g.SetColCount(4);
        g.SetRowCount(4);
        g.SetOptions(g.Options().With(goEditing));
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r));
        g.OnGetEditorType = [this](TExtStringGrid*, int c, int, TEditorType& e) {
            if (c == 1) e = kind;
        };
        auto* lay = new QVBoxLayout(&dialog);
        lay->addWidget(g.CreateWnd(&dialog));
        auto* ok = new QPushButton("OK", &dialog);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, [this] { ++defaultClicks; });
        lay->addWidget(ok);
        dialog.resize(420, 220);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        g.Widget()->setFocus();
        g.SetCol(1);
        g.SetRow(1);
    }
    void TearDown() override
    {
        if (auto* dd = dynamic_cast<TExtCustomDropDown*>(Editor()); dd && dd->DroppedDown()) dd->HideDropDown(true);
    }
    TGridDropDownEditor* Editor() { return g.DropDownEditor(kind); }
    // Opens the editor of the current cell (F2).
    TGridDropDownEditor* Open()
    {
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        return g.EditMode() ? Editor() : nullptr;
    }
    // A key to whatever has the keyboard: the pop-up's control while it is
    // open, else the editor.
    void Key(int key, const QString& text = {})
    {
        QWidget* w = QApplication::focusWidget();
        auto* dd = dynamic_cast<TExtCustomDropDown*>(Editor());
        if (dd && dd->DroppedDown() && (!w || w->window() != dd->DropDownForm())) w = dd->DropDownForm();
        ASSERT_NE(w, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &release);
    }
    TEditorType kind = edTrackbarDropDown;
    int defaultClicks = 0;
    QDialog dialog;
    TModifyQueryGrid g;
};

} // namespace

TEST_F(GridDropDowns, DownWritesAndMovesWhenClosedAndStaysWhenThePopupIsOpen)
{
    struct Case {
        TEditorType kind;
        QString first, second;
    };
    const Case cases[] = {
        {edTrackbarDropDown, "7", "8"},
        {edCalculatorDropDown, "7.00", "8.00"},
        {edTimePickerDropDown, TimeText(7, 0), TimeText(8, 30)},
        {edDetailDropDown, "7", "8"},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(int(cs.kind));
        kind = cs.kind;
        g.SetRow(1);
        TGridDropDownEditor* e = Open();
        ASSERT_NE(e, nullptr);
        e->SetEditText(cs.first);
        Key(Qt::Key_Down);
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(g.Row(), 2);
        EXPECT_EQ(g.Cells(1, 1), cs.first);

        ASSERT_EQ(Open(), e);
        e->SetEditText(cs.second);
        e->OpenDropDown();
        ASSERT_TRUE(e->IsDroppedDown());
        Key(Qt::Key_Down);
        EXPECT_FALSE(g.EditMode());
        EXPECT_FALSE(e->IsDroppedDown());
        EXPECT_EQ(g.Row(), 2);
        EXPECT_EQ(g.Cells(1, 2), cs.second);
        EXPECT_FALSE(e->Control()->isVisible());
        EXPECT_FALSE(e->Control()->isEnabled());
    }
}

TEST_F(GridDropDowns, CalculatorEnterWritesThePendingResult)
{
    kind = edCalculatorDropDown;
    g.SetCells(1, 1, "2");
    ASSERT_NE(Open(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), "+3");
    Key(Qt::Key_Return, "\r");
    EXPECT_FALSE(g.EditMode());
    EXPECT_DOUBLE_EQ(g.Cells(1, 1).toDouble(), 5.0) << g.Cells(1, 1).toStdString();
    EXPECT_EQ(defaultClicks, 0);
}

TEST_F(GridDropDowns, ColourArrowsMoveInTheOpenPaletteAndKeepTheEditor)
{
    kind = edColorPickerDropDown;
    auto* e = dynamic_cast<TGridColorDropDown*>(Open());
    ASSERT_NE(e, nullptr);
    e->SetSelectedColor(e->Colors().Items(0)->Color());
    e->OpenDropDown();
    const TColor before = e->SelectedColor();
    for (int k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Up}) Key(k);
    EXPECT_TRUE(g.EditMode());
    EXPECT_TRUE(e->DroppedDown());
    EXPECT_EQ(g.Row(), 1);
    Key(Qt::Key_Return, "\r");
    EXPECT_FALSE(g.EditMode());
    EXPECT_NE(g.Colors(1, 1), before);
    EXPECT_EQ(g.Colors(1, 1), e->SelectedColor());
}

TEST_F(GridDropDowns, BackspaceSwitchesWorkModeOffUntilAnotherKey)
{
    kind = edMemoDropDown;
    auto* e = dynamic_cast<TGridMemoDropDown*>(Open());
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->WorkMode);
    Key(Qt::Key_Backspace);
    EXPECT_FALSE(e->WorkMode);
    Key(Qt::Key_Delete);
    EXPECT_FALSE(e->WorkMode);
    Key(Qt::Key_X, "x");
    EXPECT_TRUE(e->WorkMode);
}

TEST_F(GridDropDowns, ARefusingValidatorKeepsTheEditorTheCellAndTheRow)
{
    g.OnCellValidate = [](TExtStringGrid*, int, int, QString& value, bool& valid) {
        valid = value != "9";
        if (!valid) value = "no";
    };
    for (bool dropped : {false, true}) {
        SCOPED_TRACE(dropped);
        kind = edTrackbarDropDown;
        TGridDropDownEditor* e = Open();
        ASSERT_NE(e, nullptr);
        if (dropped) e->OpenDropDown();
        e->SetEditText("9");
        Key(Qt::Key_Return, "\r");
        EXPECT_TRUE(g.EditMode());
        EXPECT_EQ(g.Cells(1, 1), "B1");
        EXPECT_EQ(g.Row(), 1);
        auto* edit = dynamic_cast<QLineEdit*>(e->Control());
        EXPECT_EQ(edit->text(), "no");
        EXPECT_EQ(defaultClicks, 0);
        Key(Qt::Key_Escape);
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(g.Cells(1, 1), "B1");
    }
}

TEST_F(GridDropDowns, MemoWritesItsLinesBackUnchangedAndEscWritesNothing)
{
    kind = edMemoDropDown;
    for (const QString& text : {QString("abc"), QString("a\r\nb"), QString("a\r\nb\r\n"), QString()}) {
        SCOPED_TRACE(text.toStdString());
        g.SetCells(1, 1, text);
        g.SetRow(1);
        ASSERT_NE(Open(), nullptr);
        Key(Qt::Key_Return, "\r");
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(g.Cells(1, 1), text);
    }
    g.SetCells(1, 1, "abc");
    g.SetRow(1);
    TGridDropDownEditor* e = Open();
    ASSERT_NE(e, nullptr);
    e->SetEditText("changed");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "abc");
    EXPECT_EQ(defaultClicks, 0);
}

TEST_F(GridDropDowns, MemoPassesEachTypedChangeToTheCellAndEscPutsItBack)
{
    kind = edMemoDropDown;
    g.SetCells(1, 1, "abc");
    g.SetRow(1);
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel);
        ASSERT_NE(Open(), nullptr);
        Key(Qt::Key_X, "x");
        EXPECT_TRUE(g.EditMode());
        EXPECT_EQ(g.Cells(1, 1), "xabc");
        Key(Qt::Key_Y, "y");
        EXPECT_EQ(g.Cells(1, 1), "xyabc");
        Key(cancel ? Qt::Key_Escape : Qt::Key_Return, cancel ? "\x1b" : "\r");
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(g.Cells(1, 1), cancel ? "abc" : "xyabc");
        EXPECT_EQ(g.Row(), 1);
        g.SetRow(1);
    }
}

TEST_F(GridDropDowns, ColourGoesToTheShapeOrTheCellAndEscKeepsThePickedColourOut)
{
    kind = edColorPickerDropDown;
    g.AddShape(1, 2, csCircle, 0x0000FF, 0x000000, TCellHAlign::haCenter, TCellVAlign::vaCenter);
    g.SetColors(1, 1, 0x00FF00);
    const TColor shapeCellColor = g.Colors(1, 2);
    QStringList selected;
    g.OnColorSelected = [&](TExtStringGrid*, int c, int r, TColor& color, QString&) {
        selected << QStringLiteral("%1,%2 %3").arg(c).arg(r).arg(color, 6, 16, QChar('0'));
    };
    struct Case {
        int row;
        TColor start;
    };
    for (const Case& cs : {Case{1, 0x00FF00}, Case{2, 0x0000FF}}) {
        SCOPED_TRACE(cs.row);
        g.SetRow(cs.row);
        auto* e = dynamic_cast<TGridColorDropDown*>(Open());
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->SelectedColor(), cs.start);
        e->SetSelectedColor(0xFF0000);
        Key(Qt::Key_Return, "\r");
        EXPECT_FALSE(g.EditMode());
    }
    EXPECT_EQ(g.Colors(1, 1), TColor(0xFF0000));
    EXPECT_EQ(g.GetShapeColor(1, 2), TColor(0xFF0000));
    EXPECT_EQ(g.Colors(1, 2), shapeCellColor);
    EXPECT_EQ(selected, QStringList({"1,1 ff0000", "1,2 ff0000"}));

    // A colour picked in the palette is reported for the current cell.
    QStringList picked;
    g.OnColorSelect = [&](TExtStringGrid*, int c, int r, TColor color, const QString&) {
        picked << QStringLiteral("%1,%2 %3").arg(c).arg(r).arg(color, 6, 16, QChar('0'));
    };

    g.SetRow(1);
    auto* e = dynamic_cast<TGridColorDropDown*>(Open());
    ASSERT_NE(e, nullptr);
    e->OpenDropDown();
    EXPECT_TRUE(picked.isEmpty());
    e->SetItemIndex(1);
    EXPECT_EQ(picked, QStringList({QStringLiteral("1,1 %1").arg(e->SelectedColor(), 6, 16, QChar('0'))}));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Colors(1, 1), TColor(0xFF0000));
    EXPECT_EQ(selected.size(), 2);
}

TEST_F(GridDropDowns, ImageIndexOfImageListAndDataImageCells)
{
    kind = edImagePickerDropDown;
    TCustomImageList images(8, 8);
    for (int i = 0; i < 4; ++i) {
        QImage img(8, 8, QImage::Format_ARGB32);
        img.fill(QColor(i * 60, 0, 0));
        images.Add(img);
    }
    g.SetGridImages(&images);
    g.AddImageIdx(1, 1, 1, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.SetCells(1, 2, "2");
    g.AddDataImage(1, 2, 2, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.SetCells(1, 3, "x");
    g.AddDataImage(1, 3, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
    int selectedRow = -1;
    g.OnImageSelected = [&](TExtStringGrid*, int, int r, int&) { selectedRow = r; };
    // A choice in the picker is reported for the current cell; loading it is not.
    QStringList reported;
    g.OnImageSelect = [&](TExtStringGrid*, int c, int r, int i) { reported << QStringLiteral("%1,%2 %3").arg(c).arg(r).arg(i); };

    struct Case {
        int row, opens, picks;
    };
    for (const Case& cs : {Case{1, 1, 3}, Case{2, 2, 0}}) {
        SCOPED_TRACE(cs.row);
        g.SetRow(cs.row);
        auto* e = dynamic_cast<TGridImageDropDown*>(Open());
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->ImageIndex(), cs.opens);
        e->SetImageIndex(cs.picks);
        Key(Qt::Key_Return, "\r");
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(selectedRow, cs.row);
    }
    int idx = -1;
    EXPECT_TRUE(g.GetImageIdx(1, 1, idx));
    EXPECT_EQ(idx, 3);
    EXPECT_EQ(g.Cells(1, 2), "0");
    EXPECT_EQ(reported, QStringList({"1,1 3", "1,2 0"}));

    // A data-image cell whose text is no number opens with nothing chosen
    // and keeps its text.
    g.SetRow(3);
    auto* e = dynamic_cast<TGridImageDropDown*>(Open());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ItemIndex(), -1);
    Key(Qt::Key_Return, "\r");
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 3), "x");
    g.SetGridImages(nullptr);
}

TEST_F(GridDropDowns, ATypedStartCharacterReachesThePickers)
{
    // The character starts the pickers' search for an item by its caption.
    const auto search = [this]() -> QString {
        if (auto* c = dynamic_cast<TGridColorDropDown*>(Editor())) return c->CurSearch();
        if (auto* i = dynamic_cast<TGridImageDropDown*>(Editor())) return i->CurrentSearch();
        return "?";
    };
    for (TEditorType k : {edColorPickerDropDown, edImagePickerDropDown}) {
        SCOPED_TRACE(int(k));
        kind = k;
        g.SetRow(1);
        QTest::keyClick(g.Widget(), Qt::Key_R, Qt::NoModifier);
        EXPECT_TRUE(g.EditMode());
        EXPECT_EQ(search().toLower(), "r");
        Key(Qt::Key_Escape);
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(g.Cells(1, 1), "B1");
    }
}

TEST_F(GridDropDowns, EnterAndEscNeverReachTheDialog)
{
    for (TEditorType k : {edTrackbarDropDown, edMemoDropDown, edColorPickerDropDown, edDetailDropDown}) {
        for (bool dropped : {false, true}) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(int(k)).arg(dropped).toStdString());
            kind = k;
            g.SetRow(1);
            TGridDropDownEditor* e = Open();
            ASSERT_NE(e, nullptr);
            if (dropped) e->OpenDropDown();
            Key(Qt::Key_Return, "\r");
            // The open memo takes Enter as a line break.
            const bool memoLine = k == edMemoDropDown && dropped;
            EXPECT_EQ(g.EditMode(), memoLine);
            if (memoLine) Key(Qt::Key_Escape);
            ASSERT_NE(Open(), nullptr);
            if (dropped) e->OpenDropDown();
            Key(Qt::Key_Escape);
            EXPECT_FALSE(g.EditMode());
            EXPECT_TRUE(dialog.isVisible());
        }
    }
    EXPECT_EQ(defaultClicks, 0);
}

TEST_F(GridDropDowns, ListEditorsOpenOnTheCellsItemAndWriteTheChosenOne)
{
    // The application fills the lists in the editor property event.
    const auto fill = [](auto* dd) {
        if (dd->Items().Count() > 0) return;
        dd->Columns().Add().Width = 60;
        for (const char* name : {"Cherry", "Apple", "Banana"}) dd->Items().Add().Text = QStringList{name};
    };
    g.OnGetEditorProp = [&](TExtStringGrid*, int, int, TEditLink*) {
        if (auto* m = dynamic_cast<TGridGridDropDown*>(Editor())) fill(m);
        if (auto* x = dynamic_cast<TGridExtGridDropDown*>(Editor())) fill(x);
    };
    const auto itemIndex = [this] {
        if (auto* m = dynamic_cast<TGridGridDropDown*>(Editor())) return m->ItemIndex();
        if (auto* x = dynamic_cast<TGridExtGridDropDown*>(Editor())) return x->ItemIndex();
        return -2;
    };
    for (TEditorType k : {edGridDropDown, edExtGridDropDown}) {
        SCOPED_TRACE(int(k));
        kind = k;
        g.SetCells(1, 1, "Apple");
        g.SetCells(1, 2, "");
        g.SetRow(2);
        ASSERT_NE(Open(), nullptr);
        EXPECT_EQ(itemIndex(), 0);
        Key(Qt::Key_Escape);
        EXPECT_EQ(g.Cells(1, 2), "");

        g.SetRow(1);
        TGridDropDownEditor* e = Open();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(itemIndex(), 1);
        EXPECT_EQ(e->CellValue(), "Apple");
        e->SetEditText("Banana");
        e->OpenDropDown();
        Key(Qt::Key_Down);
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(g.Row(), 1);
        EXPECT_EQ(g.Cells(1, 1), "Banana");
    }
    auto* x = dynamic_cast<TGridExtGridDropDown*>(g.ExtGridDropDown());
    ASSERT_NE(x, nullptr);
    ASSERT_NE(x->InnerGrid(), nullptr);
    EXPECT_TRUE(x->InnerGrid()->FixedRowAlways());
}

TEST_F(GridDropDowns, MadeWithTheGridsTonesAndOpenedWithoutAFrame)
{
    TColorTones tones;
    tones.Background = {0x102030, 0x405060, 0x000000};
    tones.Hover = {0x111111, 0x222222, 0x000000};
    tones.Selected = {0x333333, 0x444444, 0x000000};
    g.SetColorTones(tones);
    for (TEditorType k : {edTrackbarDropDown, edMemoDropDown, edColorPickerDropDown}) {
        SCOPED_TRACE(int(k));
        kind = k;
        auto* dd = dynamic_cast<TExtCustomDropDown*>(Editor());
        ASSERT_NE(dd, nullptr);
        EXPECT_EQ(dd->BorderColor(), TColor(0x405060));
        EXPECT_TRUE(dd->hasFrame());
        ASSERT_NE(Open(), nullptr);
        EXPECT_FALSE(dd->hasFrame());
        Key(Qt::Key_Escape);
        EXPECT_FALSE(g.EditMode());
    }
}

// Each typed change asks the grid's modify query and then reports the text;
// the validator runs only when the edit is committed.
TEST_F(GridDropDowns, EachChangeAsksTheModifyQueryBeforeReportingAndValidatesOnCommit)
{
    std::vector<QString> seen;
    g.OnModifyQuery = [&] { seen.push_back("query"); };
    g.OnEditChange = [&](TExtStringGrid*, int, int, const QString& v) { seen.push_back("change " + v); };
    g.OnCellValidate = [&](TExtStringGrid*, int, int, QString& v, bool&) { seen.push_back("validate " + v); };
    struct Case {
        TEditorType kind;
        Qt::Key key;
        const char* typed;
        QString after; // the editor's text after the key
    };
    const Case cases[] = {
        {edMemoDropDown, Qt::Key_X, "x", "xB1\r\n"}, // the memo reports its lines
        {edCalculatorDropDown, Qt::Key_7, "7", "7"},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(int(cs.kind));
        kind = cs.kind;
        g.SetCells(1, 1, "B1");
        g.SetRow(1);
        seen.clear();
        ASSERT_NE(Open(), nullptr);
        seen.clear();
        Key(cs.key, cs.typed);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.front(), "query");
        EXPECT_EQ(seen.back(), "change " + cs.after);
        for (const QString& s : seen) EXPECT_FALSE(s.startsWith("validate")) << "no validation while typing";
        for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].startsWith("query"), i % 2 == 0) << i;
        seen.clear();
        Key(Qt::Key_Return, "\r");
        EXPECT_FALSE(g.EditMode());
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](const QString& s) { return s.startsWith("validate"); }), 1);
    }
}
