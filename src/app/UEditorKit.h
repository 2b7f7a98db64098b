#pragma once
// A kit for the editor windows: the pieces every window that edits a
// configuration file needs, written once.
//
//  - TValueBinder: binds the members of a values struct to the window's
//    controls through one table of {member, control name, kind}. The table is
//    checked when the binder is made: a control that is missing or of the
//    wrong class fails loudly at start (an Exception naming it), not later
//    with a null dereference. Load writes the values into the controls in
//    table order, Store reads them back.
//  - OctetDotKey: the "." of an IPv4 octet edit moves on to the next octet.
#include "platform/Exception.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <array>
#include <functional>
#include <variant>
#include <vector>

// The "." typed into an IPv4 octet edit: the focus moves to the next octet
// edit (when there is one, shown and enabled) with its text selected, so that
// typing replaces it; the dot itself is never typed. Answers whether `key`
// was the dot (the caller then drops the key).
bool OctetDotKey(QChar key, QWidget* next);

// How a member is shown.
enum class TBindKind {
    Text,      // QString in a line edit
    UpperText, // QString in a line edit, loaded upper-cased (hex keys)
    Check,     // bool in a check box
    List,      // int item index in a combo box (-1 or out of range: none)
    Octets,    // four QStrings in the line edits named Control + "1" .. "4"
};

template <typename V>
struct TBinding {
    std::variant<QString V::*, bool V::*, int V::*, std::array<QString, 4> V::*> Member;
    QString Control;
    TBindKind Kind;
};

template <typename V>
class TValueBinder {
public:
    using TLookup = std::function<QWidget*(const QString& name)>;

    // Checks every binding against the controls the lookup finds.
    TValueBinder(std::vector<TBinding<V>> table, TLookup lookup) : m_table(std::move(table)), m_lookup(std::move(lookup))
    {
        for (const TBinding<V>& b : m_table) {
            if (b.Kind == TBindKind::Octets) {
                for (int i = 1; i <= 4; ++i) Find<QLineEdit>(b.Control + QString::number(i));
            } else if (b.Kind == TBindKind::Check) {
                Find<QCheckBox>(b.Control);
            } else if (b.Kind == TBindKind::List) {
                Find<QComboBox>(b.Control);
            } else {
                Find<QLineEdit>(b.Control);
            }
        }
    }

    // How a text is put into a line edit (default: setText).
    std::function<void(QLineEdit*, const QString&)> LoadText = [](QLineEdit* e, const QString& t) { e->setText(t); };
    // Runs after each binding was loaded (a window that refills a list when
    // another changes does it here).
    std::function<void(const TBinding<V>&)> AfterLoad;

    void Load(const V& v) const
    {
        for (const TBinding<V>& b : m_table) {
            std::visit([&](auto member) { Put(b, v.*member); }, b.Member);
            if (AfterLoad) AfterLoad(b);
        }
    }

    V Store() const
    {
        V v;
        for (const TBinding<V>& b : m_table) std::visit([&](auto member) { Get(b, v.*member); }, b.Member);
        return v;
    }

    const std::vector<TBinding<V>>& Table() const { return m_table; }

private:
    template <typename W>
    W* Find(const QString& name) const
    {
        auto* w = qobject_cast<W*>(m_lookup(name));
        if (!w) throw Exception(QStringLiteral("The window has no control \"%1\" of the bound kind.").arg(name));
        return w;
    }

    void Put(const TBinding<V>& b, const QString& s) const
    {
        LoadText(Find<QLineEdit>(b.Control), b.Kind == TBindKind::UpperText ? s.toUpper() : s);
    }
    void Put(const TBinding<V>& b, bool on) const { Find<QCheckBox>(b.Control)->setChecked(on); }
    void Put(const TBinding<V>& b, int index) const
    {
        QComboBox* c = Find<QComboBox>(b.Control);
        c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
    }
    void Put(const TBinding<V>& b, const std::array<QString, 4>& octets) const
    {
        for (int i = 0; i < 4; ++i) LoadText(Find<QLineEdit>(b.Control + QString::number(i + 1)), octets[size_t(i)]);
    }

    void Get(const TBinding<V>& b, QString& s) const { s = Find<QLineEdit>(b.Control)->text(); }
    void Get(const TBinding<V>& b, bool& on) const { on = Find<QCheckBox>(b.Control)->isChecked(); }
    void Get(const TBinding<V>& b, int& index) const { index = Find<QComboBox>(b.Control)->currentIndex(); }
    void Get(const TBinding<V>& b, std::array<QString, 4>& octets) const
    {
        for (int i = 0; i < 4; ++i) octets[size_t(i)] = Find<QLineEdit>(b.Control + QString::number(i + 1))->text();
    }

    std::vector<TBinding<V>> m_table;
    TLookup m_lookup;
};
