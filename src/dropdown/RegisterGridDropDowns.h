#pragma once
// Registers the drop-down cell editors (GridDropDowns.h) in the cell-editor
// registry, once; the program calls it at start-up. Kept apart from the
// wrappers so that a caller needs none of the drop-down controls' headers.
void RegisterGridDropDownEditors();
