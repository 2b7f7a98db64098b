// Drag and drop between grids and other programs: the formats on the wire,
// a reader of what a drag offers, a drop target that takes a widget's drag
// events and hands the dropped data to its hooks, a drop source that follows
// a running drag, and the two calls that start a drag of text or a column.
#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QDrag;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QWidget;

// The MIME types of the drag formats. The cell block shares its type with
// the grid's clipboard copies.
inline constexpr char DragTextMimeType[] = "text/plain";
inline constexpr char DragRtfMimeType[] = "text/rtf";
inline constexpr char DragUriListMimeType[] = "text/uri-list";
inline constexpr char DragMozUrlMimeType[] = "text/x-moz-url";
inline constexpr char DragColumnMimeType[] = "application/x-qt-windows-mime;value=\"Grid Column\"";
inline constexpr char DragGridCellsMimeType[] = "application/x-qt-windows-mime;value=\"TExtStringGrid Cells\"";

// The column block: the index as a signed 32-bit little-endian integer. A
// block of any other size than 4 bytes is no column (-1).
QByteArray EncodeColumnBlock(int col);
int DecodeColumnBlock(const QByteArray& block);

// The cell block: the stream's length (unsigned 32-bit little-endian), four
// zero bytes, then the stream. A block shorter than its header or whose
// length passes what follows the header holds no stream.
QByteArray EncodeGridCellsBlock(const QByteArray& stream);
std::optional<QByteArray> DecodeGridCellsBlock(const QByteArray& block);

enum TDropFormat : uint8_t { dfText, dfFile, dfCol, dfRTF, dfURL, dfGridCells };

// A set of drop formats (bit n for the format n).
struct TDropFormats {
    uint8_t Bits = 0;
    bool Has(TDropFormat f) const { return (Bits >> f) & 1u; }
    void Include(TDropFormat f) { Bits = uint8_t(Bits | (1u << f)); }
    bool operator==(const TDropFormats&) const = default;
};

// The process-wide switch that lets rich text be offered by a drag and taken
// by a drop; off at start.
extern bool RtfDropSwitch;
void SetRtfDropEnabled(bool enabled);

// What a drag offers, read from its MIME data (not owned; may be null).
class TEnumFormats {
public:
    explicit TEnumFormats(const QMimeData* data);
    // Plain text; not when it only repeats the drag's URL list, as file
    // managers offer it beside the list.
    bool HasText() const;
    // Local files in the URL list.
    bool HasFile() const;
    bool HasRTF() const;
    // A well-formed column block.
    bool HasCol() const;
    // A URL of a scheme other than file.
    bool HasURL() const;
    // A well-formed cell block.
    bool HasGridCells() const;
    TDropFormats Formats() const;

    // The text, empty when absent.
    QString Text() const;
    // The rich text, read as ANSI text up to a NUL; empty when absent.
    QString RTF() const;
    // The column, -1 when absent.
    int Col() const;
    // The cell stream, none when absent or damaged.
    std::optional<QByteArray> Stream() const;
    // The first URL of another scheme than file; empty when absent.
    QString URL() const;
    // Reads the local file names into Files(); whether any came.
    bool ReadFileList();
    const QStringList& Files() const { return FFiles; }

private:
    const QMimeData* FDataObject;
    QStringList FFiles;
};

// The drop side: attached to a widget, it takes the widget's drag events.
// Points given to the hooks are global (screen) coordinates.
class TESGDropTarget {
public:
    TESGDropTarget();
    virtual ~TESGDropTarget();
    TESGDropTarget(const TESGDropTarget&) = delete;
    TESGDropTarget& operator=(const TESGDropTarget&) = delete;

    // Takes the widget's drag events (and lets it accept drops); a null
    // widget or Detach gives them back.
    void Attach(QWidget* widget);
    void Detach();
    QWidget* Widget() const;

