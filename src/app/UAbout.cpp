#include "app/UAbout.h"

#include "app/UNew_Project.h"
#include "app/USoftOptions.h"
#include "controls/PbButton.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {
// The logo: the maker's name on a blue band.
QPixmap Logo(const QSize& size)
{
    QPixmap pix(size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 70, 140));
    p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), 6, 6);
    p.setBrush(QColor(255, 128, 0));
    p.drawRect(QRectF(0, size.height() - 8, size.width(), 4));
    QFont f = Dialog_Look::Font();
    f.setBold(true);
    // The name keeps a margin on both sides: the font shrinks until it fits.
    const QString name = QStringLiteral("TolvexCorp");
    int pixels = size.height() / 3;
    f.setPixelSize(pixels);
    while (pixels > 6 && QFontMetrics(f).horizontalAdvance(name) > size.width() - 12) f.setPixelSize(--pixels);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size.width(), size.height() - 8), Qt::AlignCenter, name);
    return pix;
}

QLabel* Text(QWidget* parent, int x, int y, const QString& text, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    l->move(x, y);
    l->adjustSize();
    return l;
}
} // namespace

TFAbout::TFAbout(QWidget* parent) : TForm(parent)
{
    Dialog_Look::Apply(this);
    SetClientSize(425, 148);
    SetCaption(QStringLiteral("KR52R08"));

    Image2 = new QLabel(this);
    Image2->setGeometry(12, 12, 128, 64);
    Image2->setPixmap(Logo(Image2->size()));
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->installEventFilter(this);
    Label4 = Text(this, 12, 84, Maker_Web_Address());
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->installEventFilter(this);
    QPalette link = Label4->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 192));
    Label4->setPalette(link);

    Label1 = Text(this, 156, 12, QStringLiteral("Software Ferravante "), true);
    Label2 = Text(this, 156, 30, QString());
    Label3 = Text(this, 156, 54, QStringLiteral("Version :"));
    Label10 = Text(this, 270, 54, QString(), true);
    Label6 = Text(this, 156, 72, QStringLiteral("Software Code : "));
    Label9 = Text(this, 270, 72, QString(), true);
    Label8 = Text(this, 156, 90, QStringLiteral("Document Code :"));
    Label12 = Text(this, 270, 90, QString(), true);

    PbButton1 = new TPbButton(this);
    PbButton1->setGeometry(425 - 98, 148 - 37, 86, 29);
    PbButton1->ApplyProgramLook();
    PbButton1->SetColor(Dialog_Look::Window_Color);
    PbButton1->SetCaption(QStringLiteral("OK"));
    PbButton1->SetModalResult(mrOk);
}

void TFAbout::FormShow()
{
    Label2->setText(QStringLiteral("CAN / LoRaWAN Gateway - Converter"));
    Label9->setText(Soft_Code);
    Label10->setText(Soft_Version);
    Label12->setText(QStringLiteral("ZL52R08"));
    for (QLabel* l : {Label2, Label9, Label10, Label12}) l->adjustSize();
    SetClientSize(425, 148);
    Dialog_Look::Centre(this);
}

void TFAbout::Label4Click() { ShellOpenLink(Maker_Home_Page()); }

bool TFAbout::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Label4 || watched == Image2) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return TForm::eventFilter(watched, event);
}
