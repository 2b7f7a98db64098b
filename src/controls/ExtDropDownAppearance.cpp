#include "controls/ExtDropDownAppearance.h"

// ---- Strip buttons ---------------------------------------------------------

void THeaderButton::Changed() { FCollection->ItemChanged(); }

void THeaderButton::SetCaption(const QString& value)
{
    if (value == FCaption) return;
    FCaption = value;
    Changed();
}

void THeaderButton::SetEnabled(bool value)
{
    if (value == FEnabled) return;
    FEnabled = value;
    Changed();
}

void THeaderButton::SetWidth(int value)
{
    if (value == FWidth) return;
    FWidth = value;
    Changed();
}

void THeaderButton::Assign(const THeaderButton& source)
{
    SetCaption(source.Caption());
    SetImageIndex(source.ImageIndex());
    SetEnabled(source.Enabled());
    SetWidth(source.Width());
    SetHeight(source.Height());
}

int THeaderButton::Index() const { return FCollection->IndexOf(this); }

void TFooterButton::Changed() { FCollection->ItemChanged(); }

void TFooterButton::SetCaption(const QString& value)
{
    if (value == FCaption) return;
    FCaption = value;
    Changed();
}

void TFooterButton::SetEnabled(bool value)
{
    if (value == FEnabled) return;
    FEnabled = value;
    Changed();
}

void TFooterButton::SetWidth(int value)
{
    if (value == FWidth) return;
    FWidth = value;
    Changed();
}

void TFooterButton::Assign(const TFooterButton& source)
{
    SetCaption(source.Caption());
    SetImageIndex(source.ImageIndex());
    SetModalResult(source.ModalResult());
    SetEnabled(source.Enabled());
    SetWidth(source.Width());
    SetHeight(source.Height());
}

int TFooterButton::Index() const { return FCollection->IndexOf(this); }

// ---- Appearances -----------------------------------------------------------

THeaderAppearance::THeaderAppearance(QObject* owner) : FOwner(owner), FButtons(std::make_unique<THeaderButtons>(owner))
{
    FFont.setFamily(QStringLiteral("Tahoma"));
    FButtons->OnChange = [this](TStripButtonCollection<THeaderButton>*) {
        if (OnButtonsChanged) OnButtonsChanged(this);
    };
}

void THeaderAppearance::SetVisible(bool value)
{
    if (value == FVisible) return;
    FVisible = value;
    if (OnChange) OnChange(this);
}

void THeaderAppearance::Assign(const THeaderAppearance& source)
{
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
    SetVisible(source.FVisible);
    FButtonAlignment = source.FButtonAlignment;
    FButtons->Assign(*source.FButtons);
}

void THeaderAppearance::AssignColors(const THeaderAppearance& source)
{
    FColor = source.FColor;
    FColorTo = source.FColorTo;
    FBorderColor = source.FBorderColor;
    FFont = source.FFont;
    FFontColor = source.FFontColor;
    FGradientDirection = source.FGradientDirection;
}

TFooterAppearance::TFooterAppearance(QObject* owner) : FOwner(owner), FButtons(std::make_unique<TFooterButtons>(owner))
{
    FButtons->OnChange = [this](TStripButtonCollection<TFooterButton>*) {
        if (OnButtonsChanged) OnButtonsChanged(this);
    };
}

void TFooterAppearance::SetVisible(bool value)
{
    if (value == FVisible) return;
    FVisible = value;
    if (OnChange) OnChange(this);
}

void TFooterAppearance::Assign(const TFooterAppearance& source)
{
    if (&source == this) return;
    FBorderColor = source.FBorderColor;
    FColor = source.FColor;
    FColorTo = source.FColorTo;
    FGradientDirection = source.FGradientDirection;
    FFont = source.FFont;
    FFontColor = source.FFontColor;
    FCaption = source.FCaption;
    FSizeGrip = source.FSizeGrip;
    FBorderWidth = source.FBorderWidth;
    FHeight = source.FHeight;
    FImageIndex = source.FImageIndex;
    SetVisible(source.FVisible);
    FButtonAlignment = source.FButtonAlignment;
    FButtons->Assign(*source.FButtons);
}

void TFooterAppearance::AssignColors(const TFooterAppearance& source)
{
    FColor = source.FColor;
    FColorTo = source.FColorTo;
    FBorderColor = source.FBorderColor;
    FFont = source.FFont;
    FFontColor = source.FFontColor;
    FGradientDirection = source.FGradientDirection;
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
