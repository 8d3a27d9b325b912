// Start-up: the named marker, the application, the language file, the
// three windows, then the event loop. An exception that escapes is shown in
// a message box.
#include "app/aboutbox.h"
#include "app/mainform.h"
#include "locale/language.h"
#include "platform/marker.h"
#include "platform/screen.h"
#include "settings/paramform.h"
#include "settings/params.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <exception>

int main(int argc, char** argv) {
    using namespace tintorel;
    CreateNamedMarker("Tintorel");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tintorel");
    QApplication::setDesktopFileName("org.tintorel.Tintorel");
    QApplication::setWindowIcon(QIcon(":/icons/org.tintorel.Tintorel.svg"));
    try {
        std::string localeDir;
        std::string localeFile;
        ReadLocaleDir(localeDir);
        ReadLocaleFile(localeFile);
        LoadLanguageFile(localeDir, localeFile);

        TMainForm mainForm(std::make_unique<QtScreenReader>());
        TAboutBox aboutBox;
        TParamForm paramForm;
        mainForm.SetAboutBox(&aboutBox);
        mainForm.SetParamForm(&paramForm);
        mainForm.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "Tintorel", QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
