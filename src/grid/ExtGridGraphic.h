#pragma once
// The one graphic a cell of the string grid may carry: a bitmap, picture,
// icon, image-list image, check box, radio control, progress bar, comment
// mark, button, node button ... The kind (CellType) decides what the fields
// mean; the grid's cell-object operations fill them.
//
// The two payload slots (CellBitmap, CellIcon) hold a typed value: nothing, a
// colour, or an object that is either borrowed (the caller keeps it and must
// let it outlive the graphic) or owned (freed with the graphic). A colour can
// therefore never be freed as an object, and what is freed never depends on
// a flag. CellCreated is kept as the published flag that tells that the grid
// made the payload.
#include "controls/ExtObjTypes.h"
#include "controls/ExtObjWidgets.h"
#include "controls/ExtUtilDraw.h"
#include "platform/Graphics.h"
#include "platform/ImageList.h"
#include "platform/Grids.h"
#include "platform/GridsStore.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <variant>

class TCanvas;

enum class TCellType : uint8_t {
    ctBitmap,
    ctIcon,
    ctNone,
    ctImageList,
    ctCheckBox,
    ctDataCheckBox,
    ctRotated,
    ctDataImage,
    ctNode,
    ctRadio,
    ctEmpty,
    ctImages,
    ctPicture,
    ctFilePicture,
    ctValue,
    ctProgress,
    ctComment,
    ctButton,
    ctBitButton,
    ctVirtCheckBox,
    ctRowCheckBox,
    ctProgressPie,
    ctSummary,
    ctRangeIndicator,
    ctXPProgress,
    ctInterface,
    ctScrollbar,
    ctRadioButton,
    ctBalloon,
    ctShape,
    ctRating,
    ctTriStateCheckBox,
    ctExpand,
};
constexpr int CellTypeCount = int(TCellType::ctExpand) + 1;
using TCellTypes = TSet<TCellType>;

enum class TCellVAlign : uint8_t { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
enum class TCellHAlign : uint8_t { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum class TStretchMode : uint8_t { noStretch, Stretch, Shrink, StretchWithAspectRatio, ShrinkWithAspectRatio };
enum class TBalloonIcon : uint8_t { biNone, biInfo, biWarning, biError };

// An object that paints itself in a cell (ctInterface). PreferredSize
// answers (0, 0) when the object has no size of its own; the cell's size is
// used then.
class TInterfacedPersistent {
public:
    virtual ~TInterfacedPersistent() = default;
    virtual void Draw(TCanvas& canvas, const TRect& r, int col, int row, bool selected, bool printing) = 0;
    virtual QSize PreferredSize() const { return {}; }
};

// A payload slot of a cell graphic.
using TCellPayload =
    std::variant<std::monostate, TColor, QImage*, std::unique_ptr<QImage>, TFilePicture*, std::unique_ptr<TFilePicture>,
                 QStringList*, std::unique_ptr<QStringList>, std::unique_ptr<TIntList>, TInterfacedPersistent*>;

// The object of type T a slot holds, borrowed or owned; nullptr otherwise.
template <class T>
T* PayloadObject(const TCellPayload& p)
{
    return std::visit(
        [](const auto& v) -> T* {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, T*>)
                return v;
            else if constexpr (std::is_same_v<V, std::unique_ptr<T>>)
                return v.get();
            else
                return nullptr;
        },
        p);
}
// The colour a slot holds; 0 when it holds none.
TColor PayloadColor(const TCellPayload& p);
// Whether the slot owns its object.
bool PayloadOwned(const TCellPayload& p);

class TCellGraphic : public TCellObject {
public:
    TCellGraphic() = default;
    ~TCellGraphic() override;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;

    TCellType CellType = TCellType::ctNone;
    TCellPayload CellBitmap;
    TCellPayload CellIcon;
    TCellVAlign CellVAlign = TCellVAlign::vaTop;
    TCellHAlign CellHAlign = TCellHAlign::haLeft;
    int32_t CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    int32_t CellAngle = 0;
    double CellValue = 0;
    int32_t CellErrFrom = 0;
    int32_t CellErrLen = 0;
    QString CellText;
    QVariant CellVar;
    TCheckBoxState CellCheckBoxState = cbUnchecked;

