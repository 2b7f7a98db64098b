#include "app/USoftOptions.h"
#include "platform/Application.h"

#include "app/UComon.h"
#include "app/UNew_Project.h"
#include "controls/PbButton.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Http.h"
#include "platform/Shell.h"
#include "platform/SysUtils.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTabWidget>
#include <algorithm>

namespace {
QString& Site()
{
    static QString site = QStringLiteral("http://www.tolvexcorp.com");
    return site;
}
} // namespace

QString Maker_Site() { return Site(); }
void Set_Maker_Site(const QString& site) { Site() = site; }

QString Maker_Home_Page() { return Site() + QStringLiteral("/HOME/default.asp?frompg=") + Soft_Code; }
QString Maker_Download_Page() { return Site() + QStringLiteral("/Home/download/download.asp#PT52R08"); }
QString Maker_Version_Query() { return Site() + QStringLiteral("/home/download/GetversionSW.asp?nomesw=") + Soft_Code; }
QString Maker_Web_Address() { return QStringLiteral("www.tolvexcorp.com"); }

int32_t Conv_Version(const QString& Ver_str)
{
    const qsizetype blank = Ver_str.indexOf(QLatin1Char(' '));
    const QString v = Trim(blank < 0 ? Ver_str : Ver_str.mid(blank + 1));
    // Exactly d.ddd: a digit, the point and three digits, nothing before or
    // after ("1X001", "2.000 beta" and "1.0009" are no version).
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (v.size() != 5 || !digit(v[0]) || v[1] != QLatin1Char('.') || !digit(v[2]) || !digit(v[3]) || !digit(v[4])) return -1;
    int32_t n = 0;
    for (const QChar c : {v[0], v[2], v[3], v[4]}) n = n * 10 + (c.unicode() - '0');
    return n;
}

bool Is_Newer_Version(const QString& reply)
{
    const QString r = Trim(reply.toUpper());
    if (r.isEmpty() || r == QLatin1String("VER. 0.000")) return false;
    const int32_t mine = Conv_Version(Soft_Version);
    const int32_t theirs = Conv_Version(Trim(reply));
    return mine != -1 && theirs != -1 && mine < theirs;
}

bool Query_Newer_Version()
{
    const HttpReply reply = HttpGet(Maker_Version_Query());
    // A failed query gives an empty reply: no newer version.
    return Is_Newer_Version(reply.ok ? QString::fromUtf8(reply.body) : QString());
}

// ---- options dialog ------------------------------------------------------------

namespace {
constexpr int Width = 460;
constexpr int Height = 330;
constexpr int Slot_Width = 140;

// A file of `folder` named `name`, the name matched exactly or else without
// regard to letter case; empty when there is none.
QString Find_File(const QString& folder, const QString& name)
{
    const QString exact = PathJoin(folder, name);
    if (FileExists(exact)) return exact;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return PathJoin(folder, e);
    return QString();
}
} // namespace

