// Everything can be reached and changed from the keyboard, and a screen
// reader hears a name and a value for every control: accelerators, the
// page keys, the Tab order, the colour field's keys, and what the
// accessibility interfaces tell, in every shipped language.
#include "apptest.h"
#include "tests/patience.h"

#include "controls/colorselector.h"
#include "controls/contrastsample.h"
#include "controls/uitext.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QToolButton>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tintorel {
namespace {

const char* const kLanguages[] = {"english.txt", "french.txt", "german.txt"};

// The letter a caption's marker picks, or 0 for none; `markers` counts the
// markers ("&&" is a literal ampersand, no marker).
QChar Accelerator(const QString& caption, int* markers = nullptr) {
    QChar letter;
    int count = 0;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (caption[i + 1] != u'&') {
                letter = caption[i + 1].toLower();
                ++count;
            }
            ++i;
        }
    }
    if (markers != nullptr) {
        *markers = count;
    }
    return letter;
}

// The captions a user sees in a window at once: its labels, radio buttons,
// check boxes and push buttons that are shown.
std::vector<QWidget*> Captioned(QWidget* window) {
    std::vector<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) {
            continue;
        }
        if (qobject_cast<QLabel*>(w) != nullptr && !qobject_cast<QLabel*>(w)->text().isEmpty() &&
            qobject_cast<QLabel*>(w)->buddy() != nullptr) {
            found.push_back(w);
        } else if (auto* b = qobject_cast<QAbstractButton*>(w);
                   b != nullptr && !b->text().isEmpty()) {
            found.push_back(w);
        }
    }
    return found;
}

QString CaptionOf(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    return qobject_cast<const QAbstractButton*>(w)->text();
}

Qt::Key KeyOf(QChar letter) {
    return static_cast<Qt::Key>(Qt::Key_A + (letter.toUpper().unicode() - u'A'));
}

void Activate(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, kPatienceMs));
}

// Each caption has one accelerator, no two alike in a window or on a page,
// and Alt with it focuses the labelled control or presses the button.
void CheckAccelerators(QWidget* window, const std::string& where) {
    std::map<QChar, QString> taken;
    for (QWidget* w : Captioned(window)) {
        int markers = 0;
        const QChar letter = Accelerator(CaptionOf(w), &markers);
        EXPECT_EQ(markers, 1) << where << ": \"" << CaptionOf(w).toStdString() << "\"";
        if (markers != 1) {
            continue;
        }
        ASSERT_TRUE(letter >= u'a' && letter <= u'z') << where;
        const auto [at, added] = taken.emplace(letter, CaptionOf(w));
        EXPECT_TRUE(added) << where << ": \"" << CaptionOf(w).toStdString() << "\" and \""
                           << at->second.toStdString() << "\" share their accelerator";
    }
    for (QWidget* w : Captioned(window)) {
        const QChar letter = Accelerator(CaptionOf(w));
        if (letter.isNull()) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            window->setFocus();
            // A heading of a group of choices leads to its chosen option
            // (else its first), and chooses nothing.
            const QList<QAbstractButton*> options =
                label->buddy()->findChildren<QAbstractButton*>();
            std::vector<bool> chosen;
            QWidget* target = label->buddy()->focusProxy() != nullptr ? label->buddy()->focusProxy()
                                                                      : label->buddy();
            QWidget* firstEnabled = nullptr;
            QWidget* firstChosen = nullptr;
            for (QAbstractButton* option : options) {
                chosen.push_back(option->isChecked());
                if (option->isEnabled() && firstEnabled == nullptr) {
                    firstEnabled = option;
                }
                if (option->isEnabled() && option->isChecked() && firstChosen == nullptr) {
                    firstChosen = option;
                }
            }
            if (firstEnabled != nullptr) {
                target = firstChosen != nullptr ? firstChosen : firstEnabled;
            }
            QTest::keyClick(window, KeyOf(letter), Qt::AltModifier);
            EXPECT_EQ(QApplication::focusWidget(), target)
                << where << ": Alt+" << letter.toLatin1() << " for \""
                << label->text().toStdString() << "\"";
            for (int i = 0; i < options.size(); ++i) {
                EXPECT_EQ(options[i]->isChecked(), chosen[static_cast<std::size_t>(i)])
                    << where << ": Alt+" << letter.toLatin1() << " changed "
                    << options[i]->text().toStdString();
            }
        } else if (auto* box = qobject_cast<QCheckBox*>(w); box != nullptr && box->isEnabled()) {
            // A button's accelerator clicks it as a short press would: the
            // press shows, then the click follows.
            const bool before = box->isChecked();
            QTest::keyClick(window, KeyOf(letter), Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return box->isChecked() != before; }, kPatienceMs))
                << where << ": " << box->text().toStdString();
            QTest::keyClick(window, KeyOf(letter), Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return box->isChecked() == before; }, kPatienceMs));
        } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
            QTest::keyClick(window, KeyOf(letter), Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return radio->isChecked(); }, kPatienceMs))
                << where << ": " << radio->text().toStdString();
        }
    }
}

