#include "grid/ExtCGrid.h"
#include "grid/ExtGrid.h"

#include <QFontMetrics>
#include <limits>
#include <gtest/gtest.h>

using enum TCellType;
using enum TCellHAlign;
using enum TCellVAlign;

namespace {

std::unique_ptr<TExtStringGrid> Grid(int cols = 5, int rows = 10)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    return g;
}

// Counts its own destruction, so a test sees whether the grid freed it.
class TCountedObject : public TInterfacedPersistent {
public:
    explicit TCountedObject(int& destroyed) : FDestroyed(destroyed) {}
    ~TCountedObject() override { ++FDestroyed; }
    void Draw(TCanvas&, const TRect&, int, int, bool, bool) override {}
    QSize PreferredSize() const override { return {33, 0}; }

private:
    int& FDestroyed;
};

} // namespace

// ---------------------------------------------------------------------------
// The graphic itself

TEST(CellGraphic, NewGraphicIsEmpty)
{
    TCellGraphic g;
    EXPECT_EQ(g.CellType, ctNone);
    EXPECT_FALSE(g.CellCreated);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(g.CellBitmap));
    EXPECT_EQ(int(TCellType::ctExpand), 32);
    EXPECT_EQ(CellTypeCount, 33);
}

TEST(CellGraphic, AngleAndButtonPacking)
{
    const std::pair<int, int> angles[] = {{-30, 330}, {720, 360}, {360, 360}, {0, 0}, {-360, 0}, {45, 45}};
    for (auto [in, out] : angles) {
        TCellGraphic g;
        g.SetAngle(int16_t(in));
        EXPECT_EQ(g.CellType, ctRotated);
        EXPECT_EQ(g.CellAngle, out) << in;
    }
    TCellGraphic b;
    b.SetButton(20, 16, "Go", haLeft, vaTop);
    EXPECT_EQ(b.CellIndex, 0x00100014);
    EXPECT_EQ(b.CellText, "Go");
    EXPECT_FALSE(b.CellBoolean);
}

TEST(CellGraphic, PictureSizeByStretchMode)
{
    QImage pic(100, 50, QImage::Format_RGB32);
    struct Case {
        TStretchMode mode;
        int cell;
        QPoint size;
    };
    using enum TStretchMode;
    const Case cases[] = {{noStretch, 60, {100, 50}},
                          {Stretch, 60, {60, 60}},
                          {Shrink, 60, {60, 60}},
                          {StretchWithAspectRatio, 60, {60, 30}},
                          {ShrinkWithAspectRatio, 60, {60, 30}},
                          {ShrinkWithAspectRatio, 200, {100, 50}},
                          {StretchWithAspectRatio, 200, {200, 100}},
                          {Shrink, 200, {100, 50}}};
    for (const Case& k : cases) {
        TCellGraphic g;
        g.SetPicture(&pic, false, k.mode, 0, haLeft, vaTop);
        EXPECT_EQ(g.GetPictureSize(k.cell, k.cell, false), k.size) << int(k.mode) << " " << k.cell;
    }
    // Padding comes off both sides of the cell; other kinds leave the size.
    TCellGraphic p;
    p.SetPicture(&pic, false, Stretch, 10, haLeft, vaTop);
    EXPECT_EQ(p.GetPictureSize(60, 40, false), QPoint(50, 30));
    TCellGraphic none;
    QPoint untouched(7, 8);
    none.GetPictureSize(60, 60, false, untouched);
    EXPECT_EQ(untouched, QPoint(7, 8));
}

TEST(CellGraphic, AssignCopiesFieldsButNoPayload)
{
    TCellGraphic a;
    a.SetBitmap(std::make_unique<QImage>(4, 4, QImage::Format_RGB32), true, haRight, vaBottom);
    a.CellVar = 5;
    a.CellCheckBoxState = cbGrayed;
    a.CellText = "t";
    TCellGraphic b;
    b.Assign(a);
    EXPECT_EQ(b.CellType, ctBitmap);
    EXPECT_TRUE(b.CellCreated);
    EXPECT_TRUE(b.CellTransparent);
    EXPECT_EQ(b.CellHAlign, haRight);
    EXPECT_EQ(b.CellVAlign, vaBottom);
    EXPECT_EQ(b.CellText, "t");
    EXPECT_EQ(b.Bitmap(), nullptr) << "the copy holds no payload and so frees nothing";
    EXPECT_FALSE(b.CellVar.isValid());
    EXPECT_EQ(b.CellCheckBoxState, cbUnchecked);
}

