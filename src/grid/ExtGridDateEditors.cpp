#include "grid/ExtGridDateEditors.h"

#include "controls/CellEditors.h"
#include "platform/Application.h"

#include <QApplication>
#include <QLayout>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QScopeGuard>

#include <cmath>

using enum TShiftStateItem;

namespace {

void FocusGridOf(TExtStringGrid* g)
{
    if (TGridWidget* w = GridWidgetOf(g)) w->setFocus();
}

// Tab without goTabs: the focus goes to the window's next (or previous)
// control after the grid; losing it closes the editor, its value written.
void FocusOutOfGrid(TExtStringGrid* g, bool next)
{
    TGridWidget* w = GridWidgetOf(g);
    if (!w) return;
    const auto step = [next](QWidget* x) { return next ? x->nextInFocusChain() : x->previousInFocusChain(); };
    QWidget* n = step(w);
    while (n && n != w && (w->isAncestorOf(n) || !(n->focusPolicy() & Qt::TabFocus) || !n->isVisible() ||
                           !n->isEnabled()))
        n = step(n);
    if (n && n != w) n->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

// The character rules of the whole-number and decimal kinds, by the text
// editor's rules of edNumeric and edFloat. Control characters other than
// Tab and Enter (Backspace, Ctrl+C, Ctrl+V ...) always pass.
bool FilterNumberChar(TMaskEdit& edit, bool isFloat, QChar& key)
{
    if (key.unicode() < 32 && key != QChar(VK_TAB) && key != QChar(VK_RETURN)) return true;
    const int selStart = edit.SelStart();
    const int selLen = edit.SelLength();
    const bool ctrl = QApplication::keyboardModifiers() & Qt::ControlModifier;
    const TCharVerdict v = FilterEditChar(isFloat ? edFloat : edNumeric, key, edit.text(), selStart, selLen, ctrl,
                                          QString(), SystemFormatSettings());
    if (!v.Accept) {
        if (v.Beep) QApplication::beep();
        key = QChar();
        return false;
    }
    key = v.Char;
    return true;
}

// A paste into a button editor: the grid's paste events may change or
// refuse the text; one line break at its very end is dropped; the numeric
// kinds refuse (with a beep) a text they would refuse typed. The result is
// written into the current cell at once. False when nothing was pasted.
bool PasteIntoEditor(TMaskEdit& edit, TExtStringGrid* g, TEditorType rules, const QString& clip,
                     const std::function<QString()>& cellText)
{
    bool allow = !clip.isEmpty();
    QString value = clip;
    if (g->OnClipboardPaste) g->OnClipboardPaste(&edit, allow);
    if (allow && g->OnClipboardBeforePasteCell) g->OnClipboardBeforePasteCell(&edit, g->Col(), g->Row(), value, allow);
    if (!allow) return false;
    const qsizetype crlf = value.indexOf(QStringLiteral("\r\n"));
    if (crlf >= 0 && crlf == value.size() - 2) value.chop(2);
    const QString t = edit.text();
    const int start = edit.SelStart();
    const int len = edit.SelLength();
    const QString newText = t.left(start) + value + t.mid(start + len);
    QString taken;
    if (!FilterPasteText(rules, newText, QString(), taken)) {
        QApplication::beep();
        return false;
    }
    if (edit.MaxLength() > 0 && taken.size() > edit.MaxLength()) return false;
    edit.setText(taken);
    if (len > 0)
        edit.setSelection(start, int(value.size()));
    else
        edit.setCursorPosition(start + int(value.size()));
    g->SetCurrentCellEx(cellText());
    return true;
}

// The cursor walk of an editor: the edit ends (its value validated first)
// and the current cell moves one cell left or right, opening its editor
// when CursorWalkAlwaysEdit says so.
void CursorWalk(TExtStringGrid* g, const QString& text, bool forward)
{
    if (g->Editing() && !g->ValidateCell(text)) return;
    g->HideInplaceEdit();
    FocusGridOf(g);
    TNavigation& nav = g->Navigation();
    const TAdvanceDirection old = nav.AdvanceDirection();
    nav.SetAdvanceDirection(adLeftRight);
    g->AdvanceEdit(g->Col(), g->Row(), false, false, forward, false, true);
    nav.SetAdvanceDirection(old);
    if (nav.CursorWalkAlwaysEdit() && g->IsEditable(g->RealColIndex(g->Col()), g->Row())) g->ShowInplaceEdit();
}

} // namespace

TDateTime NowDateTime()
{
    return FromQDateTime(QDateTime::currentDateTime());
}

bool CellTextToDateTime(const QString& text, const QString& pickerFormat, TDateTime& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    if (!pickerFormat.isEmpty()) {
        const QString qf = PickerFormatToQt(pickerFormat);
        QDateTime dt = QDateTime::fromString(t, qf);
        if (!dt.isValid()) {
            const QDate d = QDate::fromString(t, qf);
            if (d.isValid()) dt = QDateTime(d, QTime(0, 0));
        }
        if (!dt.isValid()) {
            const QTime tm = QTime::fromString(t, qf);
            if (tm.isValid()) {
                TDateTime v = 0;
                if (TryEncodeTime(tm.hour(), tm.minute(), tm.second(), tm.msec(), v)) {
                    value = v;
                    return true;
                }
            }
        }
        if (dt.isValid()) {
            value = FromQDateTime(dt);
            return true;
        }
    }
    TDateTime d = 0, tm = 0;
    if (TryStrToDate(t, d)) {
        value = d;
        return true;
    }
    const qsizetype blank = t.lastIndexOf(' ');
    if (blank > 0 && TryStrToDate(t.left(blank).trimmed(), d) && TryStrToTime(t.mid(blank + 1).trimmed(), tm)) {
        value = ComposeDateTime(d, tm);
        return true;
    }
    if (TryStrToTime(t, tm)) {
        value = tm;
        return true;
    }
    return false;
}

void RegisterGridDateEditors()
{
    TCellEditorRegistry& reg = TCellEditorRegistry::Instance();
    for (TEditorType k : {edDateEdit, edDateEditUpDown, edTimeEdit})
        reg.Register(k, [] { return std::make_unique<TGridDatePickerEditor>(); });
    reg.Register(edDateTimeEdit, [] { return std::make_unique<TGridDateTimePickerEditor>(); });
    for (TEditorType k : {edEditBtn, edNumericEditBtn, edFloatEditBtn, edMaskEditBtn})
        reg.Register(k, [] { return std::make_unique<TGridEditBtnEditor>(); });
    for (TEditorType k : {edUnitEditBtn, edNumericUnitEditBtn, edFloatUnitEditBtn})
        reg.Register(k, [] { return std::make_unique<TGridUnitEditBtnEditor>(); });
    reg.Register(edButton, [] { return std::make_unique<TGridButtonEditor>(); });
}

// ---------------------------------------------------------------------------
// The grid's side

TGridDatePicker* TExtStringGrid::DateTimePicker()
{
    auto* e = dynamic_cast<TGridDatePickerEditor*>(EditorOf(edDateEdit));
    return e ? e->Picker() : nullptr;
}

TGridDateTimePicker* TExtStringGrid::DateAndTimePicker()
{
    auto* e = dynamic_cast<TGridDateTimePickerEditor*>(EditorOf(edDateTimeEdit));
    return e ? e->Picker() : nullptr;
}

TGridEditBtn* TExtStringGrid::BtnEdit()
{
    auto* e = dynamic_cast<TGridEditBtnEditor*>(EditorOf(edEditBtn));
    return e ? e->Edit() : nullptr;
}

TGridUnitEditBtn* TExtStringGrid::BtnUnitEdit()
{
    auto* e = dynamic_cast<TGridUnitEditBtnEditor*>(EditorOf(edUnitEditBtn));
    return e ? e->Edit() : nullptr;
}

TGridButton* TExtStringGrid::GridButton()
{
    auto* e = dynamic_cast<TGridButtonEditor*>(EditorOf(edButton));
    return e ? e->Button() : nullptr;
}

QString TExtStringGrid::EllipsClick(const QString& s)
{
    QString r = s;
    if (OnEllipsClick) OnEllipsClick(this, Col(), Row(), r);
    return r;
}

// ---------------------------------------------------------------------------
// TGridDatePicker

TGridDatePicker::TGridDatePicker(TExtStringGrid* grid, QWidget* parent) : TEsgDateTimePicker(parent), FGrid(grid)
{
    SetBorderStyle(TBorderStyle::bsNone);
    setFrame(false);
}

void TGridDatePicker::ReCreate()
{
    FOldDropped = false;
    FDigitField = -1;
}

void TGridDatePicker::ApplyCalendarOptions()
{
    TPickerCalendar* c = Calendar();
    if (!c) return;
    c->setVerticalHeaderFormat(FWeekNumbers ? QCalendarWidget::ISOWeekNumbers : QCalendarWidget::NoVerticalHeader);
    if (c->TodayLine()) c->TodayLine()->setVisible(FShowToday);
    c->ShowTodayCircle = FShowTodayCircle;
    c->update();
}

void TGridDatePicker::SizeCalendar()
{
    TPickerCalendar* c = Calendar();
    if (!c) return;
    QSize least = c->minimumSizeHint();
    // The "Today" line sits in the calendar's layout, below the month.
    if (c->layout()) least = least.expandedTo(c->layout()->minimumSize());
    c->setMinimumSize(least);
    const QSize size = least + QSize(2, 2);
    QWidget* popup = c->window();
    if (popup != c) {
        popup->setMinimumSize(0, 0);
        popup->resize(popup->size() - c->size() + size);
    }
    c->resize(size);
}

TDateTime TGridDatePicker::WithinLimits(TDateTime value) const
{
    const TDateTime day = std::trunc(value);
    if (maximumDate() != QDate(9999, 12, 31) && day > MaxDate()) return MaxDate() - 1;
    if (minimumDate() != QDate(1752, 9, 14) && day < MinDate()) return MinDate() + 1;
    return value;
}

void TGridDatePicker::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && FGrid && !FGrid->HasOption(goTabs)) {
        const bool next = key == Qt::Key_Tab && !(shift & Qt::ShiftModifier);
        key = 0;
        focusNextPrevChild(next);
        return;
    }
    // End closes the editor, its value going to the cell.
    if (key == Qt::Key_End && FGrid && !DroppedDown()) {
        key = 0;
        FGrid->HideInplaceEdit();
        FocusGridOf(FGrid);
        return;
    }
    TEsgDateTimePicker::KeyDown(key, shift);
}