TEST_F(AppTest, AcceleratorsAreUniqueAndReachTheirControls) {
    for (const char* language : kLanguages) {
        InstallData(language);
        TMainForm& form = Start();
        Activate(&form);
        auto* pages = Child<QTabWidget>("pagColorSpace");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            CheckAccelerators(&form, std::string(language) + ", page " + std::to_string(page));
        }
        TParamForm params;
        params.LoadPreferences();
        Activate(&params);
        CheckAccelerators(&params, std::string(language) + ", preferences");
        form_.reset();
    }
}

// Ctrl+Tab, Ctrl+Page Down and their reverses change the page from any
// control of the window, skipping the hidden pages.
TEST_F(AppTest, PageKeysChangeThePageFromAnywhere) {
    InstallData();
    WriteTabVisibility(1, 1, 0, 1, 1, 1, 1); // HSV hidden
    TMainForm& form = Start();
    Activate(&form);
    auto* pages = Child<QTabWidget>("pagColorSpace");
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int from;
        int to;
    } cases[] = {
        {Qt::Key_Tab, Qt::ControlModifier, TMainForm::PageRgb, TMainForm::PageHls},
        {Qt::Key_Tab, Qt::ControlModifier, TMainForm::PageHls, TMainForm::PageCmy},
        {Qt::Key_PageDown, Qt::ControlModifier, TMainForm::PageName, TMainForm::PageRgb},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, TMainForm::PageCmy,
         TMainForm::PageHls},
        {Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, TMainForm::PageRgb,
         TMainForm::PageName},
        {Qt::Key_PageUp, Qt::ControlModifier, TMainForm::PageCmy, TMainForm::PageHls},
    };
    for (const auto& c : cases) {
        pages->setCurrentIndex(c.from);
        // From the first control of the page: a slider, a list, or the tabs.
        QWidget* start = pages->currentWidget()->nextInFocusChain();
        start->setFocus();
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        EXPECT_EQ(form.ActivePage(), c.to) << "from page " << c.from;
    }
    // The page change converts the colour as a click on the tab does.
    pages->setCurrentIndex(TMainForm::PageRgb);
    Child<QLineEdit>("edtHtml")->setFocus();
    QTest::keyClick(Child<QLineEdit>("edtHtml"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(typeid(*form.CurrentColor()), typeid(BColorHls));
}

// A widget as the Tab order test names it: a slider row's parts by the row.
std::string Named(const QWidget* w) {
    if (qobject_cast<const BTrackBar*>(w) != nullptr) {
        return w->parentWidget()->objectName().toStdString() + "/slider";
    }
    if (qobject_cast<const BNumberEdit*>(w) != nullptr) {
        return w->parentWidget()->objectName().toStdString() + "/number";
    }
    if (qobject_cast<const QTabBar*>(w) != nullptr) {
        return "tabs";
    }
    return w->objectName().toStdString();
}

// The controls Tab visits from `first`, in order, once round.
std::vector<std::string> TabOrder(QWidget* first) {
    first->setFocus();
    std::vector<std::string> order{Named(first)};
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == first) {
            break;
        }
        order.push_back(Named(now));
    }
    return order;
}

