// Drag-and-drop formats, the format reader, the drop target and drop source
// bases, the drag data and the drag starters.
#include "controls/OleDragDrop.h"

#include "platform/Files.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <cstring>
#include <exception>

bool RtfDropSwitch = false;

void SetRtfDropEnabled(bool enabled) { RtfDropSwitch = enabled; }

// ---------------------------------------------------------------------------
// Blocks

namespace {

void PutLE32(char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xFF);
}

uint32_t GetLE32(const char* p)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(p[i])) << (8 * i);
    return v;
}

QString CutAtNul(QString s)
{
    if (const qsizetype z = s.indexOf(QChar(0)); z >= 0) s.truncate(z);
    return s;
}

} // namespace

QByteArray EncodeColumnBlock(int col)
{
    QByteArray b(4, '\0');
    PutLE32(b.data(), uint32_t(col));
    return b;
}

int DecodeColumnBlock(const QByteArray& block)
{
    if (block.size() != 4) return -1;
    return int32_t(GetLE32(block.constData()));
}

QByteArray EncodeGridCellsBlock(const QByteArray& stream)
{
    QByteArray b(8, '\0');
    PutLE32(b.data(), uint32_t(stream.size()));
    b += stream;
    return b;
}

std::optional<QByteArray> DecodeGridCellsBlock(const QByteArray& block)
{
    if (block.size() < 8) return std::nullopt;
    const uint32_t n = GetLE32(block.constData());
    if (qint64(n) > qint64(block.size()) - 8) return std::nullopt;
    return block.mid(8, qsizetype(n));
}

// ---------------------------------------------------------------------------
// TEnumFormats

TEnumFormats::TEnumFormats(const QMimeData* data) : FDataObject(data) {}

namespace {

QString Fmt(const char* s) { return QString::fromLatin1(s); }

// The text a file manager puts beside its URL list: one line per URL, each
// the URL or its local path.
bool RepeatsUrlList(const QString& text, const QList<QUrl>& urls)
{
    if (urls.isEmpty()) return false;
    QStringList lines;
    for (const QString& l : text.split(u'\n')) {
        const QString t = l.trimmed();
        if (!t.isEmpty()) lines << t;
    }
    if (lines.size() != urls.size()) return false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QUrl& u = urls[i];
        if (lines[i] != u.toString() && lines[i] != u.toString(QUrl::FullyEncoded) &&
            !(u.isLocalFile() && lines[i] == u.toLocalFile()))
            return false;
    }
    return true;
}

QString MozUrl(const QMimeData* d)
{
    if (!d->hasFormat(Fmt(DragMozUrlMimeType))) return {};
    const QByteArray b = d->data(Fmt(DragMozUrlMimeType));
    QString s(b.size() / 2, Qt::Uninitialized);
    std::memcpy(s.data(), b.constData(), size_t(s.size()) * 2);
    s = CutAtNul(s);
    const qsizetype nl = s.indexOf(u'\n');
    if (nl >= 0) s.truncate(nl);
    return s.trimmed();
}

} // namespace

bool TEnumFormats::HasText() const
{
    if (!FDataObject || !FDataObject->hasText()) return false;
    return !RepeatsUrlList(Text(), FDataObject->urls());
}

bool TEnumFormats::HasFile() const
{
    if (!FDataObject || !FDataObject->hasUrls()) return false;
    for (const QUrl& u : FDataObject->urls())
        if (u.isLocalFile() && !u.toLocalFile().isEmpty()) return true;
    return false;
}

bool TEnumFormats::HasRTF() const { return FDataObject && FDataObject->hasFormat(Fmt(DragRtfMimeType)); }

bool TEnumFormats::HasCol() const { return Col() != -1; }

bool TEnumFormats::HasURL() const { return !URL().isEmpty(); }

bool TEnumFormats::HasGridCells() const { return Stream().has_value(); }

TDropFormats TEnumFormats::Formats() const
{
    TDropFormats f;
    if (HasText()) f.Include(dfText);
    if (HasFile()) f.Include(dfFile);
    if (HasCol()) f.Include(dfCol);
    if (HasRTF()) f.Include(dfRTF);
    if (HasURL()) f.Include(dfURL);
    if (HasGridCells()) f.Include(dfGridCells);
    return f;
}

QString TEnumFormats::Text() const
{
    if (!FDataObject || !FDataObject->hasText()) return {};
    return CutAtNul(FDataObject->text());
}

QString TEnumFormats::RTF() const
{
    if (!HasRTF()) return {};
    QByteArray b = FDataObject->data(Fmt(DragRtfMimeType));
    if (const qsizetype z = b.indexOf('\0'); z >= 0) b.truncate(z);
    return DecodeAnsi(b);
}

int TEnumFormats::Col() const
{
    if (!FDataObject || !FDataObject->hasFormat(Fmt(DragColumnMimeType))) return -1;
    return DecodeColumnBlock(FDataObject->data(Fmt(DragColumnMimeType)));
}

