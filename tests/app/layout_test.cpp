// Every window fits the desktop it runs on: under the style and scale this
// process was started with (QT_STYLE_OVERRIDE, QT_SCALE_FACTOR; CTest runs
// it once for each pair), in every shipped language, with the default font
// and a large one, no control, caption or tab of any page is lost: each
// widget lies inside its window, no two neighbours overlap, every tab lies
// inside the tab bar, and no caption is wider than its control.
#include "apptest.h"

#include "controls/uitext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTabBar>

#include <string>
#include <vector>

namespace tintorel {
namespace {

// Widgets that lie over another on purpose: the about box's labels over the
// foot of its picture.
bool OverlaysByDesign(const QWidget* a, const QWidget* b) {
    const auto overlay = [](const QWidget* w) {
        return w->objectName() == "lblAuthor" || w->objectName() == "lblVersion";
    };
    return (overlay(a) && b->objectName() == "imgPicture") ||
           (overlay(b) && a->objectName() == "imgPicture");
}

// Qt's own parts of a control (a tab widget's bar and stack, a list's
// viewport and scroll bars) are Qt's to place; our controls are checked.
bool OwnControl(const QWidget* w) {
    return !w->objectName().startsWith("qt_");
}

// The window as a list of faults, each a sentence; empty when it fits.
std::vector<std::string> Faults(QWidget* window, const std::string& where) {
    std::vector<std::string> faults;
    const auto fault = [&](const QWidget* w, const std::string& what) {
        faults.push_back(where + ": " + w->metaObject()->className() + " " +
                         w->objectName().toStdString() + " " + what);
    };
    const QRect inside = window->rect();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window)) {
            continue;
        }
        const QRect placed(w->mapTo(window, QPoint(0, 0)), w->size());
        if (!inside.contains(placed)) {
            fault(w, "lies outside its window");
        }
        // No caption wider than its control, whatever the style adds to it.
        const QFontMetrics metrics = w->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->wordWrap()) {
            const QString text = CaptionWithoutMarkers(label->text());
            if (metrics.horizontalAdvance(text) > label->contentsRect().width() ||
                label->width() < label->sizeHint().width()) {
                fault(w, "cuts its caption \"" + text.toStdString() + "\"");
            }
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w);
            button != nullptr && !button->text().isEmpty()) {
            const QString text = CaptionWithoutMarkers(button->text());
            if (metrics.horizontalAdvance(text) > button->width() ||
                button->width() < button->sizeHint().width() ||
                button->height() < button->sizeHint().height()) {
                fault(w, "cuts its caption \"" + text.toStdString() + "\"");
            }
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w); edit != nullptr && !edit->text().isEmpty()) {
            // The whole text in view, with the cursor at its end: the first
            // character has not scrolled away.
            const int cursor = edit->cursorPosition();
            edit->setCursorPosition(static_cast<int>(edit->text().size()));
            edit->grab(); // the edit scrolls its text when it paints
            if (edit->cursorPositionAt(QPoint(1, edit->height() / 2)) != 0) {
                fault(w, "scrolls its text \"" + edit->text().toStdString() + "\"");
            }
            edit->setCursorPosition(cursor);
        }
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (!tabs->isTabVisible(i)) {
                    continue;
                }
                const QRect tab = tabs->tabRect(i);
                if (!tabs->rect().contains(tab)) {
                    fault(w, "has tab " + std::to_string(i) + " outside the bar");
                }
                if (tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) > tab.width()) {
                    fault(w, "cuts the caption of tab " + std::to_string(i));
                }
            }
            if (!tabs->parentWidget()->rect().contains(tabs->geometry())) {
                fault(w, "is wider than its page control");
            }
        }
        // Neighbours apart.
        if (!OwnControl(w)) {
            continue;
        }
        for (QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other <= w || other->isWindow() || !other->isVisibleTo(window) ||
                !OwnControl(other) || OverlaysByDesign(w, other)) {
                continue;
            }
            if (w->geometry().intersects(other->geometry())) {
                fault(w, "overlaps " + other->objectName().toStdString());
            }
        }
    }
    return faults;
}

void Settle(QWidget* window) {
    window->show();
    QApplication::processEvents();
}

std::string Describe(const char* language, int points) {
    return std::string(QApplication::style()->name().toStdString()) + ", scale " +
           qEnvironmentVariable("QT_SCALE_FACTOR", "1").toStdString() + ", " + language + ", " +
           (points > 0 ? std::to_string(points) + " pt" : "default font");
}

TEST_F(AppTest, EveryWindowFitsTheStyleScaleFontAndLanguage) {
    // A style that is not installed would silently give the default one.
    const QString wanted = qEnvironmentVariable("QT_STYLE_OVERRIDE");
    if (!wanted.isEmpty()) {
        ASSERT_EQ(QApplication::style()->name().toLower(), wanted.toLower());
    }
    const QFont desktop = QApplication::font();
    for (const char* language : {"english.txt", "french.txt", "german.txt"}) {
        QSize sizeAtDefault;
        for (const int points : {0, 13}) {
            QFont font = desktop;
            if (points > 0) {
                font.setPointSize(points);
            }
            QApplication::setFont(font);
            InstallData(language);
            const std::string where = Describe(language, points);
            TMainForm& form = Start();
            // A colour whose codes are as long as codes get.
            Child<QLineEdit>("edtHtml")->setText("#d5d0c8");
            Settle(&form);
            auto* pages = Child<QTabWidget>("pagColorSpace");
            for (int page = 0; page < pages->count(); ++page) {
                pages->setCurrentIndex(page);
                QApplication::processEvents();
                for (const std::string& f :
                     Faults(&form, where + ", page " + std::to_string(page))) {
                    ADD_FAILURE() << f;
                }
            }
            if (points == 0) {
                sizeAtDefault = form.size();
            } else {
                // A larger font makes a larger window, never a cut one.
                EXPECT_GT(form.width(), sizeAtDefault.width()) << where;
                EXPECT_GT(form.height(), sizeAtDefault.height()) << where;
            }
            TParamForm params;
            params.LoadPreferences();
            Settle(&params);
            for (const std::string& f : Faults(&params, where + ", preferences")) {
                ADD_FAILURE() << f;
            }
            TAboutBox about;
            Settle(&about);
            for (const std::string& f : Faults(&about, where + ", about box")) {
                ADD_FAILURE() << f;
            }
            form_.reset();
            SetSettingsStore(nullptr);
        }
    }
    QApplication::setFont(desktop);
}

} // namespace
} // namespace tintorel