TEST_F(AppTest, TabFollowsTheReadingOrder) {
    InstallData();
    TMainForm& form = Start();
    Activate(&form);
    const std::vector<std::string> side{"btnCapture", "btnPref", "edtHtml", "edtVisualBasic"};
    const auto rows = [](std::initializer_list<const char*> names) {
        std::vector<std::string> order{"tabs"};
        for (const char* name : names) {
            const std::string n = name;
            if (n.starts_with("bst")) {
                order.push_back(n + "/slider");
                order.push_back(n + "/number");
            } else {
                order.push_back(n);
            }
        }
        return order;
    };
    // A group of radio buttons is one stop, at its checked button; the
    // arrow keys move within it.
    const std::pair<int, std::vector<std::string>> pages[] = {
        {TMainForm::PageRgb, rows({"bstRed", "bstGrn", "bstBlu", "rdbRgbByte"})},
        {TMainForm::PageHls, rows({"bstHue", "bstLit", "bstSat", "rdbHlsDegreeByte"})},
        {TMainForm::PageCmyk, rows({"bstCya2", "bstMag2", "bstYel2", "bstBlk2", "rdbCmykByte"})},
        {TMainForm::PageOklch, rows({"bstOkLightness", "bstOkChroma", "bstOkHue", "smpWhite",
                                     "smpBlack", "smpKept", "btnKeep", "rdbOklchPercent"})},
        {TMainForm::PageVisual, rows({"cboVisual", "VisualColorSelector", "tkbZComponent"})},
        {TMainForm::PageName, rows({"cboFile", "cboName", "lstName"})},
    };
    auto* tabs = Child<QTabWidget>("pagColorSpace");
    for (const auto& [page, expected] : pages) {
        tabs->setCurrentIndex(page);
        std::vector<std::string> order = expected;
        order.insert(order.end(), side.begin(), side.end());
        EXPECT_EQ(TabOrder(tabs->tabBar()), order) << "page " << page;
    }
    // The preferences: first control first, OK and Cancel last.
    TParamForm params;
    params.LoadPreferences();
    Activate(&params);
    const std::vector<std::string> choices{"rdbNo",       "rdbSmall", "chkRgb",   "chkHls",
                                           "chkHsv",      "chkCmy",   "chkCmyk",  "chkOklch",
                                           "chkVisual",   "chkName",  "chkHtml",  "chkVb",
                                           "cboLanguage", "btnOk",    "btnCancel"};
    EXPECT_EQ(TabOrder(params.findChild<QWidget*>("rdbNo")), choices);
}

// The colour field is a control of its own: one Tab stop, a focus frame,
// and keys that move its mark as a click does, each raising OnChange.
TEST_F(AppTest, TheColourFieldMovesWithTheKeys) {
    InstallData();
    TMainForm& form = Start();
    Activate(&form);
    Child<QTabWidget>("pagColorSpace")->setCurrentIndex(TMainForm::PageVisual);
    auto* field = Child<BColorSelector>("VisualColorSelector");
    EXPECT_EQ(field->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    field->setFocus();
    QApplication::processEvents();
    // Black: the mark in the top-left corner of the hue/lightness plane.
    const QImage framed = field->grab().toImage();
    const QColor highlight = field->palette().color(QPalette::Highlight);
    // The dotted frame along the top edge: dots of the highlight over the
    // black of the plane's first row.
    int dots = 0;
    for (int x = field->width() / 4; x < field->width() * 3 / 4; ++x) {
        dots += framed.pixelColor(x, 0).rgb() == highlight.rgb() ? 1 : 0;
    }
    EXPECT_GE(dots, field->width() / 8);
    QSignalSpy changes(field, &BColorSelector::OnChange);
    const double column = 1.0 / field->NbDivX();
    const double row = 1.0 / field->NbDivY();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        double x;
        double y;
    } steps[] = {
        {Qt::Key_Right, {}, column, 0},
        {Qt::Key_Right, {}, 2 * column, 0},
        {Qt::Key_Down, {}, 2 * column, row},
        {Qt::Key_PageDown, {}, 2 * column, 9 * row},
        {Qt::Key_Up, {}, 2 * column, 8 * row},
        {Qt::Key_Left, {}, column, 8 * row},
        {Qt::Key_End, {}, 1, 8 * row},
        {Qt::Key_Right, {}, 1, 8 * row},
        {Qt::Key_Home, {}, 0, 8 * row},
        {Qt::Key_Left, {}, 0, 8 * row},
        {Qt::Key_End, Qt::ControlModifier, 0, 1},
        {Qt::Key_PageUp, {}, 0, 1 - 8 * row},
        {Qt::Key_Home, Qt::ControlModifier, 0, 0},
    };
    int raised = 0;
    for (const auto& s : steps) {
        QTest::keyClick(field, s.key, s.modifiers);
        EXPECT_NEAR(field->XValue(), s.x, 1e-6) << s.key;
        EXPECT_NEAR(field->YValue(), s.y, 1e-6) << s.key;
        EXPECT_EQ(changes.size(), ++raised) << s.key;
    }
    // The window follows as it does a click: hue 0, lightness 8/64, at the
    // saturation of black (the track bar's 0): a dark grey.
    QTest::keyClick(field, Qt::Key_PageDown);
    ASSERT_EQ(field->YValue(), static_cast<float>(8 * row));
    EXPECT_EQ(form.CurrentColor()->ToColor(), field->Color());
    EXPECT_EQ(Html(), "#202020");
}

