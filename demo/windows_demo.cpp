// Shows the preferences dialog or the about box on its own, with the
// language the settings name, for a person to look at: windows-demo params
// or windows-demo about. `windows-demo shots FOLDER` instead saves a picture
// of every page of the main window and of both dialogs into FOLDER, under
// whatever style, scale, font and palette the environment gives
// (QT_STYLE_OVERRIDE, QT_SCALE_FACTOR, TINTOREL_DEMO_POINT_SIZE), showing the
// colour TINTOREL_DEMO_COLOUR (a web code) if given.
#include "app/aboutbox.h"
#include "app/mainform.h"
#include "locale/language.h"
#include "platform/screen/x11/x11screen.h"
#include "settings/paramform.h"
#include "settings/params.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>

#include <cstring>
#include <memory>

namespace {

int SaveShots(const QString& folder) {
    using namespace tintorel;
    if (const int points = qEnvironmentVariableIntValue("TINTOREL_DEMO_POINT_SIZE"); points > 0) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    TMainForm form(std::make_unique<QtScreenReader>());
    if (const QString colour = qEnvironmentVariable("TINTOREL_DEMO_COLOUR"); !colour.isEmpty()) {
        form.findChild<QLineEdit*>("edtHtml")->setText(colour);
    }
    form.show();
    auto* pages = form.findChild<QTabWidget*>("pagColorSpace");
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        form.grab().save(QString("%1/main-%2.png").arg(folder).arg(page));
    }
    TParamForm params;
    params.LoadPreferences();
    params.show();
    QApplication::processEvents();
    params.grab().save(folder + "/params.png");
    TAboutBox about;
    about.show();
    QApplication::processEvents();
    about.grab().save(folder + "/about.png");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tintorel;
    QApplication app(argc, argv);
    std::string dir;
    std::string file;
    ReadLocaleDir(dir);
    ReadLocaleFile(file);
    LoadLanguageFile(dir, file);
    if (argc > 2 && std::strcmp(argv[1], "shots") == 0) {
        return SaveShots(QString::fromLocal8Bit(argv[2]));
    }
    if (argc > 1 && std::strcmp(argv[1], "about") == 0) {
        TAboutBox about;
        return about.exec();
    }
    TParamForm params;
    return params.exec();
}