// ---------------------------------------------------------------------------
// Ownership and replacement (run under the sanitizers too)

TEST(CellGraphicStore, OwnershipAndReplacement)
{
    int destroyed = 0;
    TCountedObject object(destroyed);
    QImage callers(8, 8, QImage::Format_RGB32);
    QStringList captions{"a", "b"};
    {
        auto g = Grid();
        // A caller's object survives removal, replacement and the grid.
        g->AddInterfacedCell(1, 1, &object);
        EXPECT_EQ(g->GetInterfacedCell(1, 1), &object);
        EXPECT_TRUE(g->RemoveInterfacedCell(1, 1));
        g->AddInterfacedCell(1, 1, &object);
        g->AddBitmap(1, 1, &callers, false, haLeft, vaTop);
        EXPECT_EQ(g->GetBitmap(1, 1), &callers);
        g->AddInterfacedCell(2, 2, &object);
        g->AddRadio(3, 3, 0, 0, &captions);
        EXPECT_EQ(destroyed, 0);

        // What the grid creates is freed with the graphic: removal,
        // replacement and the end of the grid (the leak check sees each).
        QImage* made = g->CreateBitmap(1, 4, false, haLeft, vaTop);
        ASSERT_NE(made, nullptr);
        *made = QImage(2, 2, QImage::Format_RGB32);
        EXPECT_TRUE(g->GetCellGraphic(1, 4)->CellCreated);
        EXPECT_TRUE(g->RemoveBitmap(1, 4));
        g->CreatePicture(1, 5, false, TStretchMode::noStretch, 0, haLeft, vaTop);
        g->AddCheckBox(1, 5, true, false);
        g->CreateIcon(1, 6, haLeft, vaTop);
        g->CreateFilePicture(1, 7, false, TStretchMode::noStretch, 0, haLeft, vaTop);
        g->CreateBitButton(1, 8, 20, 16, "x", haLeft, vaTop);
        g->CreateRadio(2, 8, 0, 0)->append("own");
        g->AddBalloon(2, 1, "title", "text", TBalloonIcon::biInfo);
        g->AddCheckBox(3, 1, true, false);
        g->AddBalloon(3, 1, "t", "x", TBalloonIcon::biWarning);
        // Removing a kind that is not there leaves the graphic.
        EXPECT_FALSE(g->RemovePicture(1, 1));
        EXPECT_EQ(g->GetCellType(1, 1), ctBitmap);
    }
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(callers.width(), 8);
    EXPECT_EQ(captions.size(), 2);
}

TEST(CellGraphicStore, SharedGraphicsAreOnlyDetached)
{
    TExtColumnGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.Columns().Items(1).SetEditor(edDataCheckBox);
    TCellGraphic* shared = g.GetCellGraphic(1, 1);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->CellType, ctVirtCheckBox);
    // Lent to a cell, then removed and replaced: never freed by the cell.
    g.SetBorrowedGraphicEx(2, 2, shared);
    EXPECT_TRUE(g.RemoveCellGraphic(2, 2));
    g.SetBorrowedGraphicEx(2, 2, shared);
    g.AddBitmap(2, 2, nullptr, false, haLeft, vaTop);
    EXPECT_EQ(g.GetCellGraphic(1, 1), shared);
    EXPECT_EQ(shared->CellType, ctVirtCheckBox);
}

TEST(CellGraphicStore, LookupAndKindTests)
{
    auto g = Grid();
    EXPECT_EQ(g->GetCellType(-1, 2), ctEmpty);
    EXPECT_EQ(g->GetCellType(1, 2), ctEmpty);
    EXPECT_EQ(g->GetCellGraphic(1, 2), nullptr);
    EXPECT_EQ(g->CellGraphics(1, 2), nullptr);
    g->CreateCellGraphic(1, 2);
    EXPECT_EQ(g->CellTypes(1, 2), ctNone);
    EXPECT_TRUE(g->Cells(1, 2).isEmpty()) << "an empty cell stays empty";

    g->AddButton(2, 2, 20, 16, "b", haLeft, vaTop);
    EXPECT_TRUE(g->HasButton(2, 2));
    EXPECT_TRUE(g->IsControlCell(2, 2));
    g->AddBitButton(2, 3, 20, 16, "b", nullptr, haLeft, vaTop);
    EXPECT_TRUE(g->HasButton(2, 3));
    EXPECT_FALSE(g->IsControlCell(2, 3)) << "bit buttons are no control cells";
    EXPECT_TRUE(g->RemoveButton(2, 3));
    EXPECT_FALSE(g->HasCheckBox(-1, 1));
    EXPECT_FALSE(g->HasButton(-1, 1));

    // Kind tests read the base cell of a merged range.
    g->AddCheckBox(3, 4, true, false);
    g->MergeCells(3, 4, 2, 2);
    EXPECT_TRUE(g->HasCheckBox(4, 5));
    EXPECT_TRUE(g->IsRadioButtonChecked(3, 4) == false);
}

