// What a screen reader is told beyond each control's own name and value:
// the colour after an edit whose control does not say it, the page after a
// shortcut, each once, as a notification that appears (screen readers
// speak those wherever the focus is; the screen-reader test hears them
// through the desktop's accessibility bus).
#include "apptest.h"
#include "tests/patience.h"

#include "controls/announcer.h"
#include "controls/colorselector.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"

#include <QAccessible>
#include <QSlider>
#include <QTabBar>
#include <QToolButton>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace tintorel {
namespace {

class SpeechTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        InstallData("english.txt", "web.txt");
        Start();
        form_->show();
        QApplication::setActiveWindow(form_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get(), kPatienceMs));
        connect_ = QObject::connect(Child<BAnnouncer>("announcer"), &BAnnouncer::Announced,
                                    [this](const QString& text) { heard_.push_back(text); });
    }

    // What was said, once nothing waits to be said; cleared for the next step.
    std::vector<QString> Said() {
        auto* announcer = Child<BAnnouncer>("announcer");
        EXPECT_TRUE(QTest::qWaitFor([&] { return !announcer->Settling(); }, kPatienceMs));
        std::vector<QString> said;
        said.swap(heard_);
        return said;
    }
    using Texts = std::vector<QString>;

    std::vector<QString> heard_;
    QMetaObject::Connection connect_;
};

TEST_F(SpeechTest, TheAnnouncerIsANotificationNeverSeen) {
    auto* announcer = Child<BAnnouncer>("announcer");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(announcer)->role(), QAccessible::Notification);
    EXPECT_FALSE(announcer->isVisible());
    EXPECT_EQ(announcer->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(Said(), Texts{}); // nothing at the start
}

// A code typed a letter at a time is said once, as the colour it ends as
// ("#336" on the way is a colour too), with the nearest name; a text that
// is not a colour says nothing.
TEST_F(SpeechTest, ATypedCodeIsSaidOnceItSettles) {
    auto* html = Child<QLineEdit>("edtHtml");
    html->setFocus();
    html->selectAll();
    QTest::keyClicks(html, "#4169e1");
    EXPECT_EQ(Said(), Texts{"#4169e1, royalblue"});
    html->selectAll();
    QTest::keyClicks(html, "#41");
    EXPECT_EQ(Said(), Texts{});
    auto* vb = Child<QLineEdit>("edtVisualBasic");
    vb->setFocus();
    vb->selectAll();
    QTest::keyClicks(vb, "&H0000FF");
    EXPECT_EQ(Said(), Texts{"#ff0000, red"});
}

// The colour field's keys, a chosen name and the pipette's stop say the
// colour; a slider says its own value, and a view change says nothing.
TEST_F(SpeechTest, EditsWhoseControlDoesNotSayTheColour) {
    Child<QTabWidget>("pagColorSpace")->setCurrentIndex(TMainForm::PageVisual);
    Said(); // the page shown by the program, not by a shortcut
    auto* field = Child<BColorSelector>("VisualColorSelector");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_PageDown);
    QTest::keyClick(field, Qt::Key_PageDown);
    // Two steps down from black: lightness 16/64.
    EXPECT_EQ(Said(), Texts{"#404040, darkslategray"});
    // A view change: another plane.
    Choose(Child<QComboBox>("cboVisual"), 2);
    EXPECT_EQ(Said(), Texts{});

    Child<QTabWidget>("pagColorSpace")->setCurrentIndex(TMainForm::PageName);
    Said();
    auto* list = Child<QListView>("lstName");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    const QString second = list->model()->index(1, 0).data().toString();
    EXPECT_EQ(Said(), Texts{Html() + ", " + second});

    Child<QTabWidget>("pagColorSpace")->setCurrentIndex(TMainForm::PageRgb);
    Said();
    auto* red = Slider("bstRed")->Slider();
    red->setFocus();
    QTest::keyClick(red, Qt::Key_Right);
    EXPECT_EQ(Said(), Texts{});

    auto* pipette = Child<QToolButton>("btnCapture");
    QTest::mouseClick(pipette, Qt::LeftButton);
    ASSERT_TRUE(form_->PipetteRunning());
    Tick();
    Tick();
    EXPECT_EQ(Said(), Texts{});
    QTest::mouseClick(pipette, Qt::LeftButton);
    EXPECT_EQ(Said(), Texts{"#ffffff, white"}); // the test's screen is white
}

// On the OKLCH page a slider says its own value; that the colour left
// sRGB is said as the page's mark appears, once.
TEST_F(SpeechTest, AColourBroughtIntoSrgbIsSaid) {
    auto* html = Child<QLineEdit>("edtHtml");
    html->setFocus();
    html->selectAll();
    QTest::keyClicks(html, "#ff0000");
    Child<QTabWidget>("pagColorSpace")->setCurrentIndex(TMainForm::PageOklch);
    Said();
    QLineEdit* chroma = Slider("bstOkChroma")->Editor();
    chroma->setFocus();
    chroma->selectAll();
    QTest::keyClicks(chroma, "90");
    EXPECT_EQ(Said(), Texts{"Brought into sRGB"});
    QTest::keyClick(chroma, Qt::Key_Up); // still beyond: nothing more
    EXPECT_EQ(Slider("bstOkChroma")->Value(), 91);
    EXPECT_EQ(Said(), Texts{});
    chroma->selectAll();
    QTest::keyClicks(chroma, "50");
    EXPECT_EQ(Said(), Texts{});
}

// A shortcut that shows another page says the page, wherever the focus
// is; on the tab bar, the bar says it itself.
TEST_F(SpeechTest, APageShownByAShortcutIsSaid) {
    auto* pages = Child<QTabWidget>("pagColorSpace");
    auto* html = Child<QLineEdit>("edtHtml");
    html->setFocus();
    for (int step = 1; step < pages->count(); ++step) {
        QTest::keyClick(html, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(Said(), Texts{CaptionWithoutMarkers(pages->tabText(step))}) << step;
    }
    QTest::keyClick(html, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(Said(), Texts{CaptionWithoutMarkers(pages->tabText(0))});
    pages->tabBar()->setFocus();
    QTest::keyClick(pages->tabBar(), Qt::Key_Right);
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_EQ(Said(), Texts{});
}

} // namespace
} // namespace tintorel
