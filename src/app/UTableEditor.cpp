#include "app/UTableEditor.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "controls/PbButton.h"
#include "grid/ExtCGrid.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/GridsWidget.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int Title_Height = 69;
constexpr int Button_Panel_Height = 40;
constexpr int Client_Height = 337;

} // namespace

void Style_Title_Labels(QLabel* code, QLabel* desc)
{
    QFont big(QStringLiteral("Verdana"));
    big.setPixelSize(32);
    code->setFont(big);
    QFont bold = desc->font();
    bold.setBold(true);
    desc->setFont(bold);
    QPalette grey = code->palette();
    grey.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    code->setPalette(grey);
    desc->setPalette(grey);
}

QVBoxLayout* Editor_Window_Frame(QWidget* window, Qt::WindowFlags extraButtons)
{
    window->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                           | extraButtons);
    window->setFont(QFont(QStringLiteral("Verdana"), 8));
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(0xF8, 0xF7, 0xED));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QWidget* Make_Title_Panel(QWidget* parent, QLabel*& code, QLabel*& desc)
{
    auto* panel = new QWidget(parent);
    panel->setFixedHeight(Title_Height);
    code = new QLabel(panel);
    code->setGeometry(12, 4, 420, 38);
    desc = new QLabel(panel);
    desc->setGeometry(14, 44, 600, 16);
    Style_Title_Labels(code, desc);
    code->setText(SW_Code);
    return panel;
}

void TEditorButtons::Make_Button_Panel(QWidget* parent)
{
    P_Button = new QWidget(parent);
    P_Button->setFixedHeight(Button_Panel_Height);
    TPbButton** buttons[] = {&Btn_OK, &Btn_Cancel, &Btn_DelRow, &Btn_InsRow, &Btn_CopyRow, &Btn_PasteRow};
    for (int i = 0; i < 6; ++i) {
        auto* b = new TPbButton(P_Button);
        b->ApplyProgramLook();
        b->setGeometry(16 + i * 118, 6, 110, 28);
        *buttons[i] = b;
    }
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_OK->OnClick = [this](TPbButton*) { Btn_OKClick(); };
    Btn_DelRow->OnClick = [this](TPbButton*) { Btn_DelRowClick(); };
    Btn_InsRow->OnClick = [this](TPbButton*) { Btn_InsRowClick(); };
    Btn_CopyRow->OnClick = [this](TPbButton*) { Btn_CopyRowClick(); };
    Btn_PasteRow->OnClick = [this](TPbButton*) { Btn_PasteRowClick(); };
}

void TEditorButtons::Set_Button_Texts(int firstCaption, int firstHint)
{
    TPbButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (int i = 0; i < 6; ++i) {
        buttons[i]->SetCaption(SL_Lang[firstCaption + i]);
        buttons[i]->setToolTip(SL_Lang[firstHint + i]);
    }
}

TFTableEditor::TFTableEditor(TTableDef tableDef, TTableEditorTexts texts, int clientWidth, const QString* file,
                             QWidget* parent)
    : TForm(parent), m_spec(std::move(tableDef)), m_texts(texts), m_file(file), m_grid(std::make_unique<TExtColumnGrid>())
{
    QVBoxLayout* layout = Editor_Window_Frame(this);
    P_Title = Make_Title_Panel(this, L_SW_Code, L_SW_Desc);
    layout->addWidget(P_Title);

    Table_Setup_Grid(*m_grid, m_spec);
    layout->addWidget(m_grid->CreateWidget(this), 1);
    m_grid->OnGridHint = [this](TExtStringGrid*, int row, int col, QString& hint) {
        hint = Table_Header_Hint(Hints, row, col);
    };
    m_grid->OnKeyPress = [this](TCustomGrid*, QChar& key) { Grid_Enter_Next_Cell(m_grid.get(), key); };
    m_grid->OnDblClickCell = [this](TExtStringGrid* grid, int row, int col) { Grid_DblClickCell(grid, row, col); };

    Make_Button_Panel(this);
    layout->addWidget(P_Button);

    SetClientSize(clientWidth, Client_Height);
    Set_Lang();
}

TFTableEditor::~TFTableEditor() = default;

void TFTableEditor::Set_Lang()
{
    setWindowTitle(SL_Lang[m_texts.Caption]);
    L_SW_Desc->setText(SL_Lang[m_texts.Desc]);
    Set_Button_Texts(m_texts.FirstButton, m_texts.FirstButtonHint);
    Table_Set_Lang(*m_grid, m_spec, m_texts.FirstHeader, Hints);
}

void TFTableEditor::FormShow()
{
    Set_Lang();
    Table_To_Grid(*m_grid, m_spec, {});
    Fill_Pick_Lists();
    try {
        Table_To_Grid(*m_grid, m_spec, Table_Load(*m_file, m_spec));
    } catch (const Exception& e) {
        // The table stays cleared; saving would replace the unreadable file.
        MessageDlg(e.Message(), TMsgDlgType::mtError, mbOK);
    }
    Do_Copy = false;
    if (QWidget* w = m_grid->Widget()) w->setFocus();
}

bool TFTableEditor::Controllo_dati()
{
    const QString error = Table_Check(m_spec, Table_From_Grid(*m_grid, m_spec));
    if (error.isEmpty()) return true;
    MessageDlg(error, TMsgDlgType::mtError, mbOK);
    return false;
}

void TFTableEditor::Btn_OKClick()
{
    if (!Controllo_dati()) return;
    try {
        Table_Save(*m_file, m_spec, Table_From_Grid(*m_grid, m_spec));
    } catch (const Exception& e) {
        MessageDlg(e.Message(), TMsgDlgType::mtError, mbOK);
        return;
    }
    SetModalResult(mrOk);
}

void TFTableEditor::Btn_DelRowClick()
{
    const int row = m_grid->Row();
    if (MessageDlg(SL_Lang[m_texts.DeleteQuestion] + QString::number(row), TMsgDlgType::mtConfirmation, mbYesNo)
        == mrYes)
        Grid_Delete_Row(row, m_grid.get());
}

void TFTableEditor::Btn_InsRowClick() { Grid_Insert_Row(m_grid->Row(), m_grid.get(), true); }

void TFTableEditor::Btn_CopyRowClick()
{
    Grid_Copy_Row(m_grid.get(), m_grid->Row());
    Do_Copy = true;
}

void TFTableEditor::Btn_PasteRowClick() { Grid_Paste_Row(m_grid.get(), m_grid->Row(), Do_Copy); }

void TFTableEditor::Grid_DblClickCell(TExtStringGrid* grid, int row, int col) { Grid_DblClick_AutoSize(grid, row, col); }
