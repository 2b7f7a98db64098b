#pragma once
// Options dialog: language, connection and table options, and the check for
// a newer software version, which the main window's timer runs too.
#include "platform/Forms.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QTabWidget;
class QWidget;
class TPbButton;

// This program's version and software code as the maker's service knows them.
inline const QString Soft_Version = QStringLiteral("1.000");
inline const QString Soft_Code = QStringLiteral("KR52R08");

// The maker's web site (scheme and host, optionally a port), base of the
// version query and of the pages opened in the browser. Tests point it at a
// local server.
QString Maker_Site();
void Set_Maker_Site(const QString& site);
// The maker's home page, its download page and the version query.
QString Maker_Home_Page();
QString Maker_Download_Page();
QString Maker_Version_Query();
// The maker's web address as the main window shows it.
QString Maker_Web_Address();

// The version number of a version text: the text after its first blank (the
// whole text when it has none), trimmed, of the form d.ddd; its four digits
// give the number (1.000 gives 1000). -1 when it is not of that form.
int32_t Conv_Version(const QString& Ver_str);

// True when the reply of the version service names a newer version than
// this program's.
bool Is_Newer_Version(const QString& reply);

// Asks the maker's service (one blocking GET); true when it reports a newer
// version. A failed query counts as no newer version.
bool Query_Newer_Version();

class TFSoftOptions : public TForm {
    Q_OBJECT
public:
    explicit TFSoftOptions(QWidget* parent = nullptr);

    void Set_Lang() override;
    void Btn_OKClick();
    void Update_CheckBox();
    void Create_Lang_List();
    void Update_Lang_Page(int Num_Page);
    // Handler of Btn_Prev and Btn_Next.
    void Btn_NextClick(TPbButton* Sender);
    // Handler of the six flag pictures and name labels; slot 1 .. 6.
    void LangClick(int slot);
    void Btn_Check_UpdateClick();
    void LL_Check_UpdateLinkClick(const QString& Link);
    // True when the maker's service reports a newer version than this one.
    bool Check_Version();

    // Re-texts every window after a language switch (the main window's
    // Change_Language); set by whoever creates the windows.
    std::function<void()> OnChange_Language;

    int32_t Show_Page = 1;
    QStringList SL_Languages;
    QString Language_In_Use;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QWidget* P_Buttons = nullptr;
    TPbButton* Btn_OK = nullptr;
    TPbButton* Btn_Cancel = nullptr;
    QTabWidget* PC_Options = nullptr;
    QWidget* TS_Language = nullptr;
    QWidget* TS_Con_Options = nullptr;
    QWidget* TS_Soft_Settings = nullptr;
    QLabel* L_Sel_Lang = nullptr;
    QLabel* L_Page_Lang = nullptr;
    std::array<QLabel*, 6> I_L{};  // I_L1 .. I_L6: flag pictures
    std::array<QLabel*, 6> L_L{};  // L_L1 .. L_L6: language names
    TPbButton* Btn_Prev = nullptr;
    TPbButton* Btn_Next = nullptr;
    QCheckBox* CB_En_Con = nullptr;
    QCheckBox* CB_Update = nullptr;
    TPbButton* Btn_Check_Update = nullptr;
    QLabel* LL_Check_Update = nullptr;
    QCheckBox* CB_Soft_Set_Jump_Table = nullptr;
    QCheckBox* CB_DoubleClick_Auto_Size = nullptr;

protected:
    void FormShow() override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Number of language pages: (N + 5) div 6.
    int Page_Count() const { return (int(SL_Languages.size()) + 5) / 6; }
    // True after a language was loaded during this show and not yet stored.
    bool m_switched = false;
};