TFSoftOptions::TFSoftOptions(QWidget* parent) : TForm(parent)
{
    SetClientSize(Width, Height);
    Dialog_Look::Apply(this);
    P_Title = Dialog_Look::Title_Panel(this, Width, L_SW_Code, L_SW_Desc);

    PC_Options = new QTabWidget(this);
    PC_Options->setGeometry(8, 58, Width - 16, 222);

    TS_Language = new QWidget;
    L_Sel_Lang = new QLabel(TS_Language);
    L_Sel_Lang->setGeometry(10, 8, 420, 18);
    for (int i = 0; i < 6; ++i) {
        const int x = 8 + (i % 3) * Slot_Width;
        const int y = 30 + (i / 3) * 66;
        I_L[i] = new QLabel(TS_Language);
        I_L[i]->setGeometry(x + (Slot_Width - 64) / 2, y, 64, 40);
        I_L[i]->setAlignment(Qt::AlignCenter);
        I_L[i]->setCursor(Qt::PointingHandCursor);
        I_L[i]->installEventFilter(this);
        L_L[i] = new QLabel(TS_Language);
        L_L[i]->setGeometry(x, y + 42, Slot_Width, 18);
        L_L[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        L_L[i]->setCursor(Qt::PointingHandCursor);
        L_L[i]->installEventFilter(this);
    }
    L_Page_Lang = new QLabel(TS_Language);
    L_Page_Lang->setGeometry(10, 166, 200, 18);
    Btn_Prev = new TPbButton(TS_Language);
    Btn_Prev->setGeometry(248, 160, 86, 26);
    Btn_Next = new TPbButton(TS_Language);
    Btn_Next->setGeometry(340, 160, 86, 26);
    for (TPbButton* b : {Btn_Prev, Btn_Next}) {
        b->ApplyProgramLook();
        b->SetColor(Dialog_Look::Window_Color);
        b->OnClick = [this](TPbButton* sender) { Btn_NextClick(sender); };
    }

    TS_Con_Options = new QWidget;
    CB_En_Con = new QCheckBox(TS_Con_Options);
    CB_En_Con->setGeometry(12, 14, 410, 20);
    CB_Update = new QCheckBox(TS_Con_Options);
    CB_Update->setGeometry(12, 40, 410, 20);
    Btn_Check_Update = new TPbButton(TS_Con_Options);
    Btn_Check_Update->setGeometry(12, 74, 220, 29);
    Btn_Check_Update->ApplyProgramLook();
    Btn_Check_Update->SetColor(Dialog_Look::Window_Color);
    Btn_Check_Update->OnClick = [this](TPbButton*) { Btn_Check_UpdateClick(); };
    LL_Check_Update = new QLabel(TS_Con_Options);
    LL_Check_Update->setGeometry(12, 116, 410, 18);
    LL_Check_Update->setTextFormat(Qt::RichText);
    LL_Check_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    LL_Check_Update->setOpenExternalLinks(false);
    GuardedConnect(LL_Check_Update, &QLabel::linkActivated, this, [this](const QString& link) { LL_Check_UpdateLinkClick(link); });

    TS_Soft_Settings = new QWidget;
    CB_Soft_Set_Jump_Table = new QCheckBox(TS_Soft_Settings);
    CB_Soft_Set_Jump_Table->setGeometry(12, 14, 410, 20);
    CB_DoubleClick_Auto_Size = new QCheckBox(TS_Soft_Settings);
    CB_DoubleClick_Auto_Size->setGeometry(12, 40, 410, 20);

    PC_Options->addTab(TS_Language, QString());
    PC_Options->addTab(TS_Con_Options, QString());
    PC_Options->addTab(TS_Soft_Settings, QString());
    for (QCheckBox* cb : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size})
        GuardedConnect(cb, &QCheckBox::toggled, this, [this] { Update_CheckBox(); });

    P_Buttons = Dialog_Look::Button_Panel(this, Width, Height);
    Btn_OK = Dialog_Look::Panel_Button(P_Buttons, Width - 2 * 94, 0);
    Btn_OK->OnClick = [this](TPbButton*) { Btn_OKClick(); };
    Btn_Cancel = Dialog_Look::Panel_Button(P_Buttons, Width - 94, mrCancel);

    L_SW_Code->setText(SW_Code);
    PC_Options->setCurrentWidget(TS_Con_Options);
    Set_Lang();
}

void TFSoftOptions::Set_Lang()
{
    SetCaption(SL_Lang[300]);
    L_SW_Desc->setText(SL_Lang[301]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Language), SL_Lang[302]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Con_Options), SL_Lang[303]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Soft_Settings), SL_Lang[319]);
    L_Sel_Lang->setText(SL_Lang[304]);
    L_Page_Lang->setText(SL_Lang[305] + QStringLiteral("1") + SL_Lang[306] + QStringLiteral("1"));
    Btn_Prev->SetCaption(SL_Lang[307]);
    Btn_Next->SetCaption(SL_Lang[308]);
    CB_En_Con->setText(SL_Lang[309]);
    CB_Update->setText(SL_Lang[310]);
    Btn_Check_Update->SetCaption(SL_Lang[311]);
    Btn_OK->SetCaption(SL_Lang[312]);
    Btn_Cancel->SetCaption(SL_Lang[313]);
    CB_Soft_Set_Jump_Table->setText(SL_Lang[320]);
    CB_DoubleClick_Auto_Size->setText(SL_Lang[321]);
}

