#include "ui/MainWindowPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <string_view>

#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "ui/Unit1.h"

namespace {

// The example list the picture is filled from: four music events between picture events.
constexpr std::string_view kExampleEdl =
    "TITLE:   BEISPIELFILM R1\r\n"
    "FCM: NON-DROP FRAME\r\n"
    "000001  A001C003                         V     C        10:00:00:00 10:00:06:00 "
    "01:00:00:00 01:00:06:00 \r\n"
    "*FROM CLIP NAME:  A001C003 TOTALE.MOV \r\n"
    "000002  MUSIK_01                         A     C        00:00:00:00 00:00:42:10 "
    "01:00:06:00 01:00:48:10 \r\n"
    "*FROM CLIP NAME:  SOMMERNACHT.MP3 \r\n"
    "000003  MUSIK_02                         NONE  C        00:00:10:00 00:01:15:00 "
    "01:00:48:10 01:01:53:10 \r\n"
    "AUD  3    4\r\n"
    "*FROM CLIP NAME:  STADTLICHTER THEMA.WAV\r\n"
    "000004  B002C011                         V     C        11:20:00:00 11:20:08:00 "
    "01:01:53:10 01:02:01:10 \r\n"
    "*FROM CLIP NAME:  B002C011 HALBTOTALE.MOV\r\n"
    "000005  MUSIK_03                         A     C        00:01:00:00 00:01:31:20 "
    "01:02:01:10 01:02:33:05 \r\n"
    "*FROM CLIP NAME:  REGEN AM MORGEN.M4A\r\n"
    "000006  MUSIK_04                         A     C        00:00:00:00 00:00:12:00 "
    "01:02:33:05 01:02:45:05 \r\n"
    "*FROM CLIP NAME:  ABSPANN JINGLE.AIFF\r\n";

constexpr int kCaptionHeight = 26;

void drawCaption(QPainter& painter, const TForm1& form, int width)
{
    const QRect bar(0, 0, width, kCaptionHeight);
    QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
    gradient.setColorAt(0, QColor(0x6f, 0x8f, 0xb5));
    gradient.setColorAt(1, QColor(0x45, 0x66, 0x8f));
    painter.fillRect(bar, gradient);
    form.windowIcon().paint(&painter, QRect(5, 4, 18, 18));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(bar.adjusted(28, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     form.windowTitle());
    // Minimise and close buttons, drawn plainly.
    painter.setPen(QPen(Qt::white, 2));
    const int right = width - 10;
    painter.drawLine(right - 36, 17, right - 26, 17);
    painter.drawLine(right - 10, 8, right, 18);
    painter.drawLine(right - 10, 18, right, 8);
}

void drawStep(QPainter& painter, QPoint centre, int number)
{
    constexpr int kRadius = 11;
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(0xd0, 0x10, 0x10));
    painter.drawEllipse(centre, kRadius, kRadius);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(centre.x() - kRadius, centre.y() - kRadius, 2 * kRadius, 2 * kRadius),
                     Qt::AlignCenter, QString::number(number));
}

// Where a control's top-left corner lands in the picture before scaling.
QPoint cornerOf(const TForm1& form, const QWidget* control)
{
    return control->mapTo(&form, QPoint(0, 0)) + QPoint(0, kCaptionHeight);
}

}  // namespace

QPixmap MainWindowPicture()
{
    TForm1 form(nullptr, TForm1::InstanceCheck::Skip);
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.RichEdit1 = tarvelin::DecodeEdlText(kExampleEdl);
    form.FillCueLines();
    form.Button5Click(form.Button5);
    form.ensurePolished();
    form.resize(form.sizeHint());
    if (form.layout() != nullptr) {
        form.layout()->activate();
    }

    const QPixmap window = form.grab();
    QPixmap framed(window.width(), window.height() + kCaptionHeight);
    framed.fill(form.palette().color(QPalette::Window));
    {
        QPainter painter(&framed);
        painter.setRenderHint(QPainter::Antialiasing);
        drawCaption(painter, form, framed.width());
        painter.drawPixmap(0, kCaptionHeight, window);
        drawStep(painter, cornerOf(form, form.Button1) + QPoint(-2, 2), 1);
        drawStep(painter, cornerOf(form, form.ComboBox1) + QPoint(-4, -2), 2);
        drawStep(painter, cornerOf(form, form.CheckBox1) + QPoint(-4, 0), 3);
        drawStep(painter, cornerOf(form, form.Button5) + QPoint(-2, 2), 4);
        drawStep(painter, cornerOf(form, form.Button3) + QPoint(-2, 2), 5);
    }

    QPixmap picture(kMainWindowPictureWidth, kMainWindowPictureHeight);
    picture.fill(Qt::transparent);
    const QPixmap scaled =
        framed.scaled(picture.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&picture);
    painter.drawPixmap((picture.width() - scaled.width()) / 2,
                       (picture.height() - scaled.height()) / 2, scaled);
    return picture;
}
