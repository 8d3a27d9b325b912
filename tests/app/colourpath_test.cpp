// The current colour changes only through an edit the user made, and every
// form shows the same colour at every moment: each way of editing, followed
// by each way of merely looking (a page, a plane, an order, a list file, a
// scale, hidden pages), driven by the keys and clicks a user makes.
#include "apptest.h"
#include "tests/patience.h"

#include "colour/colorcodes.h"
#include "colourlist/colorname.h"
#include "colourlist/colorsort.h"
#include "controls/codeedit.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMenu>
#include <QToolButton>
#include <QToolTip>

#include <functional>
#include <random>

namespace tintorel {
namespace {

class ColourPathTest : public AppTest {
protected:
    static QRgb Shown(PackedColor packed) {
        return qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    }
    static float Byte(PackedColor packed, int shift) {
        return static_cast<float>(((packed >> shift) & 0xFF) / 255.0);
    }
    // Every form shows `packed`: the colour itself, both codes, the
    // preview, and the RGB sliders where that page is up at byte scale.
    void ExpectEveryForm(PackedColor packed, const std::string& step) const {
        SCOPED_TRACE(step);
        ASSERT_NE(form_->CurrentColor(), nullptr);
        EXPECT_EQ(form_->CurrentColor()->ToColor(), packed);
        const float r = Byte(packed, 0), g = Byte(packed, 8), b = Byte(packed, 16);
        EXPECT_EQ(Html().toStdString(), HtmlCode(r, g, b));
        EXPECT_EQ(Vb().toStdString(), VisualBasicCode(r, g, b));
        EXPECT_EQ(Preview(), Shown(packed));
        if (form_->ActivePage() == TMainForm::PageRgb && Slider("bstRed")->MaxValue() == 255) {
            EXPECT_EQ(Slider("bstRed")->Value(), static_cast<int>(packed & 0xFF));
            EXPECT_EQ(Slider("bstGrn")->Value(), static_cast<int>((packed >> 8) & 0xFF));
            EXPECT_EQ(Slider("bstBlu")->Value(), static_cast<int>((packed >> 16) & 0xFF));
        }
    }
    // After a paste into `pasted`: the colour is `packed`, shown by the
    // other code field and the preview.
    void ExpectColourAndOtherField(PackedColor packed, const std::string& pasted) const {
        EXPECT_EQ(form_->CurrentColor()->ToColor(), packed);
        EXPECT_EQ(Preview(), Shown(packed));
        // A marked text in the other field is the user's, kept until the
        // colour changes.
        const float r = Byte(packed, 0), g = Byte(packed, 8), b = Byte(packed, 16);
        if (pasted == "edtHtml" && Child<BCodeEdit>("edtVisualBasic")->Accepted()) {
            EXPECT_EQ(Vb().toStdString(), VisualBasicCode(r, g, b));
        } else if (pasted != "edtHtml" && Child<BCodeEdit>("edtHtml")->Accepted()) {
            EXPECT_EQ(Html().toStdString(), HtmlCode(r, g, b));
        }
    }
    // A page chosen as a user does: Ctrl+Tab until it is up.
    void GoToPage(int page) {
        auto* pages = Child<QTabWidget>("pagColorSpace");
        for (int step = 0; step < pages->count() && pages->currentIndex() != page; ++step) {
            QTest::keyClick(form_.get(), Qt::Key_Tab, Qt::ControlModifier);
        }
        ASSERT_EQ(pages->currentIndex(), page);
    }
    void Type(const char* field, const QString& text) {
        auto* edit = Child<QLineEdit>(field);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    // The row of the name list that is shown selected, or "".
    QString ShownName() const {
        const QModelIndexList rows = Child<QListView>("lstName")->selectionModel()->selectedRows();
        return rows.isEmpty() ? QString() : rows.front().data().toString();
    }
    static std::string NearestName(PackedColor packed) {
        BColorName nearest("");
        nearest.FromColor(packed);
        return nearest.Name();
    }
};

// GIVEN a colour the user typed WHEN the Name page is shown, left again,
// and the focus passes through the name list THEN the colour stays, and
// the list shows the nearest name.
TEST_F(ColourPathTest, AGlanceAtTheNamePageKeepsTheColour) {
    InstallData("english.txt", "web.txt");
    TMainForm& form = Start();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    Type("edtHtml", "#3366cc");
    ExpectEveryForm(0xCC6633, "typed");
    GoToPage(TMainForm::PageName);
    ExpectEveryForm(0xCC6633, "the Name page shown");
    EXPECT_EQ(ShownName().toStdString(), NearestName(0xCC6633));
    // Tab from the sort order into the list, and on out of it: no key
    // chose a row.
    auto* sorts = Child<QComboBox>("cboName");
    sorts->setFocus();
    QTest::keyClick(sorts, Qt::Key_Tab);
    ASSERT_TRUE(Child<QListView>("lstName")->hasFocus());
    QTest::keyClick(Child<QListView>("lstName"), Qt::Key_Tab);
    ExpectEveryForm(0xCC6633, "tabbed through the list");
    // Typed while the Name page is up: one answer in every form.
    Type("edtHtml", "#fe01a0");
    ExpectEveryForm(0xA001FE, "typed on the Name page");
    EXPECT_EQ(ShownName().toStdString(), NearestName(0xA001FE));
    GoToPage(TMainForm::PageRgb);
    ExpectEveryForm(0xA001FE, "back on the RGB page");
}

// Choosing a row is an edit: a click, the arrow keys, and Enter on the row
// that shows the nearest name each make that name the colour.
TEST_F(ColourPathTest, ChoosingANameSetsIt) {
    InstallData();
    TMainForm& form = Start();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    Type("edtHtml", "#fa0af0");
    GoToPage(TMainForm::PageName);
    auto* list = Child<QListView>("lstName");
    ASSERT_EQ(ShownName(), "Process magenta");
    ExpectEveryForm(0xF00AFA, "shown, not taken");

    // Enter on the row shown takes it.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    const PackedColor magenta = BColorName("Process magenta").ToColor();
    ExpectEveryForm(magenta, "Enter");

    // A click on another row.
    const QModelIndex fourth = list->model()->index(3, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(fourth).center());
    const std::string clicked = fourth.data().toString().toStdString();
    ExpectEveryForm(BColorName(clicked).ToColor(), "a click");
    EXPECT_EQ(dynamic_cast<const BColorName*>(form.CurrentColor())->Name(), clicked);

    // The next row with the arrow key.
    QTest::keyClick(list, Qt::Key_Down);
    const std::string next = list->model()->index(4, 0).data().toString().toStdString();
    ExpectEveryForm(BColorName(next).ToColor(), "Down");
    EXPECT_EQ(ShownName().toStdString(), next);
}

// The table: for random colours, each way of editing followed by each way
// of looking leaves one colour in every form, and closing saves it.
TEST_F(ColourPathTest, ViewsNeverChangeTheColour) {
    InstallData("english.txt", "web.txt");
    TMainForm& form = Start();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));

