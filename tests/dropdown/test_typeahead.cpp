// Type-ahead completion and the list search characters.
#include "dropdown/ExtTypeAhead.h"

#include <gtest/gtest.h>

TEST(TypeAhead, CompletionTable)
{
    const QStringList fruit{QStringLiteral("Apple"), QStringLiteral("Apricot"), QStringLiteral("Banana")};
    struct Case {
        const char* name;
        QString text;
        int selStart;
        bool matchCase;
        TTypeAheadResult expected;
    };
    const Case cases[] = {
        {"first fitting entry", "A", 1, false, {0, "Apple", 1, 4}},
        {"typed further", "Apr", 3, false, {1, "Apricot", 3, 4}},
        {"typed letters kept as typed", "ban", 3, false, {2, "banana", 3, 3}},
        {"whole entry typed", "apple", 5, false, {0, "apple", 5, 0}},
        {"what follows the caret is replaced", "Apxyz", 2, false, {0, "Apple", 2, 3}},
        {"nothing fits: cut to the typed part", "Xyz", 1, false, {-1, "X", 1, 0}},
        {"case kept", "a", 1, true, {-1, "a", 1, 0}},
        {"case kept and fitting", "Ba", 2, true, {2, "Banana", 2, 4}},
        {"empty typed part fits nothing", "Apple", 0, false, {-1, "Apple", 0, 0}},
        {"empty text", "", 0, false, {-1, "", 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(CompleteTypeAhead(c.text, c.selStart, fruit, c.matchCase), c.expected) << c.name;
    EXPECT_EQ(CompleteTypeAhead(QStringLiteral("A"), 1, {}, false), (TTypeAheadResult{-1, "A", 1, 0}));
}

TEST(TypeAhead, LongEntryCompletesWhole)
{
    const QString longCaption = QStringLiteral("L") + QString(300, QLatin1Char('o')) + QStringLiteral("ng");
    const TTypeAheadResult r = CompleteTypeAhead(QStringLiteral("l"), 1, {longCaption}, false);
    EXPECT_EQ(r.Text, QStringLiteral("l") + longCaption.mid(1));
    EXPECT_EQ(r.SelLength, 302);
}

TEST(TypeAhead, SearchCharacters)
{
    EXPECT_EQ(TypeAheadSearchKey(Qt::Key_R, false), QStringLiteral("R")); // also with Shift
    EXPECT_EQ(TypeAheadSearchKey(Qt::Key_5, false), QStringLiteral("5"));
    EXPECT_EQ(TypeAheadSearchKey(Qt::Key_Space, false), QStringLiteral(" "));
    EXPECT_EQ(TypeAheadSearchKey(Qt::Key_Adiaeresis, false), QStringLiteral("\u00c4"));
    for (int key : {int(Qt::Key_Shift), int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape), int(Qt::Key_Down), int(Qt::Key_F4),
                    int(Qt::Key_Control), 0})
        EXPECT_EQ(TypeAheadSearchKey(key, false), QString()) << key;
    EXPECT_EQ(TypeAheadSearchKey(Qt::Key_R, true), QString()); // Ctrl+R
}