bool TGridDatePicker::focusNextPrevChild(bool next)
{
    if (!FGrid || FGrid->HasOption(goTabs)) return TEsgDateTimePicker::focusNextPrevChild(next);
    if (!DroppedDown()) FocusOutOfGrid(FGrid, next);
    return true;
}

void TGridDatePicker::KeyPress(QChar& key)
{
    const bool digit = key >= '0' && key <= '9';
    if (digit) {
        int y, m, d, h, mi, s, ms;
        DecodeDate(DateTime(), y, m, d);
        DecodeTime(DateTime(), h, mi, s, ms);
        Fy = uint16_t(y);
        Fm = uint16_t(m);
        Fd = uint16_t(d);
        Fth = uint16_t(h);
        Ftm = uint16_t(mi);
        Fts = uint16_t(s);
        Ftms = uint16_t(ms);
        FDigitField = ActiveField();
    }
    TEsgDateTimePicker::KeyPress(key);
    // The move is decided once the digit has been taken.
    if (digit) QMetaObject::invokeMethod(this, [this] { Guard([this] { DTPShiftFocus(); }); }, Qt::QueuedConnection);
    if (FGrid && FGrid->OnKeyPress) {
        QChar k = key;
        FGrid->OnKeyPress(FGrid, k);
    }
}