    struct Edit {
        const char* name;
        std::function<void(PackedColor)> apply; // makes the colour `packed`
    };
    const auto hex = [](PackedColor packed, const char* pattern) {
        return QString::asprintf(pattern, packed & 0xFF, (packed >> 8) & 0xFF,
                                 (packed >> 16) & 0xFF);
    };
    const Edit edits[] = {
        {"web code", [&](PackedColor c) { Type("edtHtml", hex(c, "#%02x%02x%02x")); }},
        {"Visual Basic code",
         [&](PackedColor c) {
             Type("edtVisualBasic", QString::asprintf("&H%x", static_cast<unsigned>(c & 0xFFFFFF)));
         }},
        {"RGB numbers",
         [&](PackedColor c) {
             GoToPage(TMainForm::PageRgb);
             Child<QRadioButton>("rdbRgbByte")->click();
             const char* boxes[] = {"bstRed", "bstGrn", "bstBlu"};
             for (int i = 0; i < 3; ++i) {
                 Slider(boxes[i])->SetValue(static_cast<int>((c >> (8 * i)) & 0xFF));
             }
         }},
    };
    struct View {
        const char* name;
        std::function<void()> look;
    };
    const View views[] = {
        {"every page",
         [&] {
             for (int page = 0; page < 7; ++page) {
                 GoToPage(page);
             }
         }},
        {"every plane, down and up again",
         [&] {
             GoToPage(TMainForm::PageVisual);
             auto* planes = Child<QComboBox>("cboVisual");
             for (const int plane : {1, 2, 1, 0, 2, 0}) {
                 Choose(planes, plane);
             }
         }},
        {"every order",
         [&] {
             GoToPage(TMainForm::PageName);
             auto* sorts = Child<QComboBox>("cboName");
             for (int order = 0; order < sorts->count(); ++order) {
                 Choose(sorts, order);
             }
         }},
        {"every list file",
         [&] {
             GoToPage(TMainForm::PageName);
             auto* files = Child<QComboBox>("cboFile");
             for (int file = files->count() - 1; file >= 0; --file) {
                 Choose(files, file);
             }
         }},
        {"every scale",
         [&] {
             for (const char* radio :
                  {"rdbRgbPercent", "rdbRgbByte", "rdbHlsByte", "rdbHlsDegreePercent",
                   "rdbHsvPercent", "rdbHsvDegreeByte", "rdbCmyPercent", "rdbCmyByte",
                   "rdbCmykPercent", "rdbCmykByte", "rdbHlsDegreeByte"}) {
                 QTest::mouseClick(Child<QRadioButton>(radio), Qt::LeftButton);
             }
         }},
        {"the active page hidden and shown again",
         [&] {
             GoToPage(TMainForm::PageHls);
             for (const bool shown : {false, true}) {
                 QTimer::singleShot(0, [this, shown] {
                     params_.findChild<QCheckBox*>("chkHls")->setChecked(shown);
                     params_.findChild<QPushButton*>("btnOk")->click();
                 });
                 QTest::mouseClick(Child<QToolButton>("btnPref"), Qt::LeftButton);
             }
             // The keys go to the main window again once it is active.
             form_->activateWindow();
             EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get(), kPatienceMs));
         }},
    };

    std::mt19937 random(30);
    std::uniform_int_distribution<PackedColor> colours(0, 0xFFFFFF);
    PackedColor last = 0;
    for (const Edit& edit : edits) {
        for (const View& view : views) {
            // Two colours each, and two the drift reports named.
            for (const PackedColor colour :
                 {colours(random), colours(random), PackedColor{0xCC6633}, PackedColor{0xA001FE}}) {
                const std::string step = std::string(edit.name) + ", then " + view.name + ", " +
                                         hex(colour, "#%02x%02x%02x").toStdString();
                SCOPED_TRACE(step);
                edit.apply(colour);
                ExpectEveryForm(colour, step + ": the edit");
                view.look();
                ExpectEveryForm(colour, step);
                GoToPage(TMainForm::PageRgb);
                ExpectEveryForm(colour, step + ", back on RGB");
                last = colour;
            }
        }
    }
    Close();
    EXPECT_EQ(BColorRgb(ReadRed(), ReadGreen(), ReadBlue()).ToColor(), last);
}

} // namespace
} // namespace tintorel