TEST(CellGraphicStore, ImageKindsNeedGridImages)
{
    auto g = Grid();
    g->AddImageIdx(1, 1, 2, haLeft, vaTop);
    g->AddDataImage(1, 2, 3, haLeft, vaTop);
    g->AddMultiImage(1, 3, 0, haLeft, vaTop);
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(g->GetCellType(1, r), ctEmpty) << r;

    TCustomImageList images(16, 12);
    g->SetGridImages(&images);
    g->AddImageIdx(1, 1, 2, haLeft, vaTop);
    int idx = -1;
    EXPECT_TRUE(g->GetImageIdx(1, 1, idx));
    EXPECT_EQ(idx, 2);
    g->SetImageIdx(1, 1, 5);
    EXPECT_EQ(g->GraphicSortKey(1, 1), 5);
    g->AddDataImage(1, 2, 3, haLeft, vaTop);
    EXPECT_EQ(g->Cells(1, 2), "3") << "an empty cell takes the index as its value";
    g->SetCells(1, 4, "keep");
    g->AddDataImage(1, 4, 3, haLeft, vaTop);
    EXPECT_EQ(g->Cells(1, 4), "keep");
    g->AddMultiImage(1, 3, 0, haLeft, vaTop);
    ASSERT_NE(g->CellImages(1, 3), nullptr);
    g->CellImages(1, 3)->Add(1);
    g->CellImages(1, 3)->Add(2);
    EXPECT_EQ(g->GetCellGraphicSize(1, 3), QPoint(32, 12));
    EXPECT_EQ(g->GetCellGraphicSize(1, 1), QPoint(16, 12));

    // Removing a data image clears the text even without one.
    g->SetCells(2, 5, "x");
    g->RemoveDataImage(2, 5);
    EXPECT_TRUE(g->Cells(2, 5).isEmpty());
    g->RemoveDataImage(1, 2);
    EXPECT_TRUE(g->Cells(1, 2).isEmpty());
    EXPECT_FALSE(g->HasDataImage(1, 2));
}

