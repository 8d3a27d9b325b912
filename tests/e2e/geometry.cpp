// Where the main window's controls lie, for the scripts that drive the real
// program with the pointer: the window is laid out from the style, the font
// and the language of the desktop it runs on, so a script asks this probe,
// run on the same desktop with the same settings, instead of assuming
// pixel positions. The window is built as the program builds it, never
// shown and never closed (so nothing is saved).
//
//   e2e_geometry NAME...   prints "NAME X Y WIDTH HEIGHT" for each, in the
//                          window's own pixels; NAME is a control's name,
//                          tab:N for a page's tab, or row:N for the Nth row
//                          the name list shows from its top
#include "app/mainform.h"
#include "locale/language.h"
#include "platform/screen/x11/x11screen.h"
#include "settings/params.h"

#include <QApplication>
#include <QListView>
#include <QTabBar>
#include <QTabWidget>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    using namespace tintorel;
    QApplication app(argc, argv);
    LoadLanguageFile(Read(setting::LocaleDir), Read(setting::LocaleFile));
    TMainForm form(std::make_unique<QtScreenReader>());
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    QApplication::processEvents();
    auto* pages = form.findChild<QTabWidget*>("pagColorSpace");
    auto* names = form.findChild<QListView*>("lstName");
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        QRect at;
        if (name.startsWith("tab:")) {
            QTabBar* bar = pages->tabBar();
            const QRect tab = bar->tabRect(name.mid(4).toInt());
            at = QRect(bar->mapTo(&form, tab.topLeft()), tab.size());
        } else if (name.startsWith("row:")) {
            pages->setCurrentIndex(TMainForm::PageName);
            QApplication::processEvents();
            // The list scrolls by whole rows: the Nth shown lies N rows down.
            const int height = form.NameRowHeight();
            const QRect row(0, name.mid(4).toInt() * height, names->viewport()->width(), height);
            at = QRect(names->viewport()->mapTo(&form, row.topLeft()), row.size());
        } else if (const QWidget* control = form.findChild<QWidget*>(name)) {
            // A page lays out its controls when it is shown.
            for (QWidget* up = control->parentWidget(); up != nullptr; up = up->parentWidget()) {
                if (pages->indexOf(up) >= 0) {
                    pages->setCurrentWidget(up);
                    QApplication::processEvents();
                }
            }
            at = QRect(control->mapTo(&form, QPoint(0, 0)), control->size());
        }
        if (at.isEmpty()) {
            std::fprintf(stderr, "e2e_geometry: no %s\n", argv[i]);
            ++failed;
            continue;
        }
        std::printf("%s %d %d %d %d\n", argv[i], at.x(), at.y(), at.width(), at.height());
    }
    return failed == 0 ? 0 : 1;
}
