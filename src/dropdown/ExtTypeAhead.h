#pragma once
// Type-ahead in the list drop-downs, as pure routines: the completion of the
// text left of the caret from a list of entries (the detail, multi-column and
// grid drop-downs), and the character a key adds to a search typed while a
// list is open.
#include <QString>
#include <QStringList>

// What a completion leaves in the edit.
struct TTypeAheadResult {
    // The entry completed from; -1 when none fits.
    int Index = -1;
    // The edit's text afterwards (unchanged when the typed part is empty
    // and nothing fits).
    QString Text;
    // The selection afterwards: the completed remainder, or the caret
    // after the typed part.
    int SelStart = 0;
    int SelLength = 0;
    bool operator==(const TTypeAheadResult&) const = default;
};

// The typed part is the first `selStart` characters of `text`. The first
// entry that begins with it (both upper-cased unless `matchCase`; an empty
// typed part fits nothing) completes it: the typed characters as typed,
// then the whole rest of the entry, the rest selected. Without a fitting
// entry the text is cut back to the typed part with the caret at its end.
TTypeAheadResult CompleteTypeAhead(const QString& text, int selStart, const QStringList& entries, bool matchCase);

// The character a key (a Qt key code) adds to a list search: letters as
// capitals whatever the Shift state, digits, blanks and the other printable
// Latin-1 keys as their character. Keys that type no printable character
// (Enter, Escape, Shift, the arrows and the like) and keys pressed with Ctrl
// add nothing (an empty text).
QString TypeAheadSearchKey(int key, bool ctrlHeld);