TEST(CellGraphicStore, CommentsShapesScrollBarsMarkers)
{
    auto g = Grid();
    // No graphic: nothing, -1 or clNone.
    EXPECT_EQ(g->GetShapeColor(1, 1), clNone);
    EXPECT_EQ(g->GetScrollPosition(1, 1), -1);
    EXPECT_EQ(g->GetScrollProp(1, 1).Range, -1);
    EXPECT_TRUE(g->GetComment(1, 1).isEmpty());

    g->SetComment(1, 1, "note");
    EXPECT_EQ(g->CellComment(1, 1), "note");
    EXPECT_EQ(g->GetCellGraphic(1, 1)->CellIndex, g->ControlLook().CommentColor());
    g->SetComment(1, 1, "again");
    EXPECT_EQ(g->GetComment(1, 1), "again");
    g->AddCheckBox(2, 1, true, false);
    g->SetComment(2, 1, "ignored");
    EXPECT_EQ(g->GetCellType(2, 1), ctCheckBox);
    g->AddColorComment(3, 3, "c", clRed);
    g->RemoveAllComments();
    EXPECT_FALSE(g->IsComment(1, 1, *std::make_unique<QString>()));
    EXPECT_EQ(g->GetCellType(3, 3), ctEmpty);

    g->AddShape(1, 2, csCircle, clRed, clBlack, haLeft, vaTop);
    g->SetShapeColor(1, 2, clBlue);
    EXPECT_EQ(g->GetShapeColor(1, 2), clBlue);

    g->AddScrollBar(1, 3, false);
    EXPECT_EQ(g->GetScrollPosition(1, 3), 0);
    EXPECT_EQ(g->GetScrollProp(1, 3).Range, 100);
    g->SetScrollPosition(1, 3, 40);
    EXPECT_EQ(g->GetScrollPosition(1, 3), 40);
    EXPECT_FALSE(g->HasAutoRangeScrollBar(1, 3));

    QImage pic(4, 4, QImage::Format_RGB32);
    g->AddPicture(1, 4, &pic, false, TStretchMode::noStretch, 0, haLeft, vaTop);
    g->AddMarker(1, 4, 2, 3);
    int pos = 0, len = 0;
    g->GetMarker(1, 4, pos, len);
    EXPECT_EQ(std::make_pair(pos, len), std::make_pair(2, 3));
    g->RemoveMarker(1, 4);
    g->GetMarker(1, 4, pos, len);
    EXPECT_EQ(std::make_pair(pos, len), std::make_pair(0, 0));
    EXPECT_TRUE(g->HasPicture(1, 4)) << "the picture stays";
    g->AddMarker(1, 5, 1, 1);
    EXPECT_NE(g->GetCellGraphic(1, 5), nullptr);
    g->RemoveAllMarkers();
    EXPECT_EQ(g->GetCellGraphic(1, 5), nullptr);

    g->AddExpand(2, 6, 80);
    EXPECT_EQ(g->GetExpandHeight(2, 6, true), 80);
    EXPECT_EQ(g->GetExpandHeight(2, 6, false), g->RowHeights(6));
    EXPECT_EQ(g->GetExpandHeight(3, 6, true), g->DefaultRowHeight());
    EXPECT_TRUE(g->ToggleExpand(2, 6));
    EXPECT_TRUE(g->GetExpandState(2, 6));
    EXPECT_FALSE(g->ToggleExpand(2, 6));

    // A balloon joins a check box; any other graphic refuses it.
    g->AddCheckBox(3, 7, false, false);
    g->AddBalloon(3, 7, "T", "X", TBalloonIcon::biError);
    EXPECT_EQ(g->GetCellType(3, 7), ctCheckBox);
    QString title, text;
    TBalloonIcon icon = TBalloonIcon::biNone;
    EXPECT_TRUE(g->IsBalloon(3, 7, title, text, icon));
    EXPECT_EQ(title, "T");
    EXPECT_EQ(text, "X");
    EXPECT_EQ(icon, TBalloonIcon::biError);
    g->RemoveBalloon(3, 7);
    EXPECT_FALSE(g->IsBalloon(3, 7, title, text, icon));
    EXPECT_EQ(g->GetCellType(3, 7), ctCheckBox);
    g->AddBalloon(1, 2, "T", "X", TBalloonIcon::biInfo);
    EXPECT_EQ(g->GetCellType(1, 2), ctShape);
    // Adding a bitmap to a check-box cell replaces the box.
    g->AddBitmap(3, 7, &pic, false, haLeft, vaTop);
    EXPECT_EQ(g->GetCellType(3, 7), ctBitmap);
}