void TGridDatePicker::DTPShiftFocus()
{
    if (FDigitField < 0 || !FieldComplete(FDigitField)) return;
    int y, m, d, h, mi, s, ms;
    DecodeDate(DateTime(), y, m, d);
    DecodeTime(DateTime(), h, mi, s, ms);
    bool move;
    if (Kind() == TDateTimeKind::dtkTime) {
        move = h != Fth || mi != Ftm || s != Fts;
    } else {
        const bool dayChanged = d != Fd, monthChanged = m != Fm, yearChanged = y != Fy;
        const QString f = Format();
        if (!f.isEmpty()) {
            // The last field of the format: nothing follows it.
            const QChar c = f.back().toLower();
            const bool last = (dayChanged && c == 'd') || (monthChanged && c == 'm') || (yearChanged && c == 'y');
            move = !last && (dayChanged || monthChanged || yearChanged);
        } else {
            move = dayChanged || monthChanged;
        }
    }
    if (move) SetActiveField(FDigitField + 1);
}

// ---------------------------------------------------------------------------
// TGridDatePickerEditor

TGridDatePickerEditor::TGridDatePickerEditor() : m_picker(new TGridDatePicker(nullptr)) {}

TGridDatePickerEditor::~TGridDatePickerEditor()
{
    delete m_picker.data();
}

