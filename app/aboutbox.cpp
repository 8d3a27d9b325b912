#include "app/aboutbox.h"

#include "controls/uitext.h"
#include "locale/language.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace tintorel {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("AboutBox");
    setWindowTitle("Tintorel");
    setFont(WindowFont());
    setFixedSize(292, 143);

    auto* pnlPicture = new QFrame(this);
    pnlPicture->setObjectName("pnlPicture");
    pnlPicture->setGeometry(0, 0, 337, 145);
    pnlPicture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlPicture->setAutoFillBackground(true);
    QPalette white = pnlPicture->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlPicture->setPalette(white);

    imgPicture = new QLabel(pnlPicture);
    imgPicture->setObjectName("imgPicture");
    imgPicture->setGeometry(-4, 0, 300, 143);
    imgPicture->setAlignment(Qt::AlignCenter);
    imgPicture->setPixmap(TitlePicture());
    imgPicture->installEventFilter(this);

    const auto greyLabel = [pnlPicture](const char* name, const QRect& geometry,
                                        Qt::Alignment align) {
        auto* label = new QLabel(pnlPicture);
        label->setObjectName(name);
        label->setGeometry(geometry);
        label->setAlignment(align | Qt::AlignVCenter);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(128, 128, 128));
        label->setPalette(palette);
        label->setAttribute(Qt::WA_TranslucentBackground);
        return label;
    };
    lblAuthor = greyLabel("lblAuthor", QRect(8, 128, 89, 17), Qt::AlignLeft);
    lblAuthor->setText("VRQM");
    lblVersion = greyLabel("lblVersion", QRect(152, 128, 136, 17), Qt::AlignRight);
    lblVersion->setText("Version 1.6.15");

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        move(desktop.center() - rect().center());
    }
    FormCreate();
}

QPixmap TAboutBox::TitlePicture() {
    QPixmap picture(300, 146);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // A band of the hue circle behind the lettering.
    QLinearGradient band(20, 0, 280, 0);
    for (int i = 0; i <= 6; ++i) {
        band.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 110, 255));
    }
    painter.fillRect(QRect(20, 96, 260, 6), band);
    QFont lettering("Serif", 36, QFont::Bold);
    lettering.setStyleHint(QFont::Serif);
    lettering.setPixelSize(50);
    QPainterPath title;
    title.addText(0, 0, lettering, "Tintorel");
    const QRectF bounds = title.boundingRect();
    title.translate(150 - bounds.center().x(), 66 - bounds.center().y());
    QLinearGradient ink(title.boundingRect().topLeft(), title.boundingRect().bottomRight());
    ink.setColorAt(0.0, QColor(200, 40, 60));
    ink.setColorAt(0.5, QColor(60, 90, 200));
    ink.setColorAt(1.0, QColor(30, 150, 90));
    painter.fillPath(title, ink);
    return picture;
}

void TAboutBox::FormCreate() {
    setWindowTitle(DisplayText(LookupText("AboutTitle")));
    // These labels name no control, so an ampersand marks nothing to reach:
    // it is shown as a toolkit shows a caption's marker, not literally.
    lblAuthor->setText(CaptionWithoutMarkers(DisplayText(LookupText("AboutAuthor"))));
    lblVersion->setText(CaptionWithoutMarkers(DisplayText(LookupText("AboutVersion"))));
}

void TAboutBox::OnPictureClick() {
    close();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgPicture && event->type() == QEvent::MouseButtonRelease) {
        OnPictureClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tintorel