std::optional<QByteArray> TEnumFormats::Stream() const
{
    if (!FDataObject || !FDataObject->hasFormat(Fmt(DragGridCellsMimeType))) return std::nullopt;
    return DecodeGridCellsBlock(FDataObject->data(Fmt(DragGridCellsMimeType)));
}

QString TEnumFormats::URL() const
{
    if (!FDataObject) return {};
    if (FDataObject->hasUrls())
        for (const QUrl& u : FDataObject->urls())
            if (u.isValid() && !u.isLocalFile() && !u.scheme().isEmpty() && u.scheme() != u"file")
                return u.toString();
    return MozUrl(FDataObject);
}

bool TEnumFormats::ReadFileList()
{
    FFiles.clear();
    if (FDataObject && FDataObject->hasUrls())
        for (const QUrl& u : FDataObject->urls())
            if (u.isLocalFile() && !u.toLocalFile().isEmpty()) FFiles << u.toLocalFile();
    return !FFiles.isEmpty();
}

// ---------------------------------------------------------------------------
// TESGDropTarget

// Hands the watched widget's drag events to the target. An error thrown by
// a hook does not unwind through the event loop: the drop ends refused.
class TESGDropTarget::Filter : public QObject {
public:
    Filter(TESGDropTarget* target, QWidget* widget)
        : m_target(target), m_widget(widget), m_acceptedDrops(widget->acceptDrops())
    {
        widget->installEventFilter(this);
    }
    // Whether the widget took drops before it was attached.
    bool AcceptedDrops() const { return m_acceptedDrops; }
    ~Filter() override
    {
        if (m_widget) m_widget->removeEventFilter(this);
    }
    QWidget* Widget() const { return m_widget; }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != m_widget) return false;
        try {
            switch (e->type()) {
            case QEvent::DragEnter: m_target->DragEnter(static_cast<QDragEnterEvent*>(e)); return true;
            case QEvent::DragMove: m_target->DragOver(static_cast<QDragMoveEvent*>(e)); return true;
            case QEvent::DragLeave: m_target->DragLeave(); return true;
            case QEvent::Drop: m_target->Drop(static_cast<QDropEvent*>(e)); return true;
            default: return false;
            }
        } catch (const std::exception&) {
            e->ignore();
            if (e->type() == QEvent::Drop) static_cast<QDropEvent*>(e)->setDropAction(Qt::IgnoreAction);
            return true;
        }
    }

private:
    TESGDropTarget* m_target;
    QPointer<QWidget> m_widget;
    bool m_acceptedDrops;
};

TESGDropTarget::TESGDropTarget() = default;

TESGDropTarget::~TESGDropTarget() = default;

void TESGDropTarget::Attach(QWidget* widget)
{
    Detach();
    if (!widget) return;
    FFilter = std::make_unique<Filter>(this, widget);
    widget->setAcceptDrops(true);
}

void TESGDropTarget::Detach()
{
    if (!FFilter) return;
    if (QWidget* w = FFilter->Widget()) w->setAcceptDrops(FFilter->AcceptedDrops());
    FFilter.reset();
}

QWidget* TESGDropTarget::Widget() const { return FFilter ? FFilter->Widget() : nullptr; }

Qt::DropAction TESGDropTarget::DropEffectFromKeys(Qt::KeyboardModifiers keys, Qt::DropActions allowed)
{
    if (keys & Qt::ControlModifier) return Qt::CopyAction;
    return (allowed & Qt::MoveAction) ? Qt::MoveAction : Qt::CopyAction;
}

namespace {

QPoint GlobalPoint(QWidget* w, const QDropEvent* e)
{
    const QPoint p = e->position().toPoint();
    return w ? w->mapToGlobal(p) : p;
}

void SetAction(QDropEvent* e, Qt::DropAction a)
{
    e->setDropAction(a);
    if (a == Qt::IgnoreAction)
        e->ignore();
    else
        e->accept();
}

} // namespace

void TESGDropTarget::DragEnter(QDragEnterEvent* e)
{
    const TEnumFormats f(e->mimeData());
    FOk = (f.HasText() && FAcceptText) || (f.HasFile() && FAcceptFiles) || (f.HasRTF() && RtfDropSwitch && FAcceptText) ||
          (f.HasCol() && FAcceptCols) || (f.HasURL() && FAcceptURLs) || f.HasGridCells();
    FDropFormats = f.Formats();
    FOverAllowed = FOk;
    SetAction(e, FOk ? DropEffectFromKeys(e->modifiers(), e->possibleActions()) : Qt::IgnoreAction);
    DragMouseEnter();
}