void TGridDatePickerEditor::BindGrid(TExtStringGrid* grid)
{
    m_grid = grid;
    TGridDatePicker* p = m_picker;
    p->SetGrid(grid);
    p->OnDropDown = [this, p](QObject*) {
        p->FOldDropped = true;
        p->ApplyCalendarOptions();
        p->SizeCalendar();
        if (m_grid && m_grid->OnDatePickerDropDown) m_grid->OnDatePickerDropDown(m_grid, m_grid->Row(), m_grid->Col());
    };
    p->OnCloseUp = [this, p](QObject*) {
        p->FOldDropped = false;
        if (!m_grid) return;
        if (m_grid->OnDatePickerCloseUp) m_grid->OnDatePickerCloseUp(m_grid, m_grid->Row(), m_grid->Col());
        if (m_open && m_grid->EditMode() && m_grid->MouseActions().DirectDateClose()) {
            m_grid->HideInplaceEdit();
            FocusGridOf(m_grid);
        }
    };
    p->OnChange = [this, p](QObject*) {
        if (m_loading || !m_open || !m_grid || !m_grid->OnEditChange) return;
        const QString t = p->Kind() == TDateTimeKind::dtkTime ? TimeToStr(p->Time()) : DateToStr(p->Date());
        m_grid->OnEditChange(m_grid, m_grid->Col(), m_grid->Row(), t);
    };
}

void TGridDatePickerEditor::LoadText(const QString& text)
{
    TGridDatePicker* p = m_picker;
    m_loading = true;
    const auto done = qScopeGuard([this] { m_loading = false; });
    TDateTime v = 0;
    if (m_open) {
        // A validated value: the picker shows it.
        if (CellTextToDateTime(text, p->Format(), v)) p->SetDateTime(v);
        return;
    }
    m_open = true;
    p->ReCreate();
    const TEditorType kind = m_grid ? m_grid->CurrentEditor() : edDateEdit;
    p->SetKind(kind == edTimeEdit ? TDateTimeKind::dtkTime : TDateTimeKind::dtkDate);
    if (kind != edTimeEdit) p->SetDateMode(kind == edDateEditUpDown ? TDTDateMode::dmUpDown : TDTDateMode::dmComboBox);
    if (m_grid) m_grid->GetEditorProp(m_grid->RealColIndex(m_grid->Col()), m_grid->Row(), m_grid->EditLink());
    const bool empty = text.trimmed().isEmpty();
    m_openParsed = false;
    if (empty) {
        v = NowDateTime();
    } else if (kind != edTimeEdit && m_grid && m_grid->OnCustomStrToDate) {
        v = NowDateTime();
        m_grid->OnCustomStrToDate(m_grid, text, v);
        m_openParsed = true;
    } else if (CellTextToDateTime(text, p->Format(), v)) {
        m_openParsed = true;
        if (kind != edTimeEdit) v = p->WithinLimits(v);
    } else {
        v = NowDateTime();
    }
    // A picker with a check box opens unchecked on a cell without a date.
    if (p->ShowCheckbox()) p->SetChecked(!empty);
    if (kind == edTimeEdit)
        p->SetTime(v);
    else
        p->SetDateTime(v);
    m_openText = text;
    m_openValue = p->DateTime();
    m_openChecked = p->Checked();
}

QString TGridDatePickerEditor::Text() const
{
    TGridDatePicker* p = m_picker;
    // The field being typed is taken first.
    if (p->isVisible()) p->interpretText();
    if (!p->Checked()) return QString();
    // A date the user did not change goes back as it was written.
    if (m_openParsed && p->Checked() == m_openChecked && p->DateTime() == m_openValue) return m_openText;
    return p->Text();
}

void TGridDatePickerEditor::Show(bool takeFocus)
{
    TGridCellEditor::Show(takeFocus);
    if (m_grid && m_grid->MouseActions().DirectDateDrop() && m_picker->Kind() == TDateTimeKind::dtkDate)
        m_picker->DropDown();
}

void TGridDatePickerEditor::Hide()
{
    m_open = false;
    m_picker->CloseUp();
    TGridCellEditor::Hide();
}

