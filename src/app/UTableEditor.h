#pragma once
// The window every table editor shares: a title panel with the software code
// and the description, the table grid in the middle and a button panel with
// OK, Cancel, Delete Row, Insert Row, Copy Row and Paste Row. The table itself
// is described by a TTableDef (UTableFile.h); the window reads its file each
// time it is shown and writes it on OK after the check.
#include "app/UTableFile.h"
#include "platform/Forms.h"

#include <QStringList>
#include <memory>

class QLabel;
class QVBoxLayout;
class TExtColumnGrid;
class TExtStringGrid;
class TPbButton;

// The look of the title panel's labels every editor window shares: the
// software code in 32-pixel Verdana, the description bold, both grey.
void Style_Title_Labels(QLabel* code, QLabel* desc);

// The pieces every table editor window shows, for windows that lay out more
// than one grid.
// The window's look (dialog title bar with the system menu and the given
// extra buttons, Verdana 8, the cream background) and its vertical layout
// without margins or spacing, for the panels top to bottom.
QVBoxLayout* Editor_Window_Frame(QWidget* window, Qt::WindowFlags extraButtons = {});
// The title panel (software code and description, 69 pixels).
QWidget* Make_Title_Panel(QWidget* parent, QLabel*& code, QLabel*& desc);
// The button panel (40 pixels) with OK, Cancel, Delete Row, Insert Row, Copy
// Row and Paste Row in that order; Cancel closes with mrCancel.
class TEditorButtons {
public:
    virtual ~TEditorButtons() = default;
    virtual void Btn_OKClick() = 0;
    virtual void Btn_DelRowClick() = 0;
    virtual void Btn_InsRowClick() = 0;
    virtual void Btn_CopyRowClick() = 0;
    virtual void Btn_PasteRowClick() = 0;

    QWidget* P_Button = nullptr;
    TPbButton* Btn_OK = nullptr;
    TPbButton* Btn_Cancel = nullptr;
    TPbButton* Btn_DelRow = nullptr;
    TPbButton* Btn_InsRow = nullptr;
    TPbButton* Btn_CopyRow = nullptr;
    TPbButton* Btn_PasteRow = nullptr;

    // Makes P_Button with the six buttons in `parent`, each calling its handler.
    void Make_Button_Panel(QWidget* parent);
    // Six captions from text `firstCaption` on and six hints from `firstHint` on.
    void Set_Button_Texts(int firstCaption, int firstHint);
};

// The text numbers of a table editor's window.
struct TTableEditorTexts {
    int Caption = 0;
    int Desc = 0;
    int FirstButton = 0;     // six captions in button order
    int FirstButtonHint = 0; // six hints in button order
    int FirstHeader = 0;     // title of column 0
    int DeleteQuestion = 0;  // the row number follows
};

class TFTableEditor : public TForm, public TEditorButtons {
    Q_OBJECT
public:
    // file: the shared path variable of the table's project file.
    TFTableEditor(TTableDef tableDef, TTableEditorTexts texts, int clientWidth, const QString* file,
                  QWidget* parent = nullptr);
    ~TFTableEditor() override;

    void Set_Lang() override;
    // The check of OK; shows the first failure and answers false.
    bool Controllo_dati();
    void Btn_OKClick() override;
    void Btn_DelRowClick() override;
    void Btn_InsRowClick() override;
    void Btn_CopyRowClick() override;
    void Btn_PasteRowClick() override;
    // A double click on a cell of the grid: on a column title it sizes the
    // column to its content when the user's option for it is on.
    void Grid_DblClickCell(TExtStringGrid* grid, int row, int col);

    TExtColumnGrid& Grid() { return *m_grid; }
    const TTableDef& TableDef() const { return m_spec; }

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    // The header hint of each column from column 1 on.
    QStringList Hints;
    // True once a row of this grid was copied in this showing.
    bool Do_Copy = false;

protected:
    void FormShow() override;
    // Fills the pick lists that follow the window's limits (at each showing).
    virtual void Fill_Pick_Lists() {}

private:
    TTableDef m_spec;
    TTableEditorTexts m_texts;
    const QString* m_file;
    std::unique_ptr<TExtColumnGrid> m_grid;
};