TEST(CellGraphicSize, ScreenSizes)
{
    auto g = Grid();
    g->Font = QFont("DejaVu Sans", 9);
    const int th = QFontMetrics(g->Font).height();
    QStringList captions{"one", "two", "three"};
    g->AddRadio(1, 1, 0, 0, &captions);
    EXPECT_EQ(g->GetCellGraphicSize(1, 1).y(), std::max(16, th) * 3);
    g->AddCheckBox(1, 2, false, false);
    EXPECT_EQ(g->GetCellGraphicSize(1, 2), QPoint(15, 15));
    g->AddRadioButton(1, 3, false);
    EXPECT_EQ(g->GetCellGraphicSize(1, 3), QPoint(10, 10));
    g->AddRating(1, 4, 5, clRed, clGray);
    EXPECT_EQ(g->GetCellGraphicSize(1, 4), QPoint(90, 16));
    g->AddProgressPie(1, 5, clRed, 30);
    EXPECT_EQ(g->GetCellGraphicSize(1, 5), QPoint(20, 20));
    EXPECT_EQ(g->GetCellGraphicSize(2, 5), QPoint(0, 0));

    // The beside-text rule: a bitmap beside text counts only its width
    // when placed before the text.
    QImage bmp(24, 18, QImage::Format_RGB32);
    g->AddBitmap(2, 1, &bmp, false, haLeft, vaTop);
    EXPECT_EQ(g->GetCellGraphicSize(2, 1), QPoint(24, 18));
    g->SetCells(2, 1, "text");
    EXPECT_EQ(g->GetCellGraphicSize(2, 1), QPoint(0, 0));
    g->AddBitmap(2, 1, &bmp, false, haBeforeText, vaTop);
    EXPECT_EQ(g->GetCellGraphicSize(2, 1), QPoint(24, 0));

    int destroyed = 0;
    TCountedObject object(destroyed);
    g->AddInterfacedCell(2, 2, &object);
    EXPECT_EQ(g->GetCellGraphicSize(2, 2), QPoint(g->ColWidths(2), g->RowHeights(2)))
        << "a zero dimension takes the cell's size";

    g->AddButton(3, 3, 30, 14, "go", haLeft, vaTop);
    EXPECT_EQ(g->GetCellGraphicSize(3, 3), QPoint(30, 14));
    g->SetCells(3, 3, "t");
    EXPECT_EQ(g->GetCellGraphicSize(3, 3), QPoint(30, 0));
    QPoint print;
    g->CalcPrintGraphicSize(3, 3, print, 1.0, 100, 100);
    EXPECT_EQ(print, QPoint(30, 14));
    g->AddProgress(3, 4, clRed, clWhite);
    g->CalcPrintGraphicSize(3, 4, print, 1.0, 100, 100);
    EXPECT_EQ(print, QPoint(g->ColWidths(3), g->RowHeights(4)));
}

// ---------------------------------------------------------------------------
// Selection model

TEST(ExtGridSelection, DisjunctRowFlags)
{
    auto g = Grid(4, 10);
    g->MouseActions().SetDisjunctRowSelect(true);
    int asked = 0, told = 0;
    bool allow = true;
    g->OnRowDisjunctSelect = [&](TExtStringGrid*, int, bool, bool& a) {
        ++asked;
        a = allow;
    };
    g->OnRowDisjunctSelected = [&](TExtStringGrid*, int) { ++told; };
    g->SetRowSelect(5, true);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(g->SelectedRowCount(), 1);
    EXPECT_EQ(g->SelectedRow(0), 5);
    g->SetRowSelect(5, true);
    EXPECT_EQ(asked, 1) << "no change: nothing asked";
    EXPECT_EQ(told, 2);
    allow = false;
    g->SetRowSelect(6, true);
    EXPECT_FALSE(g->RowSelect(6));
    EXPECT_EQ(told, 2);
    allow = true;
    g->SetRowSelect(0, true);
    EXPECT_TRUE(g->RowSelect(0));
    EXPECT_EQ(g->SelectedRowCount(), 1) << "a fixed row does not enter the list";
    EXPECT_EQ(g->RowSelectCount(), 2);
    g->SelectRows(7, 2);
    EXPECT_EQ(g->SelectedRow(1), 7);
    EXPECT_EQ(g->SelectedRow(2), 8);
    EXPECT_EQ(g->SelectedRow(3), -1);
    EXPECT_TRUE(g->IsSelected(2, 7));
    EXPECT_FALSE(g->IsSelected(0, 7)) << "fixed column";
    g->UnSelectRows(7, 1);
    EXPECT_FALSE(g->RowSelect(7));
    g->ClearRowSelect();
    EXPECT_EQ(g->SelectedRowCount(), 0);
    EXPECT_FALSE(g->RowSelect(5));
}

TEST(ExtGridSelection, ErrorsCarryTheExactMessages)
{
    auto g = Grid(4, 10);
    auto message = [](auto&& f) {
        try {
            f();
        } catch (const EExtGridError& e) {
            return e.Message();
        }
        return QString("no error");
    };
    EXPECT_EQ(message([&] { g->RowSelect(-1); }), "Invalid row -1 accessed");
    EXPECT_EQ(message([&] { g->RowSelect(10); }), "Invalid row 10 accessed");
    EXPECT_EQ(message([&] { g->SetRowSelect(-1, true); }), "Invalid row accessed");
    EXPECT_EQ(message([&] { g->SetRowSelect(10, true); }), "Invalid row accessed");
    EXPECT_EQ(message([&] { g->ColSelect(4); }), "Invalid column accessed");
    EXPECT_EQ(message([&] { g->SetColSelect(-1, true); }), "Invalid column accessed");
    // A negative row is the grid's own error in every mode.
    g->MouseActions().SetRowSelectPersistent(true);
    g->MouseActions().SetDisjunctRowSelect(true);
    EXPECT_EQ(message([&] { g->RowSelect(-1); }), "Invalid row -1 accessed");
    EXPECT_EQ(message([&] { g->RowSelect(50); }), "no error");
    EXPECT_FALSE(g->RowSelect(std::numeric_limits<int>::max() - 1)) << "read without growing the flags to it";
}

