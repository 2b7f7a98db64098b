#pragma once
// The about box: the software's identity, version and document code, and the
// maker's web address.
#include "platform/Forms.h"

class QLabel;
class TPbButton;

class TFAbout : public TForm {
    Q_OBJECT
public:
    explicit TFAbout(QWidget* parent = nullptr);

    // Opens the maker's home page (also the logo's click).
    void Label4Click();

    QLabel* Label1 = nullptr;  // "Software Ferravante "
    QLabel* Label2 = nullptr;  // description
    QLabel* Label3 = nullptr;  // "Version :"
    QLabel* Label4 = nullptr;  // the maker's web address
    QLabel* Label6 = nullptr;  // "Software Code : "
    QLabel* Label8 = nullptr;  // "Document Code :"
    QLabel* Label9 = nullptr;  // software code
    QLabel* Label10 = nullptr; // version
    QLabel* Label12 = nullptr; // document code
    QLabel* Image2 = nullptr;  // logo
    TPbButton* PbButton1 = nullptr;

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
