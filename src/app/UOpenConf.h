#pragma once
// The open configuration dialog: lists the configuration folders under
// PROJECTS and returns the chosen name in Name_Conf.
#include "platform/Forms.h"

#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;
class QWidget;
class TPbButton;

class TFOpenConf : public TForm {
    Q_OBJECT
public:
    explicit TFOpenConf(QWidget* parent = nullptr);

    void Set_Lang() override;
    // SL := the configuration folders under Projects_Path, sorted without
    // regard to letter case.
    void Load_Existing_Configuration();
    // Index of `name` in SL compared in upper case (letters a to z), or -1.
    int Search_Open_Conf(const QString& name) const;
    void ListBox1Click();

    QStringList SL;
    QString Name_Conf;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QWidget* P_Buttons = nullptr;
    TPbButton* Btn_OK = nullptr;
    TPbButton* Btn_Cancel = nullptr;

protected:
    void FormShow() override;
};
