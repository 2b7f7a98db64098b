// The grid's side of the drop-down cell editors, with a stub editor
// registered for one drop-down kind: the order of the opening steps, the
// look the editor receives, what a commit and a cancel write, the relays of
// the header and footer buttons, and a kind without an editor.
#include "controls/CellEditors.h"
#include "grid/ExtGridDropDownEditor.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Writes down every step the grid asks of it.
class StubDropDown : public TGridDropDownEditor {
public:
    StubDropDown() : m_edit(new QLineEdit) {}
    ~StubDropDown() override { delete m_edit.data(); }
    QWidget* Control() const override { return m_edit; }
    TEditorType Kind() const override { return edMemoDropDown; }
    void SetDropDownLook(const TFooterAppearance& footer, const THeaderAppearance& header) override
    {
        Steps << QStringLiteral("look");
        FooterVisible = footer.Visible();
        HeaderVisible = header.Visible();
    }
    void SetStyleAndTones(TStudioStyle style, const TColorTones&) override
    {
        Steps << QStringLiteral("style");
        Style = style;
    }
    void SetEditorEnabled(bool) override { Steps << QStringLiteral("editor"); }
    void SetColor(TColor) override { Steps << QStringLiteral("color"); }
    void LoadCell(int c, int r, const QString& text) override
    {
        Steps << QStringLiteral("load %1,%2 %3 %4").arg(c).arg(r).arg(text, m_edit->isEnabled() ? "on" : "off");
        m_edit->setText(text);
    }
    void AfterFocus() override { Steps << QStringLiteral("focus"); }
    QString CellValue() const override { return m_edit->text(); }
    void SetEditText(const QString& text) override { m_edit->setText(text); }
    void OpenDropDown() override
    {
        Steps << QStringLiteral("drop");
        m_dropped = true;
    }
    void CloseDropDown(bool cancel) override
    {
        Steps << (cancel ? QStringLiteral("close cancel") : QStringLiteral("close"));
        m_dropped = false;
    }
    bool IsDroppedDown() const override { return m_dropped; }
    void StoreValue(int c, int r, const QString& value) override
    {
        Steps << QStringLiteral("store %1").arg(value);
        TGridDropDownEditor::StoreValue(c, r, value);
    }
    QLineEdit* Edit() const { return m_edit; }

    QStringList Steps;
    bool FooterVisible = true;
    bool HeaderVisible = true;
    TStudioStyle Style = tsCustom;

private:
    QPointer<QLineEdit> m_edit;
    bool m_dropped = false;
};

// A shown grid whose cell (1, 1) is edited with `kind`; the stub is the
// memo kind's editor for the test's duration.
class DropDownCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = TCellEditorRegistry::Instance().Register(edMemoDropDown,
                                                           [] { return std::make_unique<StubDropDown>(); });
        m_savedTrack = TCellEditorRegistry::Instance().Register(edTrackbarDropDown, nullptr);
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetOptions(g.Options().With(goEditing));
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r));
        g.OnGetEditorType = [this](TExtStringGrid*, int c, int, TEditorType& e) {
            if (c == 1) e = kind;
        };
        auto* lay = new QVBoxLayout(&host);
        lay->addWidget(g.CreateWnd(&host));
        host.resize(300, 160);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        g.Widget()->setFocus();
        g.SetCol(1);
        g.SetRow(1);
    }
    void TearDown() override
    {
        TCellEditorRegistry::Instance().Register(edMemoDropDown, m_saved);
        TCellEditorRegistry::Instance().Register(edTrackbarDropDown, m_savedTrack);
    }
    StubDropDown* Stub() { return dynamic_cast<StubDropDown*>(g.MemoDropDown()); }
    TEditorType kind = edMemoDropDown;
    TCellEditorFactory m_saved;
    TCellEditorFactory m_savedTrack;
    QWidget host;
    TExtStringGrid g;
};

} // namespace

TEST_F(DropDownCore, OpeningRunsTheSharedStepsInOrderWithTheGridsLook)
{
    g.ControlLook().DropDownFooter().SetVisible(false);
    g.ControlLook().DropDownHeader().SetVisible(true);
    g.SetComponentStyle(tsOffice2007Obsidian);
    g.MouseActions().SetDirectComboDrop(true);
    StubDropDown* s = Stub();
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->Edit()->isVisible());
    g.OnGetEditorProp = [s](TExtStringGrid*, int c, int r, TEditLink*) {
        s->Steps << QStringLiteral("prop %1,%2").arg(c).arg(r);
    };
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    EXPECT_EQ(s->Steps, QStringList({"look", "style", "prop 1,1", "load 1,1 B1 on", "color", "drop", "focus"}));
    EXPECT_FALSE(s->FooterVisible);
    EXPECT_TRUE(s->HeaderVisible);
    EXPECT_EQ(s->Style, tsOffice2007Obsidian);
    EXPECT_TRUE(s->Edit()->isVisible());
    EXPECT_TRUE(s->Edit()->hasFocus());
}

TEST_F(DropDownCore, EnterStoresThroughTheEditorEscWritesNothing)
{
    StubDropDown* s = Stub();
    ASSERT_NE(s, nullptr);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    s->Edit()->setText("new");
    s->Steps.clear();
    QTest::keyClick(s->Edit(), Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "new");
    EXPECT_TRUE(s->Steps.contains("store new"));
    EXPECT_FALSE(s->Edit()->isVisible());
    EXPECT_FALSE(s->Edit()->isEnabled());

    g.SetRow(1);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    s->OpenDropDown();
    s->Edit()->setText("other");
    s->Steps.clear();
    // The grid's cancel, as a wrapper hands it Esc from its open pop-up.
    ForwardKeyToGrid(&g, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "new");
    EXPECT_EQ(s->Steps, QStringList({"close cancel"}));
}

TEST_F(DropDownCore, HeaderAndFooterButtonsReportTheCurrentCell)
{
    StubDropDown* s = Stub();
    ASSERT_NE(s, nullptr);
    QStringList seen;
    g.OnDropDownHeaderButtonClick = [&](TExtStringGrid*, int c, int r, int i) {
        seen << QStringLiteral("header %1,%2 %3").arg(c).arg(r).arg(i);
    };
    g.OnDropDownFooterButtonClick = [&](TExtStringGrid*, int c, int r, int i) {
        seen << QStringLiteral("footer %1,%2 %3").arg(c).arg(r).arg(i);
    };
    g.SetRow(2);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    s->HeaderButtonClick(2);
    s->FooterButtonClick(0);
    EXPECT_EQ(seen, QStringList({"header 1,2 2", "footer 1,2 0"}));
}

TEST_F(DropDownCore, AKindWithoutAnEditorOpensNothingAndWritesNothing)
{
    kind = edTrackbarDropDown;
    EXPECT_EQ(g.TrackbarDropDown(), nullptr);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    EXPECT_FALSE(g.EditMode());
    QTest::keyClick(g.Widget(), Qt::Key_X);
    QTest::keyClick(g.Widget(), Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "B1");
}
