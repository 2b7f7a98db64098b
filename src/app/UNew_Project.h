#pragma once
// The new configuration dialog: asks for a name, creates the configuration
// folder with its bin folder under PROJECTS and makes it the open one.
#include "platform/Forms.h"
#include "platform/Graphics.h"

#include <QFont>

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;
class TPbButton;

// The look shared by the program's small dialogs (new and open
// configuration, options, about): the window colour and font, a title panel
// with the software code and the dialog's description, and a bottom panel
// with the OK and Cancel buttons.
namespace Dialog_Look {
// The program's window colour (a light cream) and the step buttons' colour
// while pressed (orange).
constexpr TColor Window_Color = 15595512;
constexpr TColor Pressed_Color = 33023;
// Verdana 8 point, or the system's sans font where Verdana is missing.
QFont Font();
// Window colour, font and flags (single border, system menu only).
void Apply(TForm* form);
// The title panel across the top; returns the panel and its two labels.
QWidget* Title_Panel(TForm* form, int width, QLabel*& swCode, QLabel*& swDesc);
// The button panel across the bottom of a client area width x height.
QWidget* Button_Panel(TForm* form, int width, int height);
// A button of the button panel at `left`, giving `modalResult` when clicked.
TPbButton* Panel_Button(QWidget* panel, int left, int modalResult);
// Centres the window on the screen.
void Centre(TForm* form);
} // namespace Dialog_Look

// True for a name that stays a valid folder name on every desktop system:
// not empty, no path separator, not "." or "..", no control character and
// none of < > : " | ? *.
bool Is_Valid_Config_Name(const QString& name);

class TFNew_Project : public TForm {
    Q_OBJECT
public:
    explicit TFNew_Project(QWidget* parent = nullptr);

    void Set_Lang() override;
    // Checks the typed name and creates the configuration; closes with OK
    // when it could.
    void Btn_OKClick();

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* E_New_Proj = nullptr;
    QWidget* P_Buttons = nullptr;
    TPbButton* Btn_OK = nullptr;
    TPbButton* Btn_Cancel = nullptr;

protected:
    void FormShow() override;
};