// Enter and Escape close the about box, as a click on its picture does.
// The preferences open with the focus on the chosen option of their first
// panel, so that Space there changes nothing; Enter confirms.
TEST_F(AppTest, PreferencesOpenOnTheChosenOption) {
    InstallData();
    for (const int onTop : {0, 1}) {
        WriteStayOnTop(onTop);
        TMainForm& form = Start();
        Activate(&form);
        QWidget* focused = nullptr;
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&params_, kPatienceMs));
            focused = QApplication::focusWidget();
            QTest::keyClick(focused, Qt::Key_Space);
            QTest::keyClick(focused, Qt::Key_Return);
        });
        QTest::mouseClick(Child<QToolButton>("btnPref"), Qt::LeftButton);
        EXPECT_EQ(focused, params_.findChild<QWidget*>(onTop != 0 ? "rdbYes" : "rdbNo"));
        EXPECT_EQ(ReadStayOnTop(), onTop);
    }
}

TEST_F(AppTest, EnterAndEscapeCloseTheAboutBox) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        TAboutBox about;
        Activate(&about);
        QTest::keyClick(&about, key);
        EXPECT_FALSE(about.isVisible()) << key;
    }
}

// The last page ticked in the preferences cannot be unticked.
TEST_F(AppTest, TheLastVisiblePageCannotBeUnticked) {
    InstallData();
    TParamForm params;
    params.LoadPreferences();
    Activate(&params);
    const char* const boxes[] = {"chkRgb",  "chkHls",   "chkHsv",  "chkCmy",
                                 "chkCmyk", "chkOklch", "chkName", "chkVisual"};
    // A click on a box's square, as a user clicks.
    const auto click = [&params](const char* name) {
        auto* box = params.findChild<QCheckBox*>(name);
        QStyleOptionButton option;
        option.initFrom(box);
        QTest::mouseClick(
            box, Qt::LeftButton, {},
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center());
    };
    for (const char* name : boxes) {
        click(name);
    }
    auto* last = params.findChild<QCheckBox*>("chkVisual");
    EXPECT_TRUE(last->isChecked());
    EXPECT_FALSE(last->isEnabled());
    // Ticking another frees it again.
    click("chkHls");
    EXPECT_TRUE(last->isEnabled());
    click("chkVisual");
    EXPECT_FALSE(last->isChecked());
    EXPECT_FALSE(params.findChild<QCheckBox*>("chkHls")->isEnabled());
}

// What a screen reader hears of a control: its accessible name, and the
// caption the user sees beside it or on it.
QString HeardName(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

QString SeenCaption(QWidget* window, QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w);
        button != nullptr && !button->text().isEmpty()) {
        return CaptionWithoutMarkers(button->text());
    }
    QWidget* row =
        qobject_cast<BTrackBar*>(w) != nullptr || qobject_cast<BNumberEdit*>(w) != nullptr
            ? static_cast<BSliderNText*>(w->parentWidget())->Slider()
            : w;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == row && label->isVisibleTo(window)) {
            return CaptionWithoutMarkers(label->text());
        }
    }
    if (qobject_cast<BColorSelector*>(w) != nullptr) {
        return window->findChild<QComboBox*>("cboVisual")->currentText();
    }
    // A glyph or a code: its hint is its caption.
    return CaptionWithoutMarkers(w->toolTip());
}