bool TGridDatePickerEditor::WantsKey(int key, TShiftState) const
{
    if (m_picker->DroppedDown()) return true;
    // Without goTabs Tab leaves the grid from the picker itself.
    if (key == VK_TAB && m_grid && !m_grid->HasOption(goTabs)) return true;
    // Up and Down step the active field.
    return key == VK_UP || key == VK_DOWN;
}

// ---------------------------------------------------------------------------
// TGridDateTimePicker

TGridDateTimePicker::TGridDateTimePicker(TExtStringGrid* grid, QWidget* parent) : TExtDateTimePicker(parent), FGrid(grid)
{
    SetBorderStyle(TBorderStyle::bsNone);
    SetAutoTab(true);
}

void TGridDateTimePicker::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && FGrid && !FGrid->HasOption(goTabs)) {
        const bool next = key == Qt::Key_Tab && !(shift & Qt::ShiftModifier);
        key = 0;
        focusNextPrevChild(next);
        return;
    }
    if (FGrid && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab ||
                  key == Qt::Key_Backtab)) {
        const int k = key;
        key = 0;
        ForwardKeyToGrid(FGrid, k, shift);
        return;
    }
    TExtDateTimePicker::KeyDown(key, shift);
}

bool TGridDateTimePicker::focusNextPrevChild(bool next)
{
    if (!FGrid || FGrid->HasOption(goTabs)) return TExtDateTimePicker::focusNextPrevChild(next);
    if (!DroppedDown()) FocusOutOfGrid(FGrid, next);
    return true;
}

TGridDateTimePickerEditor::TGridDateTimePickerEditor() : m_picker(new TGridDateTimePicker(nullptr)) {}

TGridDateTimePickerEditor::~TGridDateTimePickerEditor()
{
    delete m_picker.data();
}

void TGridDateTimePickerEditor::BindGrid(TExtStringGrid* grid)
{
    m_grid = grid;
    TGridDateTimePicker* p = m_picker;
    p->SetGrid(grid);
    p->OnCloseUp = [this](QObject*) {
        if (!m_grid) return;
        if (m_grid->OnDatePickerCloseUp) m_grid->OnDatePickerCloseUp(m_grid, m_grid->Row(), m_grid->Col());
        if (m_open && m_grid->EditMode() && m_grid->MouseActions().DirectDateClose()) {
            m_grid->HideInplaceEdit();
            FocusGridOf(m_grid);
        }
    };
    auto changed = [this, p](QObject*) {
        if (m_loading || !m_open || !m_grid || !m_grid->OnDateTimeChange) return;
        m_grid->OnDateTimeChange(m_grid, m_grid->Col(), m_grid->Row(), p->DateTime());
    };
    p->OnChange = changed;
    p->OnTimeChange = changed;
}

void TGridDateTimePickerEditor::LoadText(const QString& text)
{
    TGridDateTimePicker* p = m_picker;
    m_loading = true;
    const auto done = qScopeGuard([this] { m_loading = false; });
    TDateTime v = 0;
    if (m_open) {
        if (CellTextToDateTime(text, QString(), v)) p->SetDateTime(v);
        return;
    }
    m_open = true;
    m_openParsed = CellTextToDateTime(text, QString(), v);
    if (!m_openParsed) v = NowDateTime();
    if (m_grid) m_grid->FOriginalDateTime = v;
    p->SetKind(TExtDateTimeKind::dkDateTime);
    if (p->ShowCheckbox()) p->SetChecked(!text.trimmed().isEmpty());
    p->SetDateTime(v);
    if (m_grid) m_grid->GetEditorProp(m_grid->RealColIndex(m_grid->Col()), m_grid->Row(), m_grid->EditLink());
    m_openText = text;
    m_openValue = p->DateTime();
}

QString TGridDateTimePickerEditor::Text() const
{
    TGridDateTimePicker* p = m_picker;
    if (p->isVisible()) {
        p->interpretText();
        if (p->TimePicker()) p->TimePicker()->interpretText();
    }
    if (!p->Checked()) return QString();
    if (m_openParsed && p->DateTime() == m_openValue) return m_openText;
    const FormatSettings& fs = SystemFormatSettings();
    return FormatDateTime(fs.ShortDateFormat + QStringLiteral(" ") + fs.ShortTimeFormat, p->DateTime());
}

void TGridDateTimePickerEditor::Hide()
{
    m_open = false;
    m_picker->CloseUp();
    TGridCellEditor::Hide();
}

