#include "dropdown/ExtTypeAhead.h"

#include "controls/ExtDropDownDraw.h"

#include <algorithm>

TTypeAheadResult CompleteTypeAhead(const QString& text, int selStart, const QStringList& entries, bool matchCase)
{
    TTypeAheadResult result;
    result.Text = text;
    selStart = std::clamp(selStart, 0, int(text.size()));
    result.SelStart = selStart;
    const QString typed = text.left(selStart);
    const QString prefix = CaseFoldText(text, matchCase).left(selStart);
    if (!prefix.isEmpty()) {
        for (int i = 0; i < entries.size(); ++i) {
            if (!CaseFoldText(entries[i], matchCase).startsWith(prefix)) continue;
            result.Index = i;
            result.Text = text.left(prefix.size()) + entries[i].mid(prefix.size());
            result.SelStart = int(prefix.size());
            result.SelLength = int(result.Text.size()) - result.SelStart;
            return result;
        }
    }
    if (!typed.isEmpty()) {
        result.Text = typed;
        result.SelStart = int(typed.size());
        result.SelLength = 0;
    }
    return result;
}

QString TypeAheadSearchKey(int key, bool ctrlHeld)
{
    // Qt's codes of the printable Latin-1 keys are their (capital) characters.
    if (ctrlHeld || key < 0x20 || key > 0xFF) return QString();
    const QChar c(key);
    return c.isPrint() ? QString(c) : QString();
}