void TFSoftOptions::FormShow()
{
    Dialog_Look::Centre(this);
    m_switched = false;
    Language_In_Use = Language_Name;
    Create_Lang_List();
    Update_CheckBox();
    LL_Check_Update->hide();
    PC_Options->setCurrentWidget(TS_Language);
    // Each of these runs Update_CheckBox through the boxes' change signal.
    CB_En_Con->setChecked(Enable_Internet);
    CB_Update->setChecked(Enable_Update);
    CB_Soft_Set_Jump_Table->setChecked(Enable_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->setChecked(Double_Click_Auto_Size);
    Update_CheckBox();
}

void TFSoftOptions::Create_Lang_List()
{
    // Every readable *.lng file, the extension in any letter case.
    SL_Languages.clear();
    const QStringList names = ListFiles(Language_Path, QStringLiteral("*.lng"), false);
    for (const QString& n : names) {
        const QFileInfo fi(PathJoin(Language_Path, n));
        if (fi.isFile() && fi.isReadable() && n.size() > 4) SL_Languages.append(n);
    }
    std::stable_sort(SL_Languages.begin(), SL_Languages.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    Show_Page = 1;
    Update_Lang_Page(1);
}

void TFSoftOptions::Update_Lang_Page(int Num_Page)
{
    const int n = int(SL_Languages.size());
    const int pages = Page_Count();
    L_Sel_Lang->setText(SL_Lang[304] + Language_In_Use);
    L_Page_Lang->setText(SL_Lang[305] + QString::number(Num_Page) + SL_Lang[306] + QString::number(pages));
    Btn_Prev->setVisible(Num_Page != 1);
    Btn_Next->setVisible(Num_Page != pages);
    const int shown = std::clamp(n - 6 * (Num_Page - 1), 0, 6);
    for (int i = 0; i < 6; ++i) {
        if (i >= shown) {
            I_L[i]->hide();
            L_L[i]->hide();
            continue;
        }
        const QString name = SL_Languages[6 * (Num_Page - 1) + i].chopped(4);
        L_L[i]->setText(name);
        L_L[i]->show();
        QString flag = Find_File(Language_Path, name + QStringLiteral(".bmp"));
        if (flag.isEmpty()) flag = Find_File(Language_Path, QStringLiteral("DefaultFlag.bmp"));
        QPixmap pix;
        if (!flag.isEmpty() && pix.load(flag)) {
            I_L[i]->setPixmap(pix.scaled(I_L[i]->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
            I_L[i]->show();
        } else {
            I_L[i]->clear();
            I_L[i]->hide();
        }
    }
}

void TFSoftOptions::Btn_NextClick(TPbButton* Sender)
{
    if (Sender == Btn_Next) {
        if (Page_Count() >= Show_Page + 1) ++Show_Page;
    } else if (Sender == Btn_Prev) {
        if (Show_Page - 1 > 0) --Show_Page;
    }
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(int slot)
{
    const int index = 6 * (Show_Page - 1) + slot - 1;
    if (slot < 1 || slot > 6 || index < 0 || index >= SL_Languages.size()) return;
    const QString name = SL_Languages[index].chopped(4);
    const QString question = SL_Lang[316] + Language_In_Use + SL_Lang[317] + name + SL_Lang[318];
    if (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) return;
    Language_In_Use = name;
    // Load the chosen texts now; the stored language changes only on OK.
    const QString stored = Language_Name;
    Language_Name = name;
    Load_Language();
    Language_Name = stored;
    m_switched = true;
    if (OnChange_Language) OnChange_Language();
    else Set_Lang();
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::Update_CheckBox()
{
    CB_Update->setEnabled(CB_En_Con->isChecked());
    Btn_Check_Update->SetEnabled(CB_En_Con->isChecked() && CB_Update->isChecked());
}

void TFSoftOptions::Btn_OKClick()
{
    Language_Name = Language_In_Use;
    Enable_Internet = CB_En_Con->isChecked();
    Enable_Update = CB_Update->isChecked();
    Enable_Jump_Field_Tables = CB_Soft_Set_Jump_Table->isChecked();
    Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->isChecked();
    m_switched = false;
    SetModalResult(mrOk);
}

bool TFSoftOptions::Check_Version() { return Query_Newer_Version(); }

void TFSoftOptions::Btn_Check_UpdateClick()
{
    if (Check_Version())
        LL_Check_Update->setText(QStringLiteral("<a href=\"") + Maker_Download_Page().toHtmlEscaped() + QStringLiteral("\">") +
                                 SL_Lang[314].toHtmlEscaped() + QStringLiteral("</a>"));
    else
        LL_Check_Update->setText(SL_Lang[315].toHtmlEscaped());
    LL_Check_Update->show();
}

void TFSoftOptions::LL_Check_UpdateLinkClick(const QString& Link) { ShellOpenLink(Link); }

void TFSoftOptions::hideEvent(QHideEvent* event)
{
    TForm::hideEvent(event);
    // Leaving without OK after a switch: the stored language comes back.
    if (m_switched && ModalResult() != mrOk) {
        m_switched = false;
        Load_Language();
        if (OnChange_Language) OnChange_Language();
        else Set_Lang();
    }
}

bool TFSoftOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < 6; ++i)
            if (watched == I_L[i] || watched == L_L[i]) {
                LangClick(i + 1);
                return true;
            }
    }
    return TForm::eventFilter(watched, event);
}