    // Typed views of the payload slots.
    QImage* Bitmap() const { return PayloadObject<QImage>(CellBitmap); }
    QImage* Picture() const { return Bitmap(); }
    QImage* Icon() const { return PayloadObject<QImage>(CellIcon); }
    TFilePicture* FilePicture() const { return PayloadObject<TFilePicture>(CellBitmap); }
    QStringList* Strings() const { return PayloadObject<QStringList>(CellBitmap); }
    TIntList* IntList() const { return PayloadObject<TIntList>(CellBitmap); }
    TInterfacedPersistent* Interfaced() const { return PayloadObject<TInterfacedPersistent>(CellBitmap); }
    TColor BitmapColor() const { return PayloadColor(CellBitmap); }
    TColor IconColor() const { return PayloadColor(CellIcon); }
    // A check box or radio button with a balloon attached.
    bool HasAttachedBalloon() const;

    // Each setter turns the graphic into one kind and fills that kind's
    // fields; none repaints. Borrowed payloads stay the caller's; the owned
    // overloads make the graphic free the payload (CellCreated True).
    void SetBitmap(QImage* bmp, bool transparent, TCellHAlign hal, TCellVAlign val);
    void SetBitmap(std::unique_ptr<QImage> bmp, bool transparent, TCellHAlign hal, TCellVAlign val);
    void SetPicture(QImage* picture, bool transparent, TStretchMode stretchMode, int padding, TCellHAlign hal,
                    TCellVAlign val);
    void SetPicture(std::unique_ptr<QImage> picture, bool transparent, TStretchMode stretchMode, int padding,
                    TCellHAlign hal, TCellVAlign val);
    void SetFilePicture(TFilePicture* picture, bool transparent, TStretchMode stretchMode, int padding,
                        TCellHAlign hal, TCellVAlign val);
    void SetFilePicture(std::unique_ptr<TFilePicture> picture, bool transparent, TStretchMode stretchMode,
                        int padding, TCellHAlign hal, TCellVAlign val);
    void SetIcon(QImage* icon, TCellHAlign hal, TCellVAlign val);
    void SetIcon(std::unique_ptr<QImage> icon, TCellHAlign hal, TCellVAlign val);
    void SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val);
    void SetDataImage(int idx, TCellHAlign hal, TCellVAlign val);
    // A new owned image-index list for cell (col, row) whose change event is
    // notifier.
    void SetMultiImage(int col, int row, int dir, TCellHAlign hal, TCellVAlign val,
                       std::function<void(TIntList*, int, int)> notifier);
    void SetCheckBox(bool value, bool data, bool flat, TCellHAlign hal, TCellVAlign val);
    void SetCheckBox(TCheckBoxState value, bool flat, TCellHAlign hal, TCellVAlign val);
    void SetRadioButton(bool value, bool flat, TCellHAlign hal, TCellVAlign val);
    void SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
    void SetBitButton(int bw, int bh, const QString& caption, QImage* glyph, TCellHAlign hal, TCellVAlign val);
    void SetBitButton(int bw, int bh, const QString& caption, std::unique_ptr<QImage> glyph, TCellHAlign hal,
                      TCellVAlign val);
    // The angle brought into 0..360 (360 stays 360).
    void SetAngle(int16_t angle);
    void SetInterfacedCell(TInterfacedPersistent* object);

    // The drawn size of a picture or file picture in a cell of cw x rh
    // (less the padding), by the stretch mode; other kinds leave size as it
    // is. hastext is not used.
    void GetPictureSize(int cw, int rh, bool hastext, QPoint& size) const;
    QPoint GetPictureSize(int cw, int rh, bool hastext) const
    {
        QPoint p;
        GetPictureSize(cw, rh, hastext, p);
        return p;
    }

    // Copies the kind and the plain fields, CellCreated included; never the
    // payloads, CellVar or CellCheckBoxState, so the copy frees nothing.
    void Assign(const TCellGraphic& source);

private:
    void Kind(TCellType t, TCellHAlign hal, TCellVAlign val);
};
