#pragma once
// The web colour names: one entry per distinct value of the CSS colour
// keywords (CSS Color Module Level 3), named "clWeb" + the keyword. Where two
// keywords share a value (aqua and cyan, fuchsia and magenta, the gray and
// grey spellings) the table holds one of them.
#include "platform/Graphics.h"

#include <QString>
#include <span>

struct TWebColorEntry {
    TColor Value; // 0x00BBGGRR
    const char* Name;
};

// The 138 entries in table order.
std::span<const TWebColorEntry> WebColorTable();

// The name of a plain colour value (0x00BBGGRR); false when no keyword has it.
bool WebColorName(TColor rgb, QString& name);
