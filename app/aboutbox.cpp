#include "app/aboutbox.h"

#include "controls/uitext.h"
#include "locale/language.h"
#include "version.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

namespace tintorel {

namespace {

constexpr QSize kPictureSize(300, 146);

// The title picture, painted afresh at whatever resolution the screen has.
class TitlePicture : public QWidget {
public:
    explicit TitlePicture(QWidget* parent) : QWidget(parent) {}
    QSize sizeHint() const override { return kPictureSize; }
    QSize minimumSizeHint() const override { return kPictureSize; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        TAboutBox::PaintTitle(painter, QRectF(rect()), palette());
    }
};

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("AboutBox");
    setWindowTitle("Tintorel");

    auto* pnlPicture = new QFrame(this);
    pnlPicture->setObjectName("pnlPicture");
    pnlPicture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlPicture->setAutoFillBackground(true);
    pnlPicture->setBackgroundRole(QPalette::Base);

    imgPicture = new TitlePicture(pnlPicture);
    imgPicture->setObjectName("imgPicture");
    imgPicture->installEventFilter(this);
    lblAuthor = new QLabel("VRQM", pnlPicture);
    lblAuthor->setObjectName("lblAuthor");
    lblVersion = new QLabel("Version " TINTOREL_VERSION, pnlPicture);
    lblVersion->setObjectName("lblVersion");
    // The labels lie over the foot of the picture, the author's at the left
    // and the version at the right; clicks go through them to the picture.
    auto* picture = new QGridLayout(pnlPicture);
    picture->setContentsMargins(QMargins());
    picture->addWidget(imgPicture, 0, 0, 1, 2);
    picture->addWidget(lblAuthor, 0, 0, Qt::AlignLeft | Qt::AlignBottom);
    picture->addWidget(lblVersion, 0, 1, Qt::AlignRight | Qt::AlignBottom);
    for (QLabel* label : {lblAuthor, lblVersion}) {
        label->setContentsMargins(8, 0, 8, 2);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(QMargins());
    box->addWidget(pnlPicture);
    box->setSizeConstraint(QLayout::SetFixedSize);
    FollowPalette();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->geometry().center() - rect().center());
    }
    FormCreate();
}

void TAboutBox::PaintTitle(QPainter& painter, const QRectF& area, const QPalette& palette) {
    painter.fillRect(area, palette.color(QPalette::Base));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.topLeft());
    painter.scale(area.width() / kPictureSize.width(), area.height() / kPictureSize.height());
    // A band of the hue circle under the lettering.
    QLinearGradient band(20, 0, 280, 0);
    for (int i = 0; i <= 6; ++i) {
        band.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 110, 255));
    }
    painter.fillRect(QRectF(20, 96, 260, 6), band);
    QFont lettering("Serif", 36, QFont::Bold);
    lettering.setStyleHint(QFont::Serif);
    lettering.setPixelSize(50);
    QPainterPath title;
    title.addText(0, 0, lettering, "Tintorel");
    const QRectF bounds = title.boundingRect();
    title.translate(150 - bounds.center().x(), 66 - bounds.center().y());
    // Inks that read on light and dark bases alike.
    QLinearGradient ink(title.boundingRect().topLeft(), title.boundingRect().bottomRight());
    ink.setColorAt(0.0, QColor(214, 52, 72));
    ink.setColorAt(0.5, QColor(72, 110, 224));
    ink.setColorAt(1.0, QColor(34, 168, 102));
    painter.fillPath(title, ink);
}

void TAboutBox::FollowPalette() {
    // The labels in the palette's text colour softened halfway towards the
    // base: grey on white, light grey on a dark base.
    const QColor text = palette().color(QPalette::Text);
    const QColor base = palette().color(QPalette::Base);
    const QColor soft((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                      (text.blue() + base.blue()) / 2);
    for (QLabel* label : {lblAuthor, lblVersion}) {
        QPalette own = label->palette();
        own.setColor(QPalette::WindowText, soft);
        label->setPalette(own);
    }
}

void TAboutBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        FollowPalette();
    }
}

void TAboutBox::FormCreate() {
    setWindowTitle(DisplayText(LookupText("AboutTitle")));
    // These labels name no control, so an ampersand marks nothing to reach:
    // it is shown as a toolkit shows a caption's marker, not literally.
    lblAuthor->setText(CaptionWithoutMarkers(DisplayText(LookupText("AboutAuthor"))));
    lblVersion->setText(CaptionWithoutMarkers(DisplayText(LookupText("AboutVersion"))));
    // A screen reader says a dialog's texts that label no control, or else
    // its description: both lines, whichever it reads.
    setAccessibleDescription(lblAuthor->text() + u'\n' + lblVersion->text());
}

void TAboutBox::OnPictureClick() {
    close();
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnPictureClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgPicture && event->type() == QEvent::MouseButtonRelease) {
        OnPictureClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tintorel
