#pragma once
// String routines that go with the mini-HTML renderer: plain text of a
// mini-HTML text, escaping of the characters HTML reserves (and of accented
// letters), non-breaking blanks, and highlight marks around search matches
// that leave the tags already in the text intact.
#include <QString>

// "<BR>" and "<HR>" become CR LF, every other tag is removed; a "<" without
// a later ">" and what follows it are kept. Entities stay as they are.
QString StripMiniHtml(const QString& text);

// "&", '"', "<" and ">" become entities (with `withAccents` also the accented
// letters of the entity table), in one pass: unescaping gives the text back.
QString EscapeHtmlChars(const QString& text, bool withAccents);
// The reverse, in one pass; entity names match in exactly their case.
QString UnescapeHtmlChars(const QString& text, bool withAccents);

// Every blank becomes "&nbsp;".
QString SpacesToNbsp(const QString& text);

// Each match of `search` in the visible text wrapped in "<tag>" .. "</tag>".
QString MarkMatchesInHtml(const QString& text, const QString& search, const QString& tag, bool caseSensitive);
// Every "<tag>" and "</tag>" (any case) removed, then "&lt;" and "&gt;" back
// to "<" and ">".
QString UnmarkMatchesInHtml(const QString& text, const QString& tag);

// First occurrence of `find`, comparing with ASCII letters upper-cased.
bool ReplaceFirstIgnoreCase(const QString& find, const QString& replacement, QString& text);
int PosIgnoreCase(const QString& sub, const QString& text);

// The steps of the marking.
// The text without its tags (a "<" up to the next ">").
QString StripTagsOnly(const QString& text);
// 1-based position of the first character (visible or tag) before which
// exactly n - 1 visible characters lie; length + 1 when n is one past the
// visible characters; 0 beyond.
int HtmlPosOfVisibleChar(const QString& text, int n);
// 1-based position in `visible` of the first match of `search` after its
// first `from` characters; 0 when none.
int FindNextMatch(const QString& visible, const QString& search, int from, bool caseSensitive);