bool TGridDateTimePickerEditor::WantsKey(int key, TShiftState) const
{
    if (m_picker->DroppedDown()) return true;
    if (key == VK_TAB && m_grid && !m_grid->HasOption(goTabs)) return true;
    return key == VK_UP || key == VK_DOWN;
}

// ---------------------------------------------------------------------------
// TGridEditBtn

TGridEditBtn::TGridEditBtn(TExtStringGrid* grid, QWidget* parent) : TEsgEditBtn(parent), FGrid(grid)
{
    SetButtonCaption(QStringLiteral("..."));
    SetBorderStyle(TBorderStyle::bsNone);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& s) {
        if (FLoading || !FGrid || !FGrid->OnEditChange) return;
        Guard([&] { FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), s); });
    });
}

void TGridEditBtn::LoadText(const QString& s)
{
    FLoading = true;
    SetText(s);
    FLoading = false;
}

void TGridEditBtn::ButtonClick(QObject*)
{
    if (!FGrid) {
        if (OnClickBtn) OnClickBtn(this);
        return;
    }
    SetText(FGrid->EllipsClick(Text()));
    selectAll();
    update();
    if (FStopEditAfterClick) {
        FGrid->HideInplaceEdit();
        FocusGridOf(FGrid);
    }
}

void TGridEditBtn::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (FGrid && FGrid->OnKeyDown) {
        int vk = QtKeyToVirtualKey(key);
        if (vk != 0) {
            FGrid->OnKeyDown(FGrid, vk, QtModifiersToShift(shift));
            if (vk == 0) {
                key = 0;
                return;
            }
        }
    }
    WorkMode = key != Qt::Key_Backspace && key != Qt::Key_Delete;
    FSelKeyDown = hasSelectedText() ? selectionStart() : cursorPosition();
    // F4 clicks the button; the key ends there.
    if (key == Qt::Key_F4 && !(shift & (Qt::ControlModifier | Qt::AltModifier))) {
        key = 0;
        ButtonClick(this);
        return;
    }
    TEsgEditBtn::KeyDown(key, shift);
}

void TGridEditBtn::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    // The grid's OnKeyUp sees the key first and may clear it.
    if (FGrid && FGrid->OnKeyUp) {
        int vk = QtKeyToVirtualKey(key);
        if (vk != 0) {
            FGrid->OnKeyUp(FGrid, vk, QtModifiersToShift(shift));
            if (vk == 0) key = 0;
        }
    }
    if (!FGrid) {
        TEsgEditBtn::KeyUp(key, shift);
        return;
    }
    if (key == 0) return;
    const bool plain = !(shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (plain && FGrid->Navigation().CursorWalkEditor() && !hasSelectedText()) {
        const bool right = key == Qt::Key_Right && cursorPosition() == text().size();
        const bool left = key == Qt::Key_Left && FSelKeyDown == 0 && cursorPosition() == 0;
        if (right || left) {
            key = 0;
            CursorWalk(FGrid, Text(), right);
            return;
        }
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter) TEsgEditBtn::KeyUp(key, shift);
    if (key == 0 || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Left || key == Qt::Key_Right)
        return;
    // Lookup completion of the part before the caret.
    if (!WorkMode || hasSelectedText() || !FGrid->Lookup() || FGrid->LookupList().isEmpty()) return;
    const QString prefix = text().left(cursorPosition());
    QString done = TExtStringGrid::LookupCompletion(prefix, FGrid->LookupList(), FGrid->LookupCaseSensitive());
    if (done.isEmpty()) return;
    done = prefix + done.mid(prefix.size()).left(255);
    if (done == text()) return;
    SetText(done);
    setSelection(int(prefix.size()), int(done.size() - prefix.size()));
}

void TGridEditBtn::WMChar(QChar& key, bool keypad)
{
    // Enter and Tab never reach the text.
    if (key == QChar(VK_RETURN) || key == QChar(VK_TAB)) {
        key = QChar();
        return;
    }
    const TEditorType kind = FGrid ? FGrid->CurrentEditor() : edEditBtn;
    if ((kind == edNumericEditBtn || kind == edFloatEditBtn) && !FilterNumberChar(*this, kind == edFloatEditBtn, key))
        return;
    TEsgEditBtn::WMChar(key, keypad);
}

void TGridEditBtn::KeyPress(QChar& key)
{
    if (FGrid && FGrid->OnKeyPress) FGrid->OnKeyPress(FGrid, key);
    if (key == QChar(VK_TAB)) key = QChar();
    if (key.isNull()) return;
    TEsgEditBtn::KeyPress(key);
}

