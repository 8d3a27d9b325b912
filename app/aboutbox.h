// The about box: the title picture with the author and version over it.
// Shown once, modally, when the main window closes; closing it ends the
// program.
#pragma once

#include <QDialog>

class QLabel;

namespace tintorel {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The title lettering on the palette's base colour, 300 × 146, drawn as
    // vectors at the painter's resolution.
    static void PaintTitle(QPainter& painter, const QRectF& area, const QPalette& palette);

    void FormCreate();
    void OnPictureClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Enter closes the box as Escape and a click on the picture do.
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FollowPalette();

    QWidget* imgPicture = nullptr;
    QLabel* lblAuthor = nullptr;
    QLabel* lblVersion = nullptr;
};

} // namespace tintorel
