#pragma once
// The enumerations shared by the grid family: editor kinds, cell borders,
// sort styles, alignments and the option enumerations of the grid's settings
// objects. Their ordinal values are part of the interface (stored in column
// definitions and settings), so the names keep their order.
#include "platform/Grids.h"

#include <cstdint>

// ---------------------------------------------------------------------------
// Enumerations (their ordinal values are part of the interface).

enum TEditorType : uint8_t {
    edNormal,
    edSpinEdit,
    edComboEdit,
    edComboList,
    edEditBtn,
    edCheckBox,
    edDateEdit,
    edDateEditUpDown,
    edTimeEdit,
    edButton,
    edDataCheckBox,
    edNumeric,
    edPositiveNumeric,
    edFloat,
    edCapital,
    edMixedCase,
    edPassword,
    edUnitEditBtn,
    edLowerCase,
    edUpperCase,
    edFloatSpinEdit,
    edTimeSpinEdit,
    edDateSpinEdit,
    edNumericEditBtn,
    edFloatEditBtn,
    edCustom,
    edRichEdit,
    edNone,
    edDateTimeEdit,
    edValidChars,
    edTrackbarDropDown,
    edMemoDropDown,
    edCalculatorDropDown,
    edTimePickerDropDown,
    edDetailDropDown,
    edGridDropDown,
    edColorPickerDropDown,
    edImagePickerDropDown,
    edExtGridDropDown,
    edPositiveFloat,
    edNumericUnitEditBtn,
    edFloatUnitEditBtn,
    edMaskEditBtn,
};

enum TCellBorder : uint8_t { cbTop, cbLeft, cbRight, cbBottom };
using TCellBorders = TSet<TCellBorder>;
enum TCellGradientDirection : uint8_t { GradientVertical, GradientHorizontal };
enum TSortStyle : uint8_t {
    ssAutomatic,
    ssAlphabetic,
    ssNumeric,
    ssDate,
    ssAlphaNoCase,
    ssAlphaCase,
    ssShortDateEU,
    ssShortDateUS,
    ssCustom,
    ssFinancial,
    ssAnsiAlphaCase,
    ssAnsiAlphaNoCase,
    ssRaw,
    ssHTML,
    ssImages,
    ssCheckBox,
    ssDateTime,
    ssTime,
    ssAlphaNumeric,
    ssAlphaNumericNoCase,
};
enum TVAlignment : uint8_t { vtaTop, vtaCenter, vtaBottom };
enum TArrowDirection : uint8_t { arrUp, arrDown, arrLeft, arrRight };
enum TExtGridButtonStyle : uint8_t { tasButton, tasCheck };
enum TSearchDirection : uint8_t { sdTopBottom, sdLeftRight };
enum THomeEndAction : uint8_t { heFirstLastColumn, heFirstLastRow, heFirstLastCell };
enum TClipboardPasteAction : uint8_t { paReplace, paInsert };
enum TAdvanceDirection : uint8_t { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
enum TInsertPosition : uint8_t { pInsertBefore, pInsertAfter };
enum TCursorAdvance : uint8_t { caDefault, caSnake, caLoop };
enum TGridFixedCellEdit : uint8_t { fceNone, fceDblClick, fceLeftClick, fceRightClick };
enum TGridFixedCellEditor : uint8_t { fceEdit, fceComboEdit, fceComboList };
enum TWheelAction : uint8_t { waMoveSelection, waScroll };