void TGridEditBtn::WMPaste(const QString& text)
{
    if (!FGrid) {
        TEsgEditBtn::WMPaste(text);
        return;
    }
    if (!EditorEnabled() || ReadOnly()) return;
    const TEditorType kind = FGrid->CurrentEditor();
    const TEditorType rules = kind == edNumericEditBtn ? edNumeric : kind == edFloatEditBtn ? edFloat : edNormal;
    PasteIntoEditor(*this, FGrid, rules, text, [this] { return Text(); });
}

void TGridEditBtn::mouseDoubleClickEvent(QMouseEvent* e)
{
    TEsgEditBtn::mouseDoubleClickEvent(e);
    if (FGrid && FGrid->OnDblClickCell) Guard([&] { FGrid->OnDblClickCell(FGrid, FGrid->Row(), FGrid->Col()); });
}

TGridEditBtnEditor::TGridEditBtnEditor() : m_edit(new TGridEditBtn(nullptr)) {}

TGridEditBtnEditor::~TGridEditBtnEditor()
{
    delete m_edit.data();
}

void TGridEditBtnEditor::BindGrid(TExtStringGrid* grid)
{
    m_grid = grid;
    m_edit->SetGrid(grid);
}

void TGridEditBtnEditor::SetLimits(int maxLength, const QString& mask)
{
    m_edit->SetMaxLength(maxLength);
    m_edit->SetEditMask(m_grid && m_grid->CurrentEditor() == edMaskEditBtn ? mask : QString());
}

void TGridEditBtnEditor::LoadText(const QString& text)
{
    m_edit->ReCreate();
    m_edit->WorkMode = true;
    m_edit->LoadText(text);
}

void TGridEditBtnEditor::Show(bool takeFocus)
{
    TGridCellEditor::Show(takeFocus);
    if (!m_grid || m_grid->Navigation().EditSelectAll())
        m_edit->selectAll();
    else
        m_edit->setCursorPosition(int(m_edit->text().size()));
}

bool TGridEditBtnEditor::WantsKey(int key, TShiftState) const
{
    // Without goTabs Tab leaves the grid through the window's focus chain.
    return key == VK_TAB && m_grid && !m_grid->HasOption(goTabs);
}

// ---------------------------------------------------------------------------
// TGridUnitEditBtn

TGridUnitEditBtn::TGridUnitEditBtn(TExtStringGrid* grid, QWidget* parent) : TEsgUnitEditBtn(parent), FGrid(grid)
{
    SetBorderStyle(TBorderStyle::bsNone);
}

void TGridUnitEditBtn::LoadCellText(const QString& s)
{
    SetUnitID(QString());
    SetText(QString());
    SetTextAndUnit(s);
    // A text that ends in none of the units is all value.
    if (UnitID().isEmpty()) SetText(s);
}

void TGridUnitEditBtn::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_F4 && !(shift & (Qt::ControlModifier | Qt::AltModifier))) {
        key = 0;
        ButtonClick(this);
        return;
    }
    TEsgUnitEditBtn::KeyDown(key, shift);
}

void TGridUnitEditBtn::ButtonClick(QObject*)
{
    if (!FGrid) {
        TEsgUnitEditBtn::ButtonClick(this);
        return;
    }
    SetText(FGrid->EllipsClick(Text()));
    selectAll();
    update();
}

void TGridUnitEditBtn::WMChar(QChar& key, bool keypad)
{
    if (key == QChar(VK_RETURN)) {
        key = QChar();
        return;
    }
    const TEditorType kind = FGrid ? FGrid->CurrentEditor() : edUnitEditBtn;
    if ((kind == edNumericUnitEditBtn || kind == edFloatUnitEditBtn) &&
        !FilterNumberChar(*this, kind == edFloatUnitEditBtn, key))
        return;
    TEsgUnitEditBtn::WMChar(key, keypad);
}

void TGridUnitEditBtn::WMPaste(const QString& text)
{
    if (!FGrid) {
        TEsgUnitEditBtn::WMPaste(text);
        return;
    }
    if (!EditorEnabled() || ReadOnly()) return;
    const TEditorType kind = FGrid->CurrentEditor();
    const TEditorType rules = kind == edNumericUnitEditBtn ? edNumeric : kind == edFloatUnitEditBtn ? edFloat : edNormal;
    PasteIntoEditor(*this, FGrid, rules, text, [this] { return TextAndUnit(); });
}