    bool AcceptText() const { return FAcceptText; }
    void SetAcceptText(bool v) { FAcceptText = v; }
    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool v) { FAcceptFiles = v; }
    bool AcceptCols() const { return FAcceptCols; }
    void SetAcceptCols(bool v) { FAcceptCols = v; }
    bool AcceptURLs() const { return FAcceptURLs; }
    void SetAcceptURLs(bool v) { FAcceptURLs = v; }
    // The current drag may be dropped; the formats it offers.
    bool Ok() const { return FOk; }
    TDropFormats DropFormats() const { return FDropFormats; }

    // The widget's drag events, in widget coordinates.
    virtual void DragEnter(QDragEnterEvent* e);
    void DragOver(QDragMoveEvent* e);
    void DragLeave();
    void Drop(QDropEvent* e);

    // Copy with Ctrl held; otherwise move when allowed, else copy.
    static Qt::DropAction DropEffectFromKeys(Qt::KeyboardModifiers keys, Qt::DropActions allowed);

protected:
    virtual void DropText(QPoint pt, const QString& text) {}
    virtual void DropStream(QPoint pt, const QByteArray& stream) {}
    virtual void DropCol(QPoint pt, int col) {}
    virtual void DropRTF(QPoint pt, const QString& rtf) {}
    virtual void DropFiles(QPoint pt, const QStringList& files) {}
    virtual void DropURL(QPoint pt, const QString& url) {}
    virtual void DragMouseMove(QPoint pt, bool& allow, TDropFormats formats) {}
    virtual void DragMouseEnter() {}
    virtual void DragMouseLeave() {}
    // A drop hook that refused its data. When every hook called refused,
    // the drop ends with no effect, so a moving source keeps what it offered.
    void RefuseDrop() { ++FRefused; }
    // During a drop: the object a drag of this program started from; null
    // for data from elsewhere.
    QObject* DragSource() const { return FDragSource; }

    bool FOk = false;
    bool FAcceptText = true;
    bool FAcceptFiles = true;
    bool FAcceptCols = false;
    bool FAcceptURLs = true;
    TDropFormats FDropFormats;

private:
    class Filter;
    std::unique_ptr<Filter> FFilter;
    int FRefused = 0;
    bool FOverAllowed = false;
    QObject* FDragSource = nullptr;
};

// The drag side: follows one running drag. Effects are 0 (none), 1 (copy)
// and 2 (move).
class TESGDropSource {
public:
    virtual ~TESGDropSource() = default;
    // The last feedback had no effect.
    bool NoAccept() const { return FNoAccept; }
    // The platform's feedback: the action the drag would now end with.
    void GiveFeedback(Qt::DropAction action);

    // Picture shown with the drag and its hot spot (the cursor's place on it).
    QPixmap Pixmap;
    QPoint HotSpot;

    // The hooks: the drag ended; the effect changed; the drag runs on.
    virtual void DragDropDone() {}
    virtual void CurrentEffect(int effect) {}
    virtual void QueryDrag() {}

protected:
    bool FNoAccept = false;
};

// The data a drag offers: text (when not empty), rich text (when not empty
// and the switch is on), the column (when not -1) and the cell block (when a
// stream is given), in that order.
class TSourceDataObject : public QMimeData {
public:
    TSourceDataObject(const QString& text, const QByteArray* stream, int column, const QString& rtf);
    // The object the drag started from (set by the drag starters).
    QObject* Source = nullptr;
};

// Runs a drag to its end and gives the action it ended with (IgnoreAction:
// cancelled). The default runs the platform's drag loop; a test may put one
// in that carries the drag's data to a widget.
using TDragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions allowed)>;
void SetDragRunner(TDragRunner runner);
const TDragRunner& DragRunner();

// Start a drag from `from` and run it to its end; the result is the effect
// (IgnoreAction when cancelled or when the last feedback had no effect),
// also given in `effect` (0, 1 or 2).
Qt::DropAction BeginTextDragDrop(QObject* from, TESGDropSource& source, const QString& text, const QString& rtf,
                                 int& effect, Qt::DropActions okEffects, const QByteArray* stream);
Qt::DropAction BeginColumnDragDrop(QObject* from, TESGDropSource& source, int column, Qt::DropActions okEffects,
                                   int& effect);
