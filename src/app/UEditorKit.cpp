#include "app/UEditorKit.h"

bool OctetDotKey(QChar key, QWidget* next)
{
    if (key != QLatin1Char('.')) return false;
    if (next && next->isVisible() && next->isEnabled()) {
        next->setFocus(Qt::TabFocusReason);
        if (auto* e = qobject_cast<QLineEdit*>(next)) e->selectAll();
    }
    return true;
}
