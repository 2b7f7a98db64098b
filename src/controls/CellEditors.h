#pragma once
// The registry of in-place cell editors, by editor kind.
//
// The grid shows one editor per kind (TCellEditor, platform/GridsWidget.h)
// and asks this registry to make it. The layers that own editors register
// their factories once at start-up: the text editor is registered here for
// edNormal, the first one; the string grid registers its combo, spin, date
// and check-box editors, the drop-down library its drop-down editors, so that
// the grid never includes a higher layer. A kind that nobody registered is
// edited with the text editor.
#include "controls/ExtObjTypes.h"
#include "platform/GridsWidget.h"

#include <functional>
#include <map>
#include <memory>

using TCellEditorFactory = std::function<std::unique_ptr<TCellEditor>()>;

class TCellEditorRegistry {
public:
    // The program's registry, with the text editor registered.
    static TCellEditorRegistry& Instance();

    TCellEditorRegistry();
    // Registers (or replaces) the factory of a kind; answers the factory it
    // replaced (empty when none), so that a test can put it back.
    TCellEditorFactory Register(TEditorType kind, TCellEditorFactory factory);
    void Unregister(TEditorType kind);
    bool IsRegistered(TEditorType kind) const { return m_factories.count(kind) != 0; }
    // A new editor of the kind; of edNormal's kind when the kind has none.
    std::unique_ptr<TCellEditor> Create(TEditorType kind) const;

private:
    std::map<TEditorType, TCellEditorFactory> m_factories;
};
