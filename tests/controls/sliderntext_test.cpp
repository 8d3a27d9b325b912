#include "controls/sliderntext.h"
#include "tests/patience.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <gtest/gtest.h>

namespace tintorel {
namespace {

// Records the value at every OnChange.
struct Changes {
    explicit Changes(BSliderNText& control) {
        QObject::connect(&control, &BSliderNText::OnChange,
                         [this](BSliderNText* sender) { values.push_back(sender->Value()); });
    }
    std::vector<int> values;
};

TEST(BSliderNText, StartsAtZeroOfAByteRange) {
    BSliderNText control;
    EXPECT_EQ(control.Value(), 0);
    EXPECT_EQ(control.MinValue(), 0);
    EXPECT_EQ(control.MaxValue(), 255);
    EXPECT_EQ(control.Editor()->text(), "0");
    EXPECT_EQ(control.Slider()->pageStep(), 25);
    EXPECT_TRUE(control.EditorEnabled());
}

TEST(BSliderNText, ProgramWritesRaiseOnChangeByWhatMoved) {
    // GIVEN a control at 0 of 0..255
    BSliderNText control;
    Changes changes(control);
    // WHEN the program moves it, THEN the nested slider notification and the
    // outer call each raise one change
    control.SetValue(100);
    EXPECT_EQ(changes.values, (std::vector<int>{100, 100}));
    EXPECT_EQ(control.Editor()->text(), "100");
    // WHEN the value is already shown, THEN nothing is raised
    control.SetValue(100);
    EXPECT_EQ(changes.values.size(), 2u);
    // WHEN a value is clamped to the one shown, THEN nothing is raised either
    control.SetValue(255);
    changes.values.clear();
    control.SetValue(1000);
    EXPECT_TRUE(changes.values.empty());
    EXPECT_EQ(control.Value(), 255);
}

TEST(BSliderNText, EqualLimitsPassTheValueToThePinnedSlider) {
    BSliderNText control;
    control.SetMaxValue(0);
    Changes changes(control);
    control.SetValue(-5);
    EXPECT_EQ(control.Value(), 0);
    EXPECT_EQ(control.Editor()->text(), "0");
    EXPECT_EQ(changes.values.size(), 1u);
    EXPECT_EQ(control.CheckValue(-5), -5);
}

TEST(BSliderNText, TypedTextIsNormalisedAtEveryKeystroke) {
    const struct {
        const char* typed;
        int max;
        int min;
        const char* shown;
    } cases[] =
        {
            {"12a", 255, 0, "12"},   {"300", 255, 0, "255"}, {"a", 255, 0, "0"},
            {"-", 255, 0, "0"},      {"007", 255, 0, "7"},   {"", 255, 10, "10"},
            {"-40", 100, -50, "40"}, // a lone "-" reads as 0 and is replaced at once
        };
    for (const auto& c : cases) {
        BSliderNText control;
        control.SetMinValue(c.min);
        control.SetMaxValue(c.max);
        control.Editor()->selectAll();
        QTest::keyClick(control.Editor(), Qt::Key_Backspace);
        QTest::keyClicks(control.Editor(), c.typed);
        EXPECT_EQ(control.Editor()->text(), c.shown) << c.typed;
        EXPECT_EQ(control.Value(), control.Editor()->text().toInt()) << c.typed;
    }
}

TEST(BSliderNText, EachTypedChangeRaisesOneOnChange) {
    BSliderNText control;
    control.SetValue(5);
    Changes changes(control);
    control.Editor()->end(false);
    QTest::keyClick(control.Editor(), Qt::Key_0); // "50"
    QTest::keyClick(control.Editor(), Qt::Key_X); // "50x" -> "50", same value
    EXPECT_EQ(changes.values, (std::vector<int>{50}));
}

TEST(BSliderNText, DraggingTheSliderRewritesTheEdit) {
    BSliderNText control;
    Changes changes(control);
    control.Slider()->setValue(77); // as a drag would
    EXPECT_EQ(control.Editor()->text(), "77");
    EXPECT_EQ(changes.values, (std::vector<int>{77}));
}

TEST(BSliderNText, SetRangeKeepsTheProportionToTheMaximum) {
    const struct {
        int start;
        float max;
        int end;
        std::vector<int> raised;
    } cases[] = {
        {255, 100, 100, {100}},        // pushed by the new maximum, then in place
        {128, 100, 50, {100, 50, 50}}, // intermediate 100 before the final 50
        {0, 360, 0, {}},
    };
    for (const auto& c : cases) {
        BSliderNText control;
        control.SetValue(c.start);
        Changes changes(control);
        control.SetRange(0, c.max);
        EXPECT_EQ(control.Value(), c.end) << c.start;
        EXPECT_EQ(changes.values, c.raised) << c.start;
        EXPECT_EQ(control.Slider()->pageStep(), static_cast<int>(c.max) / 10);
    }
    // 128 of 255 becomes 50 of 100, which becomes 127 of 255: precision is lost.
    BSliderNText control;
    control.SetValue(128);
    control.SetRange(0, 100);
    control.SetRange(0, 255);
    EXPECT_EQ(control.Value(), 127);
}

TEST(BSliderNText, SetRangeFromAZeroMaximumStartsAtTheMinimum) {
    BSliderNText control;
    control.SetMaxValue(0);
    control.SetRange(10, 100);
    EXPECT_EQ(control.Value(), 10);
    EXPECT_EQ(control.MinValue(), 10);
    EXPECT_EQ(control.MaxValue(), 100);
}

TEST(BSliderNText, MinimumAboveMaximumIsStoredButIgnoredByTheSlider) {
    BSliderNText control;
    control.SetValue(100);
    control.SetMinValue(300);
    EXPECT_EQ(control.MinValue(), 300);
    EXPECT_EQ(control.Slider()->minimum(), 0);
    EXPECT_EQ(control.CheckValue(100), 300);
    EXPECT_EQ(control.Value(), 255); // the slider pins what it cannot show
}

TEST(BSliderNText, LayoutSharesTheWidthByTextWidth) {
    const struct {
        int width;
        int textWidth;
        int sliderWidth;
        int editLeft;
        int editWidth;
    } cases[] = {
        {209, 20, 167, 168, 41},
        {209, 0, 209, 209, 0},
        {209, 100, 0, 0, 209},
        {100, 33, 67, 67, 33},
    };
    for (const auto& c : cases) {
        BSliderNText control;
        control.resize(c.width, 40);
        control.SetTextWidth(c.textWidth);
        // The slider as high as the style draws it, centred on the row.
        const QRect slider = control.Slider()->geometry();
        EXPECT_EQ(slider.left(), 0) << c.textWidth;
        EXPECT_EQ(slider.width(), c.sliderWidth) << c.textWidth;
        EXPECT_EQ(slider.height(), std::min(40, control.Slider()->sizeHint().height()));
        EXPECT_LE(std::abs(slider.center().y() - 20), 1) << slider.y();
        EXPECT_EQ(control.Editor()->width(), c.editWidth) << c.textWidth;
        EXPECT_EQ(control.Editor()->geometry().right() + 1, c.width) << c.textWidth;
    }
}

// A layout gives the control room for its widest number and for the
// slider, each in its share of the width, under any font.
TEST(BSliderNText, SizeHintShowsTheWidestNumberWhole) {
    const struct {
        int max;
        int points;
    } cases[] = {{255, 9}, {360, 9}, {100000, 9}, {255, 16}, {2147483647, 13}};
    for (const auto& c : cases) {
        BSliderNText control;
        QFont font = control.font();
        font.setPointSize(c.points);
        control.setFont(font);
        control.SetTextWidth(20);
        control.SetMaxValue(c.max);
        control.SetValue(c.max);
        control.resize(control.sizeHint());
        control.show();
        QLineEdit* edit = control.Editor();
        // The number fits inside the edit's frame and margins.
        const int text = edit->fontMetrics().horizontalAdvance(edit->text());
        EXPECT_LE(text + 4, edit->contentsRect().width()) << c.max << " at " << c.points;
        EXPECT_GE(control.Slider()->width(), control.Slider()->sizeHint().width()) << c.max;
        EXPECT_GE(control.height(), edit->sizeHint().height()) << c.max << " at " << c.points;
    }
}

TEST(BSliderNText, HeightIsRaisedToTheMinimum) {
    BSliderNText control;
    const int own = QFontMetrics(control.font()).height();
    const int system = QFontMetrics(QApplication::font()).height();
    EXPECT_EQ(control.GetMinHeight(), own + std::min(own, system) / 4 + 4 + 2);
    control.show();
    control.resize(209, 3);
    EXPECT_EQ(control.height(), control.GetMinHeight());
    control.resize(209, 60);
    EXPECT_EQ(control.height(), 60);
}

// Two rows as the main window has them: Tab visits each slider and each
// number once, never the frame around them.
TEST(BSliderNText, TabVisitsTheSliderAndTheNumberOnly) {
    QWidget window;
    BSliderNText first(&window);
    BSliderNText second(&window);
    first.setGeometry(0, 0, 209, 22);
    second.setGeometry(0, 30, 209, 22);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, kPatienceMs));
    first.setFocus();
    const QWidget* expected[] = {first.Slider(), first.Editor(), second.Slider(), second.Editor(),
                                 first.Slider()};
    for (const QWidget* widget : expected) {
        EXPECT_EQ(QApplication::focusWidget(), widget);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

TEST(BSliderNText, KeysStepByOneAndByThePage) {
    BSliderNText control;
    control.resize(209, 22);
    Changes changes(control);
    const struct {
        QWidget* target;
        Qt::Key key;
        int expected;
    } cases[] = {
        {control.Slider(), Qt::Key_Right, 1},    {control.Slider(), Qt::Key_Right, 2},
        {control.Slider(), Qt::Key_Left, 1},     {control.Slider(), Qt::Key_PageUp, 26},
        {control.Slider(), Qt::Key_PageDown, 1}, {control.Editor(), Qt::Key_Up, 2},
        {control.Editor(), Qt::Key_Down, 1},     {control.Editor(), Qt::Key_Down, 0},
        {control.Editor(), Qt::Key_Down, 0}, // clamped at the minimum
    };
    for (const auto& c : cases) {
        QTest::keyClick(c.target, c.key);
        EXPECT_EQ(control.Value(), c.expected) << c.key;
        EXPECT_EQ(control.Editor()->text(), QString::number(c.expected)) << c.key;
    }
    EXPECT_FALSE(changes.values.empty());
    EXPECT_EQ(changes.values.back(), 0);
}

// A paste is taken whole when it is a whole number on the scale, and
// refused otherwise: the number and the value stay, and nothing is sent.
TEST(BSliderNText, PastesAreTakenWholeOrRefused) {
    const struct {
        const char* pasted;
        int value; // after the paste, from 40
    } cases[] = {
        {"12", 12},   {" 200 ", 200}, {"255", 255}, {"0", 0}, {"12.5", 40}, {"1e2", 40},
        {"0x10", 40}, {"256", 40},    {"-1", 40},   {"", 40}, {"12a", 40},  {"99999999999", 40},
    };
    for (const auto& c : cases) {
        BSliderNText control;
        control.resize(209, 22);
        control.SetValue(40);
        Changes changes(control);
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        control.Editor()->selectAll();
        QTest::keyClick(control.Editor(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(control.Value(), c.value) << c.pasted;
        EXPECT_EQ(control.Editor()->text(), QString::number(c.value)) << c.pasted;
        EXPECT_EQ(changes.values.size(), c.value != 40 ? 1u : 0u) << c.pasted;
    }
}

// The focused slider is drawn differently from an unfocused one.
TEST(BSliderNText, FocusedSliderShowsAMark) {
    QWidget window;
    BSliderNText control(&window);
    control.setGeometry(0, 0, 209, 22);
    QLineEdit other(&window);
    other.setGeometry(0, 30, 50, 20);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, kPatienceMs));
    other.setFocus();
    const QImage unfocused = control.Slider()->grab().toImage();
    control.setFocus(); // through the proxy
    ASSERT_EQ(QApplication::focusWidget(), control.Slider());
    const QImage focused = control.Slider()->grab().toImage();
    EXPECT_NE(focused, unfocused);
}

TEST(BSliderNText, KeyFilterOfTheControlItself) {
    BSliderNText control;
    const QChar decimal = QLocale().decimalPoint().front();
    const struct {
        QChar key;
        bool enabled;
        bool disabled;
    } cases[] = {
        {u'5', true, false},       {u'+', true, false},     {u'-', true, false},
        {decimal, true, false},    {u'a', false, false},    {u' ', false, false},
        {QChar(13), false, false}, {QChar(8), true, false}, {QChar(9), true, true},
        {QChar(27), true, true},
    };
    for (const auto& c : cases) {
        control.SetEditorEnabled(true);
        EXPECT_EQ(control.IsValidChar(c.key), c.enabled) << static_cast<int>(c.key.unicode());
        control.SetEditorEnabled(false);
        EXPECT_EQ(control.IsValidChar(c.key), c.disabled) << static_cast<int>(c.key.unicode());
    }
}

} // namespace
} // namespace tintorel
