#include "controls/esgcheck.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

TEST(CellChecker, BaseChangesNothing)
{
    TExtStringGridCheck check;
    EXPECT_FALSE(check.GotoCell());
    EXPECT_FALSE(check.AutoCorrect());
    EXPECT_FALSE(check.AutoMarkError());
    EXPECT_FALSE(check.UseCorrect());
    EXPECT_FALSE(check.UseMarkError());
    check.SetGotoCell(true);
    check.SetAutoCorrect(true);
    check.SetAutoMarkError(true);
    check.SetUseCorrect(true);
    check.SetUseMarkError(true);
    EXPECT_TRUE(check.GotoCell() && check.AutoCorrect() && check.AutoMarkError() && check.UseCorrect() &&
                check.UseMarkError());

    // A range check with every flag on: each cell keeps its text, so every
    // cell passes.
    const QString cells[2][3] = {{"", "12", "<E>x</E>"}, {"a\r\nb", QString::fromUtf8("ü"), " "}};
    check.StartCheck();
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            const QString& before = cells[row][col];
            const QString after = check.MarkError(col, row, check.Correct(col, row, before));
            EXPECT_EQ(after, before) << col << "," << row;
        }
    check.StopCheck();
}

namespace {
// A checker as a user of the grid would write one.
class UpperCaseChecker : public TExtStringGridCheck {
public:
    using TExtStringGridCheck::TExtStringGridCheck;
    QString Correct(int, int, const QString& s) override { return s.toUpper(); }
    QString MarkError(int, int, const QString& s) override { return s.isEmpty() ? QStringLiteral("<E>?</E>") : s; }
    void StartCheck() override { ++starts; }
    void StopCheck() override { ++stops; }
    int starts = 0, stops = 0;
};
} // namespace

TEST(CellChecker, DerivedCheckerIsReachedThroughTheBase)
{
    QObject owner;
    QPointer<UpperCaseChecker> derived = new UpperCaseChecker(&owner);
    TExtStringGridCheck* link = derived;
    link->StartCheck();
    EXPECT_EQ(link->Correct(0, 0, "abc"), "ABC");
    EXPECT_EQ(link->MarkError(0, 0, ""), "<E>?</E>");
    link->StopCheck();
    EXPECT_EQ(derived->starts, 1);
    EXPECT_EQ(derived->stops, 1);

    // Freed with its owner; a guarded link sees it go.
    QPointer<TExtStringGridCheck> guarded = link;
    delete derived.data();
    EXPECT_TRUE(guarded.isNull());
    EXPECT_TRUE(owner.children().isEmpty());
}