void CheckNames(QWidget* window, const std::string& where) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !(w->focusPolicy() & Qt::TabFocus) ||
            w->focusProxy() != nullptr) {
            continue;
        }
        if (auto* list = qobject_cast<QComboBox*>(w)) {
            // On Linux a drop-down list is named by its choice, and its
            // label reaches the screen reader as the list's "labelled by".
            QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(list);
            EXPECT_EQ(heard->text(QAccessible::Name), list->currentText()) << where;
            QStringList labels;
            for (const auto& [other, relation] : heard->relations(QAccessible::Label)) {
                labels.append(other->text(QAccessible::Name));
            }
            EXPECT_TRUE(labels.contains(SeenCaption(window, w)))
                << where << ": " << Named(w) << " labelled by " << labels.join(", ").toStdString();
            continue;
        }
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            // The tabs are named by their captions.
            QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs);
            for (int i = 0; i < tabs->count(); ++i) {
                EXPECT_EQ(bar->child(i)->text(QAccessible::Name),
                          CaptionWithoutMarkers(tabs->tabText(i)))
                    << where;
            }
            continue;
        }
        const QString name = HeardName(w);
        EXPECT_FALSE(name.isEmpty()) << where << ": " << Named(w);
        if (qobject_cast<BContrastSample*>(w) != nullptr) {
            // A contrast sample is heard as its row reads: what it is on,
            // the ratio and the level of normal and of large text.
            const QString row = w->objectName().mid(3);
            for (const QString part : {"", "Ratio", "Normal", "Large"}) {
                const auto* label = window->findChild<QLabel*>("lbl" + row + part);
                ASSERT_NE(label, nullptr) << where << ": " << Named(w);
                QString seen = CaptionWithoutMarkers(label->text());
                seen.remove(QStringLiteral(":1"));
                EXPECT_FALSE(seen.isEmpty()) << where << ": " << Named(w);
                EXPECT_TRUE(name.contains(seen))
                    << where << ": " << Named(w) << " heard as \"" << name.toStdString()
                    << "\" without \"" << seen.toStdString() << '"';
            }
            continue;
        }
        EXPECT_EQ(name, SeenCaption(window, w)) << where << ": " << Named(w);
    }
}

TEST_F(AppTest, ScreenReadersHearANameAndAValueForEveryControl) {
    for (const char* language : kLanguages) {
        InstallData(language);
        TMainForm& form = Start();
        form.show();
        auto* pages = Child<QTabWidget>("pagColorSpace");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QApplication::processEvents();
            CheckNames(&form, std::string(language) + ", page " + std::to_string(page));
        }
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
        EXPECT_EQ(window->role(), QAccessible::Window);
        EXPECT_EQ(window->text(QAccessible::Name), form.windowTitle());
        TParamForm params;
        params.LoadPreferences();
        params.show();
        CheckNames(&params, std::string(language) + ", preferences");
        form_.reset();
    }
    // Values: the sliders, their numbers, the colour field and the preview.
    Write(setting::LocaleFile, "english.txt");
    LoadLanguageFile(Read(setting::LocaleDir), "english.txt");
    TMainForm& form = Start();
    form.show();
    Child<QLineEdit>("edtHtml")->selectAll();
    QTest::keyClicks(Child<QLineEdit>("edtHtml"), "#3366cc");
    auto* green = Slider("bstGrn");
    for (QWidget* part :
         {static_cast<QWidget*>(green->Slider()), static_cast<QWidget*>(green->Editor())}) {
        QAccessibleValueInterface* value =
            QAccessible::queryAccessibleInterface(part)->valueInterface();
        ASSERT_NE(value, nullptr) << Named(part);
        EXPECT_EQ(value->currentValue().toInt(), 0x66) << Named(part);
        EXPECT_EQ(value->minimumValue().toInt(), 0) << Named(part);
        EXPECT_EQ(value->maximumValue().toInt(), 255) << Named(part);
    }
    QAccessibleInterface* number = QAccessible::queryAccessibleInterface(green->Editor());
    EXPECT_EQ(number->role(), QAccessible::SpinBox);
    EXPECT_EQ(number->text(QAccessible::Value), "102");
    number->valueInterface()->setCurrentValue(255);
    EXPECT_EQ(Html(), "#33ffcc");
    QAccessibleInterface* preview =
        QAccessible::queryAccessibleInterface(Child<QWidget>("pnlImage"));
    EXPECT_EQ(preview->role(), QAccessible::Graphic);
    EXPECT_EQ(preview->text(QAccessible::Name), "Color preview");
    EXPECT_EQ(preview->text(QAccessible::Description), "#33ffcc");
    Child<QTabWidget>("pagColorSpace")->setCurrentIndex(TMainForm::PageVisual);
    QAccessibleInterface* field =
        QAccessible::queryAccessibleInterface(Child<QWidget>("VisualColorSelector"));
    EXPECT_EQ(field->text(QAccessible::Value), "#33ffcc");
    EXPECT_EQ(field->text(QAccessible::Description), "#33ffcc");
    EXPECT_EQ(field->text(QAccessible::Name), "Hue/Lightness");
    EXPECT_TRUE(field->state().focusable);
    // The Visual page's track bar is named after the label it shows.
    Choose(Child<QComboBox>("cboVisual"), 2);
    EXPECT_EQ(HeardName(Child<QSlider>("tkbZComponent")), "Hue");
    EXPECT_EQ(field->text(QAccessible::Name), "Lightness/Saturation");
}

} // namespace
} // namespace tintorel
