#include "app/UOpenConf.h"
#include "platform/Application.h"

#include "app/UComon.h"
#include "app/UNew_Project.h"
#include "controls/PbButton.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <QLabel>
#include <QListWidget>
#include <algorithm>

namespace {
// Upper case of the letters a to z only, as the configuration names are compared.
QString AsciiUpper(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return r;
}
} // namespace

TFOpenConf::TFOpenConf(QWidget* parent) : TForm(parent)
{
    SetClientSize(377, 351);
    Dialog_Look::Apply(this);
    P_Title = Dialog_Look::Title_Panel(this, 377, L_SW_Code, L_SW_Desc);

    Label1 = new QLabel(this);
    Label1->move(16, 60);
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(16, 78, 345, 220);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    GuardedConnect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });

    P_Buttons = Dialog_Look::Button_Panel(this, 377, 351);
    Btn_OK = Dialog_Look::Panel_Button(P_Buttons, 377 - 2 * 94, mrOk);
    Btn_Cancel = Dialog_Look::Panel_Button(P_Buttons, 377 - 94, mrCancel);

    L_SW_Code->setText(SW_Code);
    Set_Lang();
}

void TFOpenConf::Set_Lang()
{
    SetCaption(SL_Lang[200]);
    L_SW_Desc->setText(SL_Lang[201]);
    Label1->setText(SL_Lang[202]);
    Label1->adjustSize();
    Btn_OK->SetCaption(SL_Lang[203]);
    Btn_OK->setToolTip(SL_Lang[206]);
    Btn_Cancel->SetCaption(SL_Lang[204]);
    Btn_Cancel->setToolTip(SL_Lang[207]);
    ListBox1->setToolTip(SL_Lang[205]);
}

void TFOpenConf::Load_Existing_Configuration()
{
    SL = ListSubFolders(Projects_Path);
    std::stable_sort(SL.begin(), SL.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

int TFOpenConf::Search_Open_Conf(const QString& name) const
{
    // Where folders differ only in letter case, the one named exactly wins.
    const int exact = int(SL.indexOf(name));
    if (exact >= 0) return exact;
    const QString key = AsciiUpper(name);
    for (int i = 0; i < SL.size(); ++i)
        if (AsciiUpper(SL[i]) == key) return i;
    return -1;
}

void TFOpenConf::ListBox1Click()
{
    const int row = ListBox1->currentRow();
    if (row >= 0 && row < SL.size()) Name_Conf = SL[row];
}

void TFOpenConf::FormShow()
{
    Dialog_Look::Centre(this);
    Load_Existing_Configuration();
    {
        const QSignalBlocker block(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(SL);
    }
    // The open configuration's name: Project_Path below Projects_Path.
    QString open;
    const QString prefix = PathJoin(Projects_Path, QString());
    if (!Project_Path.isEmpty() && Project_Path.startsWith(prefix)) open = Project_Path.mid(prefix.size());
    int index = Search_Open_Conf(open);
    if (index < 0 && !SL.isEmpty()) index = 0;
    const QSignalBlocker block(ListBox1);
    if (index >= 0) {
        ListBox1->setCurrentRow(index);
        Name_Conf = SL[index];
    } else {
        Name_Conf.clear();
    }
}