namespace tintorel {
namespace {

// Texts pasted into each code field: a colour is taken whole (the web code
// takes what style sheets write too, and notes an alpha it leaves out or a
// colour it brought into sRGB); anything else stays as pasted, framed in
// the error colour and described to screen readers, and the colour stays.
TEST_F(ColourPathTest, PastedCodesAreTakenWholeOrMarked) {
    InstallData();
    TMainForm& form = Start();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    const struct {
        const char* field;
        const char* pasted;
        bool taken;
        PackedColor colour; // when taken
        const char* note = "";
    } cases[] = {
        {"edtHtml", "#3366cc", true, 0xCC6633},
        {"edtHtml", " #123456 ", true, 0x563412},
        {"edtHtml", "a0b1c2", true, 0xC2B1A0},
        {"edtHtml", "#ABC", true, 0xCCBBAA},
        {"edtHtml", "#12345678", true, 0x563412, "Shown without its transparency (alpha 47%)."},
        {"edtHtml", "0x123456", false, 0},
        {"edtHtml", "rgb(1,2,3)", true, 0x030201},
        {"edtHtml", "oklch(62.796% 0.25768 29.234)", true, 0x0000FF},
        {"edtHtml", "Teal", true, 0x808000},
        {"edtHtml", "color(display-p3 1 0 0 / 0.5)", true, 0x0C0BFF,
         "Beyond sRGB: brought to the nearest color the screen shows.\n"
         "Shown without its transparency (alpha 50%)."},
        {"edtHtml", "rgb(1,2,3", false, 0},
        {"edtHtml", "#3366cc tealish", false, 0},
        {"edtVisualBasic", "&H1000000", false, 0},
        {"edtVisualBasic", "&H80000005", false, 0},
        {"edtVisualBasic", "&hccbbaa", true, 0xCCBBAA},
        {"edtVisualBasic", "&HFF&", true, 0x0000FF},
        {"edtVisualBasic", "#112233", false, 0},
        {"edtVisualBasic", "red", false, 0},
    };
    PackedColor colour = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- " + c.pasted);
        auto* edit = Child<BCodeEdit>(c.field);
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.pasted)); // whole, never cut
        if (c.taken) {
            colour = c.colour;
        }
        ExpectColourAndOtherField(colour, c.field);
        EXPECT_EQ(edit->Accepted(), c.taken);
        // For the eye: the field's border in the error colour, read back
        // from its picture; for the ear: a description of what it takes.
        const QImage picture = edit->grab().toImage();
        EXPECT_EQ(picture.pixelColor(1, picture.height() / 2) == edit->ErrorColour(), !c.taken);
        const QString description =
            QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Description);
        EXPECT_EQ(description.startsWith("Not a color"), !c.taken) << description.toStdString();
        const QString note = QString::fromLatin1(c.note);
        // A note shown at once goes once it no longer holds (Qt takes a
        // tooltip down a moment after it is told to).
        if (note.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, kPatienceMs));
        } else if (QToolTip::isVisible()) {
            EXPECT_EQ(QToolTip::text(), note);
        }
        if (!note.isEmpty()) {
            EXPECT_EQ(description, note);
            EXPECT_EQ(edit->toolTip(), note);
        } else if (c.taken) {
            EXPECT_FALSE(description.contains("alpha") || description.contains("sRGB"))
                << description.toStdString();
        }
    }
    // The colour written into a marked field clears its mark.
    Slider("bstRed")->SetValue(9);
    EXPECT_TRUE(Child<BCodeEdit>("edtVisualBasic")->Accepted());
}