TEST(ExtGridSelection, RectangleReadInItsStoredOrientation)
{
    auto g = Grid(6, 12);
    g->SelectRange(1, 3, 7, 4);
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 4);
    const TGridRect s = g->StoredSelection();
    EXPECT_EQ(s.Top, 7);
    EXPECT_EQ(s.Bottom, 4);
    EXPECT_EQ(g->SelectedRow(0), 4);
    EXPECT_EQ(g->SelectedRow(3), 7);
    EXPECT_EQ(g->SelectedRow(4), -1);
    EXPECT_EQ(g->RowSelectCount(), 4);
    EXPECT_EQ(g->SelectedRowCount(), 4);
    EXPECT_TRUE(g->RowSelect(5));
    EXPECT_TRUE(g->IsSelected(2, 5));
    EXPECT_FALSE(g->IsSelected(4, 5));

    // SelectRows without disjunct selection clips to the grid.
    g->SelectRows(8, 10);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 8, 5, 11}));
    g->SetSelChange(true);
    g->UnSelectRows(8, 1);
    EXPECT_FALSE(g->SelChange());
    EXPECT_EQ(g->Selection(), (TGridRect{1, 8, 5, 11}));

    g->SelectCells(2, 3, 4, 3);
    EXPECT_EQ(g->SelectedCellsCount(), 3);
    EXPECT_EQ(g->SelectedCell(0), (TGridCoord{2, 3}));
    EXPECT_EQ(g->SelectedColCount(), 3);
    g->FocusCell(4, 6);
    EXPECT_EQ(g->SelectedCellsCount(), 1);
    EXPECT_EQ(g->SelectedCell(0), (TGridCoord{4, 6}));
    g->ClearSelectedCells();
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 1);
}

TEST(ExtGridSelection, DisjunctCellsHoldAnyIndex)
{
    auto g = Grid(4, 4);
    g->MouseActions().SetDisjunctCellSelect(true);
    g->SetSelectedCells(70000, 2, true);
    EXPECT_EQ(g->SelectedCellsCount(), 1);
    EXPECT_EQ(g->SelectedCell(0), (TGridCoord{70000, 2}));
    EXPECT_TRUE(g->SelectedCells(70000, 2));
    EXPECT_FALSE(g->SelectedCells(4464, 2));
    g->SetSelectedCells(70000, 2, true);
    EXPECT_EQ(g->SelectedCellsCount(), 1) << "no duplicates";
    EXPECT_THROW(g->SelectedCell(1), Exception);
    g->SetSelectedCells(70000, 2, false);
    EXPECT_EQ(g->SelectedCellsCount(), 0);
}

TEST(ExtGridSelection, ColumnsModifiedAndEnabledRows)
{
    auto g = Grid(6, 8);
    g->SelectCols(2, 2);
    EXPECT_EQ(g->Selection(), (TGridRect{2, 1, 3, 7}));
    EXPECT_EQ(g->ColSelectCount(), 2);
    g->MouseActions().SetDisjunctColSelect(true);
    g->SelectCols(4, 5);
    EXPECT_EQ(g->ColSelectCount(), 2) << "columns past the grid are skipped";
    EXPECT_TRUE(g->IsSelected(5, 3));
    g->UnSelectCols(5, 1);
    EXPECT_FALSE(g->ColSelect(5));
    g->ClearColSelect();
    EXPECT_EQ(g->ColSelectCount(), 0);

    EXPECT_FALSE(g->RowModified(20));
    g->SetRowModified(3, true);
    g->SetRowModified(5, true);
    EXPECT_EQ(g->ModifiedRowCount(), 2);
    g->SetRowModified(3, false);
    EXPECT_EQ(g->ModifiedRowCount(), 1);
    g->ClearModifiedRows();
    EXPECT_EQ(g->ModifiedRowCount(), 0);

    // Disabling the current row moves it to the first enabled other row;
    // enabling a row never moves it.
    g->SetRow(4);
    EXPECT_FALSE(g->UseEnabledRows());
    g->SetRowEnabled(4, true);
    EXPECT_EQ(g->Row(), 4);
    EXPECT_TRUE(g->UseEnabledRows());
    g->SetRowEnabled(1, false);
    g->SetRowEnabled(4, false);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_FALSE(g->RowEnabled(4));
    EXPECT_TRUE(g->RowEnabled(99));
}

