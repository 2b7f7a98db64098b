#include "app/UEditorKit.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct Values {
    QString Name;
    QString Key;
    bool On = false;
    int Pick = 0;
    std::array<QString, 4> Ip;
    bool operator==(const Values&) const = default;
};

const std::vector<TBinding<Values>>& Table()
{
    using enum TBindKind;
    static const std::vector<TBinding<Values>> t = {
        {&Values::Name, "E_Name", Text}, {&Values::Key, "E_Key", UpperText}, {&Values::On, "CB_On", Check},
        {&Values::Pick, "CB_Pick", List}, {&Values::Ip, "E_IP", Octets},
    };
    return t;
}

// A window with the controls of the table (but the ones left out).
struct Window {
    QWidget w;
    explicit Window(const QString& leaveOut = QString())
    {
        auto add = [&](QWidget* c, const QString& name) {
            c->setObjectName(name);
            if (name == leaveOut) delete c;
        };
        add(new QLineEdit(&w), "E_Name");
        add(new QLineEdit(&w), "E_Key");
        add(new QCheckBox(&w), "CB_On");
        auto* combo = new QComboBox(&w);
        combo->addItems({"a", "b", "c"});
        add(combo, "CB_Pick");
        for (int i = 1; i <= 4; ++i) add(new QLineEdit(&w), "E_IP" + QString::number(i));
    }
    QWidget* Find(const QString& name) { return w.findChild<QWidget*>(name); }
};

} // namespace

TEST(EditorKit, ValuesGoToTheirControlsAndBack)
{
    Window win;
    TValueBinder<Values> b(Table(), [&](const QString& n) { return win.Find(n); });
    Values v{"dev", "ab12", true, 2, {"10", "0", "0", "7"}};
    b.Load(v);
    EXPECT_EQ(qobject_cast<QLineEdit*>(win.Find("E_Key"))->text(), "AB12");
    EXPECT_EQ(qobject_cast<QLineEdit*>(win.Find("E_IP4"))->text(), "7");
    Values back = b.Store();
    v.Key = "AB12";
    EXPECT_EQ(back, v);
    // An index the list does not have selects nothing.
    v.Pick = 9;
    b.Load(v);
    EXPECT_EQ(b.Store().Pick, -1);
}

TEST(EditorKit, AMissingOrWrongControlFailsWhenTheBinderIsMade)
{
    for (const char* missing : {"E_Name", "CB_Pick", "E_IP3"}) {
        Window win(missing);
        EXPECT_THROW(TValueBinder<Values>(Table(), [&](const QString& n) { return win.Find(n); }), Exception)
            << missing;
    }
    // A check box where a list is bound is as wrong as none.
    Window win;
    delete win.Find("CB_Pick");
    (new QCheckBox(&win.w))->setObjectName("CB_Pick");
    try {
        TValueBinder<Values>(Table(), [&](const QString& n) { return win.Find(n); });
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains("CB_Pick"));
    }
}

TEST(EditorKit, DotMovesToTheNextOctetAndIsNotTyped)
{
    QWidget w;
    auto* a = new QLineEdit("192", &w);
    auto* b = new QLineEdit("168", &w);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    a->setFocus();
    EXPECT_FALSE(OctetDotKey(QLatin1Char('1'), b));
    EXPECT_TRUE(OctetDotKey(QLatin1Char('.'), b));
    EXPECT_TRUE(b->hasFocus());
    EXPECT_EQ(b->selectedText(), "168");
    // The last octet keeps the focus; a hidden or disabled successor too.
    EXPECT_TRUE(OctetDotKey(QLatin1Char('.'), nullptr));
    EXPECT_TRUE(b->hasFocus());
    a->setEnabled(false);
    EXPECT_TRUE(OctetDotKey(QLatin1Char('.'), a));
    EXPECT_TRUE(b->hasFocus());
}
