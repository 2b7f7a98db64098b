#include "controls/ExtDropDownAppearance.h"

// ---- Strip buttons ---------------------------------------------------------

template <class TSelf>
void TStripButton<TSelf>::Changed()
{
    FCollection->ItemChanged();
}

template <class TSelf>
void TStripButton<TSelf>::SetCaption(const QString& value)
{
    if (value == FCaption) return;
    FCaption = value;
    Changed();
}

template <class TSelf>
void TStripButton<TSelf>::SetEnabled(bool value)
{
    if (value == FEnabled) return;
    FEnabled = value;
    Changed();
}

template <class TSelf>
void TStripButton<TSelf>::SetWidth(int value)
{
    if (value == FWidth) return;
    FWidth = value;
    Changed();
}

template <class TSelf>
void TStripButton<TSelf>::Assign(const TSelf& source)
{
    SetCaption(source.Caption());
    SetImageIndex(source.ImageIndex());
    static_cast<TSelf*>(this)->AssignOwnValues(source);
    SetEnabled(source.Enabled());
    SetWidth(source.Width());
    SetHeight(source.Height());
}

template <class TSelf>
int TStripButton<TSelf>::Index() const
{
    return FCollection->IndexOf(static_cast<const TSelf*>(this));
}

template class TStripButton<THeaderButton>;
template class TStripButton<TFooterButton>;

// ---- Appearances -----------------------------------------------------------

template <class TSelf, class TButtons>
TStripAppearance<TSelf, TButtons>::TStripAppearance(QObject* owner) : FOwner(owner), FButtons(std::make_unique<TButtons>(owner))
{
    FButtons->OnChange = [this](auto*) {
        if (OnButtonsChanged) OnButtonsChanged(Self());
    };
}

template <class TSelf, class TButtons>
void TStripAppearance<TSelf, TButtons>::SetVisible(bool value)
{
    if (value == FVisible) return;
    FVisible = value;
    if (OnChange) OnChange(Self());
}

template <class TSelf, class TButtons>
void TStripAppearance<TSelf, TButtons>::Assign(const TSelf& strip)
{
    const TStripAppearance& source = strip;
    if (&source == this) return;
    FColorTo = source.FColorTo;
    FColor = source.FColor;
    FBorderColor = source.FBorderColor;
    FCaption = source.FCaption;
    FFont = source.FFont;
    FFontColor = source.FFontColor;
    FImageIndex = source.FImageIndex;
    FBorderWidth = source.FBorderWidth;
    FGradientDirection = source.FGradientDirection;
    FHeight = source.FHeight;
    Self()->AssignOwnValues(strip);
    SetVisible(source.FVisible);
    FButtonAlignment = source.FButtonAlignment;
    FButtons->Assign(*source.FButtons);
}

template <class TSelf, class TButtons>
void TStripAppearance<TSelf, TButtons>::AssignColors(const TSelf& strip)
{
    const TStripAppearance& source = strip;
    FColor = source.FColor;
    FColorTo = source.FColorTo;
    FBorderColor = source.FBorderColor;
    FFont = source.FFont;
    FFontColor = source.FFontColor;
    FGradientDirection = source.FGradientDirection;
}

template class TStripAppearance<THeaderAppearance, THeaderButtons>;
template class TStripAppearance<TFooterAppearance, TFooterButtons>;

THeaderAppearance::THeaderAppearance(QObject* owner) : TStripAppearance(owner)
{
    QFont tahoma = Font();
    tahoma.setFamily(QStringLiteral("Tahoma"));
    SetFont(tahoma);
}

// ---- Strip button look -----------------------------------------------------

TExtButtonAppearance::TExtButtonAppearance()
    // The checked look is the hot look with red and green scaled to 90 %.
    : FColorCheckedTo(AdjustColorPercent(0xF9D2B2, -10, -10, 0)), FColorChecked(AdjustColorPercent(0xF5F0E1, -10, -10, 0))
{
    FFont.setFamily(QStringLiteral("Tahoma"));
}

void TExtButtonAppearance::Write(TColor& field, TColor value)
{
    if (field == value) return;
    field = value;
    if (OnChange) OnChange(this);
}

void TExtButtonAppearance::SetGradient(TGradientDirection value)
{
    if (FGradient == value) return;
    FGradient = value;
    if (OnChange) OnChange(this);
}

void TExtButtonAppearance::Assign(const TExtButtonAppearance& source)
{
    if (&source == this) return;
    SetBorderColor(source.FBorderColor);
    SetBorderColorHot(source.FBorderColorHot);
    SetBorderColorDown(source.FBorderColorDown);
    SetBorderColorDisabled(source.FBorderColorDisabled);
    SetBorderColorChecked(source.FBorderColorChecked);
    SetColor(source.FColor);
    SetColorTo(source.FColorTo);
    SetColorDown(source.FColorDown);
    SetColorDownTo(source.FColorDownTo);
    SetColorHot(source.FColorHot);
    SetColorHotTo(source.FColorHotTo);
    SetColorCheckedTo(source.FColorCheckedTo);
    SetColorDisabled(source.FColorDisabled);
    SetColorDisabledTo(source.FColorDisabledTo);
    SetColorChecked(source.FColorChecked);
    SetGradient(source.FGradient);
}