TGridUnitEditBtnEditor::TGridUnitEditBtnEditor() : m_edit(new TGridUnitEditBtn(nullptr)) {}

TGridUnitEditBtnEditor::~TGridUnitEditBtnEditor()
{
    delete m_edit.data();
}

void TGridUnitEditBtnEditor::BindGrid(TExtStringGrid* grid)
{
    m_grid = grid;
    m_edit->SetGrid(grid);
    m_edit->connect(m_edit, &QLineEdit::textChanged, m_edit, [this](const QString&) {
        if (!m_open || !m_grid || !m_grid->OnEditChange) return;
        Guard([&] { m_grid->OnEditChange(m_grid, m_grid->Col(), m_grid->Row(), m_edit->TextAndUnit()); });
    });
}

void TGridUnitEditBtnEditor::SetLimits(int maxLength, const QString&)
{
    m_edit->SetMaxLength(maxLength);
}

void TGridUnitEditBtnEditor::LoadText(const QString& text)
{
    // A value the validator refused or changed is split again, so that its
    // unit is not repeated.
    if (m_open) {
        m_edit->LoadCellText(text);
        return;
    }
    m_edit->ReCreate();
    m_edit->LoadCellText(text);
    if (m_grid) m_grid->GetEditorProp(m_grid->RealColIndex(m_grid->Col()), m_grid->Row(), m_grid->EditLink());
    m_open = true;
}

void TGridUnitEditBtnEditor::Show(bool takeFocus)
{
    TGridCellEditor::Show(takeFocus);
    m_edit->selectAll();
}

void TGridUnitEditBtnEditor::Hide()
{
    m_open = false;
    TGridCellEditor::Hide();
}

bool TGridUnitEditBtnEditor::WantsKey(int key, TShiftState) const
{
    return key == VK_TAB && m_grid && !m_grid->HasOption(goTabs);
}

// ---------------------------------------------------------------------------
// TGridButton

TGridButton::TGridButton(TExtStringGrid* grid, QWidget* parent) : QPushButton(parent), FGrid(grid)
{
    setAutoDefault(false);
}

void TGridButton::Click()
{
    if (!FGrid) return;
    setText(FGrid->EllipsClick(text()));
    FGrid->SetCurrentCell(text());
}

void TGridButton::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    if (!FGrid) {
        QPushButton::keyPressEvent(e);
        return;
    }
    const int key = e->key();
    Guard([&] {
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            // The button goes and the grid moves the current cell.
            FGrid->HideInplaceEdit();
            FocusGridOf(FGrid);
            ForwardKeyToGrid(FGrid, key, e->modifiers());
            break;
        case Qt::Key_Escape:
            FGrid->HideInplaceEdit();
            FocusGridOf(FGrid);
            FGrid->UndoCellEdit();
            ForwardKeyToGrid(FGrid, key, e->modifiers());
            break;
        case Qt::Key_Space:
            if (!e->isAutoRepeat()) FSpaceDown = true;
            QPushButton::keyPressEvent(e);
            break;
        default: QPushButton::keyPressEvent(e);
        }
    });
}

void TGridButton::keyReleaseEvent(QKeyEvent* e)
{
    e->accept();
    if (e->key() != Qt::Key_Space || e->isAutoRepeat()) return;
    setDown(false);
    // Only a Space that went down on the button clicks it.
    if (!FSpaceDown) return;
    FSpaceDown = false;
    Guard([&] { Click(); });
    setFocus();
    update();
}

void TGridButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && FGrid && isDown()) Guard([&] { Click(); });
    QPushButton::mouseReleaseEvent(e);
}

TGridButtonEditor::TGridButtonEditor() : m_button(new TGridButton(nullptr)) {}

TGridButtonEditor::~TGridButtonEditor()
{
    delete m_button.data();
}

void TGridButtonEditor::BindGrid(TExtStringGrid* grid)
{
    m_grid = grid;
    m_button->SetGrid(grid);
}

void TGridButtonEditor::LoadText(const QString& text)
{
    m_button->ReCreate();
    m_button->setText(text);
}

bool TGridButtonEditor::WantsKey(int key, TShiftState) const
{
    // The arrows and Esc are the button's own.
    return key == VK_ESCAPE || key == VK_UP || key == VK_DOWN;
}
