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

    // The title lettering on white, 300 × 146, drawn by the program.
    static QPixmap TitlePicture();

    void FormCreate();
    void OnPictureClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* imgPicture = nullptr;
    QLabel* lblAuthor = nullptr;
    QLabel* lblVersion = nullptr;
};

} // namespace tintorel