void TESGDropTarget::DragOver(QDragMoveEvent* e)
{
    Qt::DropAction a = FOk ? DropEffectFromKeys(e->modifiers(), e->possibleActions()) : Qt::IgnoreAction;
    bool allow = a != Qt::IgnoreAction;
    DragMouseMove(GlobalPoint(Widget(), e), allow, FDropFormats);
    if (!allow) a = Qt::IgnoreAction;
    FOverAllowed = allow;
    SetAction(e, a);
}

void TESGDropTarget::DragLeave() { DragMouseLeave(); }

void TESGDropTarget::Drop(QDropEvent* e)
{
    FRefused = 0;
    int calls = 0;
    // A drop where the last move was refused is refused as well.
    if (!FOk || !FOverAllowed) {
        SetAction(e, Qt::IgnoreAction);
        return;
    }
    TEnumFormats f(e->mimeData());
    const auto* own = dynamic_cast<const TSourceDataObject*>(e->mimeData());
    FDragSource = own ? own->Source : nullptr;
    const QPoint pt = GlobalPoint(Widget(), e);
    const int col = f.Col();
    if (col != -1) {
        DropCol(pt, col);
        ++calls;
    } else {
        if (std::optional<QByteArray> stream = f.Stream()) {
            DropStream(pt, *stream);
            ++calls;
        } else if (f.HasRTF() && RtfDropSwitch) {
            DropRTF(pt, f.RTF());
            ++calls;
        } else if (f.HasText()) {
            DropText(pt, f.Text());
            ++calls;
        }
        if (f.ReadFileList()) {
            DropFiles(pt, f.Files());
            ++calls;
        }
        if (f.HasURL()) {
            DropURL(pt, f.URL());
            ++calls;
        }
    }
    FDragSource = nullptr;
    // Refused when no hook took its part of the data.
    const bool refused = calls > 0 && FRefused >= calls;
    SetAction(e, refused ? Qt::IgnoreAction : DropEffectFromKeys(e->modifiers(), e->possibleActions()));
}

// ---------------------------------------------------------------------------
// TESGDropSource

void TESGDropSource::GiveFeedback(Qt::DropAction action)
{
    FNoAccept = action == Qt::IgnoreAction;
    CurrentEffect(int(action));
}

// ---------------------------------------------------------------------------
// Drag data

TSourceDataObject::TSourceDataObject(const QString& text, const QByteArray* stream, int column, const QString& rtf)
{
    if (!text.isEmpty()) setData(Fmt(DragTextMimeType), text.toUtf8());
    if (!rtf.isEmpty() && RtfDropSwitch) setData(Fmt(DragRtfMimeType), EncodeAnsi(rtf));
    if (column != -1) setData(Fmt(DragColumnMimeType), EncodeColumnBlock(column));
    if (stream) setData(Fmt(DragGridCellsMimeType), EncodeGridCellsBlock(*stream));
}

// ---------------------------------------------------------------------------
// Starting a drag

namespace {

TDragRunner& Runner()
{
    static TDragRunner runner;
    return runner;
}

const TDragRunner& DefaultRunner()
{
    static const TDragRunner exec = [](QDrag& drag, Qt::DropActions allowed) { return drag.exec(allowed); };
    return exec;
}

Qt::DropAction RunDrag(QObject* from, TESGDropSource& source, TSourceDataObject* data, Qt::DropActions okEffects, int& effect)
{
    data->Source = from;
    // The platform's drag loop may delete the drag when it ends; a drag that
    // is still there afterwards goes with the next event loop pass.
    QPointer<QDrag> drag = new QDrag(from);
    drag->setMimeData(data);
    if (!source.Pixmap.isNull()) {
        drag->setPixmap(source.Pixmap);
        drag->setHotSpot(source.HotSpot);
    }
    QObject::connect(drag, &QDrag::actionChanged, drag, [&source](Qt::DropAction a) {
        source.GiveFeedback(a);
        source.QueryDrag();
    });
    QObject::connect(drag, &QDrag::targetChanged, drag, [&source](QObject*) { source.QueryDrag(); });
    Qt::DropAction result = DragRunner()(*drag, okEffects);
    if (drag) drag->deleteLater();
    source.DragDropDone();
    if (source.NoAccept()) result = Qt::IgnoreAction;
    effect = int(result);
    return result;
}

} // namespace

void SetDragRunner(TDragRunner runner) { Runner() = std::move(runner); }

const TDragRunner& DragRunner() { return Runner() ? Runner() : DefaultRunner(); }

Qt::DropAction BeginTextDragDrop(QObject* from, TESGDropSource& source, const QString& text, const QString& rtf,
                                 int& effect, Qt::DropActions okEffects, const QByteArray* stream)
{
    return RunDrag(from, source, new TSourceDataObject(text, stream, -1, rtf), okEffects, effect);
}

Qt::DropAction BeginColumnDragDrop(QObject* from, TESGDropSource& source, int column, Qt::DropActions okEffects,
                                   int& effect)
{
    return RunDrag(from, source, new TSourceDataObject(QString(), nullptr, column, QString()), okEffects, effect);
}