// The code fields' menu, opened from the keyboard: the field's own edit
// entries, and the current colour to copy in each notation, each entry
// showing what it copies.
TEST_F(ColourPathTest, TheCodeMenuCopiesTheColourInEachNotation) {
    InstallData();
    TMainForm& form = Start();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    auto* html = Child<BCodeEdit>("edtHtml");
    html->setFocus();
    QTest::keyClick(html, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(html, "#3366cc");
    const QStringList copies{"#3366cc", "rgb(51 102 204)", "hsl(220 60% 50%)",
                             "oklch(53.248% 0.16787 262.293)", "&Hcc6633"};
    for (const char* field : {"edtHtml", "edtVisualBasic"}) {
        auto* edit = Child<BCodeEdit>(field);
        // The window is active again once the menu before has closed.
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
        edit->setFocus();
        ASSERT_TRUE(edit->hasFocus()) << field;
        QStringList copied, shown;
        bool editEntries = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            editEntries = !menu->actions().isEmpty() && menu->actions().size() > 6;
            auto* copyAs = menu->findChild<QMenu*>("mnuCopyAs");
            ASSERT_NE(copyAs, nullptr);
            EXPECT_EQ(copyAs->title(), "Cop&y as");
            for (QAction* action : copyAs->actions()) {
                shown << action->text();
                action->trigger();
                copied << QGuiApplication::clipboard()->text();
            }
            menu->close();
        });
        QTest::keyClick(edit, Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_TRUE(editEntries) << field;
        EXPECT_EQ(copied, copies) << field;
        QStringList escaped = copies;
        escaped.replaceInStrings("&", "&&");
        EXPECT_EQ(shown, escaped) << field;
    }
}

} // namespace
} // namespace tintorel
