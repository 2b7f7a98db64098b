#include "controls/CellEditors.h"

TCellEditorRegistry& TCellEditorRegistry::Instance()
{
    static TCellEditorRegistry registry;
    return registry;
}

TCellEditorRegistry::TCellEditorRegistry()
{
    Register(edNormal, [] { return std::make_unique<TTextCellEditor>(); });
}

TCellEditorFactory TCellEditorRegistry::Register(TEditorType kind, TCellEditorFactory factory)
{
    TCellEditorFactory old;
    auto it = m_factories.find(kind);
    if (it != m_factories.end()) old = std::move(it->second);
    if (factory)
        m_factories[kind] = std::move(factory);
    else
        m_factories.erase(kind);
    return old;
}

void TCellEditorRegistry::Unregister(TEditorType kind)
{
    m_factories.erase(kind);
}

std::unique_ptr<TCellEditor> TCellEditorRegistry::Create(TEditorType kind) const
{
    auto it = m_factories.find(kind);
    if (it == m_factories.end()) it = m_factories.find(edNormal);
    if (it == m_factories.end()) return std::make_unique<TTextCellEditor>();
    std::unique_ptr<TCellEditor> e = it->second();
    return e ? std::move(e) : std::make_unique<TTextCellEditor>();
}