TEST(ExtGridSelection, PersistentFlagsReachHiddenRealRows)
{
    auto g = Grid(3, 6);
    g->MouseActions().SetDisjunctRowSelect(true);
    g->MouseActions().SetRowSelectPersistent(true);
    // A flag at a real row past the shown rows can be written and read.
    g->SetRowSelect(5, true);
    EXPECT_TRUE(g->RowSelect(5));
    g->SelectRows(1, 5);
    EXPECT_EQ(g->SelectedRowCount(), 5);
}

TEST(ExtGridSelection, SelectedText)
{
    auto g = Grid(4, 5);
    g->SetCells(1, 1, "a");
    g->SetCells(2, 1, "b");
    g->SetCells(1, 2, "c");
    g->SetCells(2, 2, "d");
    g->SetCells(1, 3, "e");
    g->SetCells(2, 3, "f");
    g->SelectCells(1, 1, 2, 2);
    EXPECT_EQ(g->SelectedText(), "a\tb\r\nc\td");
    // Disjunct rows: CR LF between the rows taken, none after the last.
    g->MouseActions().SetDisjunctRowSelect(true);
    g->SetRowSelect(1, true);
    g->SetRowSelect(3, true);
    EXPECT_EQ(g->SelectedText(), "a\tb\r\ne\tf");

    // Multi-line texts are quoted for spreadsheets only when asked to.
    g->MouseActions().SetDisjunctRowSelect(false);
    g->SetMultilinecells(true);
    g->SetCells(1, 1, "x\r\ny");
    g->SelectCells(1, 1, 2, 1);
    EXPECT_EQ(g->SelectedText(), "x\r\ny\tb");
    g->SetExcelClipboardFormat(true);
    EXPECT_EQ(g->SelectedText(), "\"x\vy\"\tb");
}

// ---------------------------------------------------------------------------
// Row and storage hooks

TEST(ExtGridHooks, SaveTextOfEmptyBoxes)
{
    auto g = Grid();
    g->AddCheckBox(1, 1, true, false);
    g->AddCheckBox(1, 2, false, false);
    g->AddCheckBox(1, 3, TCheckBoxState::cbChecked);
    g->AddCheckBox(1, 4, TCheckBoxState::cbGrayed);
    g->SetCells(1, 5, "text");
    g->AddCheckBox(1, 5, true, false);
    const char* expected[] = {"", "Y", "N", "Y", "N", "text"};
    for (int r = 1; r <= 5; ++r) {
        QString v;
        g->GetSaveText(1, r, v);
        EXPECT_EQ(v, expected[r]) << r;
    }
    g->SetCells(2, 1, "<b>bold</b>");
    g->SetSaveWithHTML(false);
    QString v;
    g->GetSaveText(2, 1, v);
    EXPECT_EQ(v, "bold");
    g->OnSaveCell = [](TExtStringGrid*, int, int, QString& value) { value += "!"; };
    g->GetSaveText(1, 1, v);
    EXPECT_EQ(v, "Y!");

    g->OnLoadCell = [](TExtStringGrid*, int, int, QString& value) { value = value.toUpper(); };
    g->SetLoadText(3, 3, "abc");
    EXPECT_EQ(g->Cells(3, 3), "ABC");
}

TEST(ExtGridHooks, RemovingTheOnlyDataRowEmptiesIt)
{
    auto g = Grid(3, 2);
    g->SetCells(1, 1, "x");
    std::vector<int> deleted;
    g->OnAutoDeleteRow = [&](TExtStringGrid*, int r) { deleted.push_back(r); };
    g->RemoveGridRow(1);
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_TRUE(g->Cells(1, 1).isEmpty());
    g->InsertGridRow(1);
    EXPECT_EQ(g->RowCount(), 3);
    g->RemoveGridRow(2);
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_EQ(deleted, (std::vector<int>{1, 2}));

    int changed = 0;
    g->OnSelectionChanged = [&](TExtStringGrid*, int, int, int, int) { ++changed; };
    g->DoSelectionChanged(1, 1, 1, 1);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(g->SelChange());
    QString f;
    g->SetCells(2, 1, "=1+1");
    g->FormulaCellText(2, 1, f);
    EXPECT_EQ(f, "=1+1");
}

