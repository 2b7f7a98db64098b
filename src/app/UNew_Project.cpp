#include "app/UNew_Project.h"
#include "platform/Application.h"

#include "app/UComon.h"
#include "controls/PbButton.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <QDir>
#include <QFrame>
#include <QScreen>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

bool Is_Valid_Config_Name(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F) return false;
        if (QStringView(u"/\\<>:\"|?*").contains(c)) return false;
    }
    return true;
}

namespace Dialog_Look {

QFont Font()
{
    QFont f;
    f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

void Apply(TForm* form)
{
    form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint);
    form->setAutoFillBackground(true);
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, ColorToQColor(Window_Color));
    form->setPalette(pal);
    form->setFont(Font());
}

QWidget* Title_Panel(TForm* form, int width, QLabel*& swCode, QLabel*& swDesc)
{
    auto* panel = new QWidget(form);
    panel->setGeometry(0, 0, width, 50);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panel->setPalette(pal);
    swCode = new QLabel(panel);
    QFont big = Font();
    big.setPixelSize(20);
    big.setBold(true);
    swCode->setFont(big);
    swCode->setGeometry(10, 2, width - 20, 26);
    QPalette grey = swCode->palette();
    grey.setColor(QPalette::WindowText, ColorToQColor(clGray));
    swCode->setPalette(grey);
    swDesc = new QLabel(panel);
    QFont bold = Font();
    bold.setBold(true);
    swDesc->setFont(bold);
    swDesc->setPalette(grey);
    swDesc->setGeometry(10, 28, width - 20, 18);
    auto* line = new QFrame(form);
    line->setGeometry(0, 50, width, 1);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: #c0c0c0; background: #c0c0c0;"));
    return panel;
}

QWidget* Button_Panel(TForm* form, int width, int height)
{
    auto* line = new QFrame(form);
    line->setGeometry(0, height - 46, width, 1);
    line->setStyleSheet(QStringLiteral("background: #c0c0c0;"));
    auto* panel = new QWidget(form);
    panel->setGeometry(0, height - 45, width, 45);
    return panel;
}

TPbButton* Panel_Button(QWidget* panel, int left, int modalResult)
{
    auto* b = new TPbButton(panel);
    b->setGeometry(left, 8, 86, 29);
    b->ApplyProgramLook();
    b->SetColor(Window_Color);
    b->SetModalResult(modalResult);
    return b;
}

void Centre(TForm* form)
{
    if (QScreen* screen = form->screen()) {
        const QRect area = screen->availableGeometry();
        form->move(area.center() - QPoint(form->width() / 2, form->height() / 2));
    }
}

} // namespace Dialog_Look

TFNew_Project::TFNew_Project(QWidget* parent) : TForm(parent)
{
    SetClientSize(331, 162);
    Dialog_Look::Apply(this);
    P_Title = Dialog_Look::Title_Panel(this, 331, L_SW_Code, L_SW_Desc);

    Label1 = new QLabel(this);
    Label1->move(16, 62);
    E_New_Proj = new QLineEdit(this);
    E_New_Proj->setGeometry(16, 80, 299, 22);
    // Enter in the name runs OK.
    GuardedConnect(E_New_Proj, &QLineEdit::returnPressed, this, [this] { Btn_OKClick(); });

    P_Buttons = Dialog_Look::Button_Panel(this, 331, 162);
    Btn_OK = Dialog_Look::Panel_Button(P_Buttons, 331 - 2 * 94, 0);
    Btn_OK->OnClick = [this](TPbButton*) { Btn_OKClick(); };
    Btn_Cancel = Dialog_Look::Panel_Button(P_Buttons, 331 - 94, mrCancel);

    L_SW_Code->setText(SW_Code);
    Set_Lang();
}

void TFNew_Project::Set_Lang()
{
    SetCaption(SL_Lang[100]);
    L_SW_Desc->setText(SL_Lang[101]);
    Label1->setText(SL_Lang[102]);
    Label1->adjustSize();
    Btn_OK->SetCaption(SL_Lang[103]);
    Btn_OK->setToolTip(SL_Lang[109]);
    Btn_Cancel->SetCaption(SL_Lang[104]);
    Btn_Cancel->setToolTip(SL_Lang[110]);
    E_New_Proj->setToolTip(SL_Lang[108]);
}

void TFNew_Project::FormShow()
{
    Dialog_Look::Centre(this);
    E_New_Proj->clear();
    if (E_New_Proj->isVisible() && E_New_Proj->isEnabled()) E_New_Proj->setFocus();
}

void TFNew_Project::Btn_OKClick()
{
    // The name exactly as typed: blanks at its ends belong to it.
    const QString name = E_New_Proj->text();
    if (name.isEmpty()) {
        MessageDlg(SL_Lang[107], TMsgDlgType::mtError, mbOK);
        return;
    }
    const QString folder = PathJoin(Projects_Path, name);
    if (!Is_Valid_Config_Name(name)) {
        MessageDlg(SL_Lang[105], TMsgDlgType::mtError, mbOK);
        return;
    }
    // A folder of the same name in other letter case counts as existing: the
    // two could not stand side by side on every desktop system.
    bool exists = DirectoryExists(folder);
    for (const QString& other : ListSubFolders(Projects_Path))
        exists = exists || other.compare(name, Qt::CaseInsensitive) == 0;
    if (exists) {
        MessageDlg(SL_Lang[106], TMsgDlgType::mtError, mbOK);
        return;
    }
    if (!QDir(Projects_Path).mkdir(name)) {
        MessageDlg(SL_Lang[105], TMsgDlgType::mtError, mbOK);
        return;
    }
    ForceDirectories(PathJoin(folder, Bin_Folder_Name));
    Project_Name = name;
    Project_Path = folder;
    Set_Files();
    SetModalResult(mrOk);
}