// ---------------------------------------------------------------------------
// Companion settings objects

TEST(CompanionSettings, AssignRules)
{
    TExtStringGrid g;
    TPrintSettings a(&g), b(&g);
    EXPECT_EQ(a.DateFormat(), "dd/mm/yyyy");
    EXPECT_EQ(a.PageNumSep(), "/");
    EXPECT_EQ(a.Borders(), TPrintBorders::pbSingle);
    EXPECT_TRUE(a.Centered());
    EXPECT_TRUE(a.UseDisplayFont());
    a.SetFixedCellsAlways(true);
    a.SetTitleText("title");
    a.SetTitleLines({"l1", "l2"});
    QFont f("DejaVu Sans", 17);
    a.SetFont(f);
    a.SetOrientation(TPrinterOrientation::poLandscape);
    b.Assign(a);
    EXPECT_FALSE(b.FixedCellsAlways()) << "FixedCellsAlways is not copied";
    EXPECT_EQ(b.TitleText(), "title");
    EXPECT_EQ(b.TitleLines(), (QStringList{"l1", "l2"}));
    EXPECT_EQ(b.Font().pointSize(), 17);
    EXPECT_EQ(b.Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_EQ(b.Grid(), &g);

    THTMLSettings h1, h2;
    EXPECT_EQ(h1.Width(), 100);
    EXPECT_EQ(h1.BorderSize(), 1);
    EXPECT_TRUE(h1.ExportImages());
    h1.SetExportImages(false);
    h1.SetSummary("s");
    h1.ColWidths.Add(40);
    h2.Assign(h1);
    EXPECT_TRUE(h2.ExportImages()) << "ExportImages is not copied";
    EXPECT_EQ(h2.Summary(), "s");
    EXPECT_EQ(h2.ColWidths.Count(), 0);

    TColumnSize c1(&g), c2(&g);
    EXPECT_EQ(c1.StretchColumn(), -1);
    EXPECT_EQ(c1.Rows(), TAutoSizeRows::arAll);
    c1.SetKey("k");
    c1.SetSection("s");
    c1.SetStretchColumn(2);
    c1.SetLocation(TColumnSizeLocation::clIniFile);
    c1.SetSynchWithGrid(true);
    c2.Assign(c1);
    EXPECT_EQ(c2.Key(), "k");
    EXPECT_EQ(c2.Section(), "s");
    EXPECT_EQ(c2.StretchColumn(), 2);
    EXPECT_EQ(c2.Location(), TColumnSizeLocation::clIniFile);
    EXPECT_TRUE(c2.SynchWithGrid());

    TCellNode n(&g);
    EXPECT_EQ(n.NodeType(), TNodeType::cnXP);
    EXPECT_EQ(n.NodeIndent(), 12);
    EXPECT_EQ(n.TreeColor(), clGray);
    TSizeWhileTyping s;
    EXPECT_FALSE(s.Height());
    EXPECT_FALSE(s.Width());
}

TEST(ExtGridSelection, RectangleCopiedIntoTheFlags)
{
    auto g = Grid(5, 8);
    g->SetFixedFooters(1);
    g->MouseActions().SetDisjunctRowSelect(true);
    g->SetRowSelect(2, true);
    g->SelectCells(1, 4, 3, 7);
    // Only the rows inside are written; the footer row is cut off.
    g->SelectionToRowSelect(false);
    EXPECT_TRUE(g->RowSelect(2));
    EXPECT_TRUE(g->RowSelect(4));
    EXPECT_TRUE(g->RowSelect(6));
    EXPECT_FALSE(g->RowSelect(7));
    // Every row: those outside are cleared.
    g->SelectionToRowSelect(true);
    EXPECT_FALSE(g->RowSelect(2));
    EXPECT_EQ(g->SelectedRowCount(), 3);

    g->SelectionToColSelect(false);
    EXPECT_TRUE(g->ColSelect(1));
    EXPECT_TRUE(g->ColSelect(3));
    EXPECT_FALSE(g->ColSelect(4));
    g->SelectCells(4, 1, 4, 1);
    g->SelectionToColSelect(true);
    EXPECT_FALSE(g->ColSelect(1));
    EXPECT_TRUE(g->ColSelect(4));
}
