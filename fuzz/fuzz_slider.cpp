// Typing into a slider's number: whatever the limits and the text, the
// edit ends up showing the slider's position, within the limits.
#include "controls/sliderntext.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>

namespace {

QApplication& Application() {
    static int argc = 1;
    static char name[] = "fuzz_slider";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Application();
    if (size < 8) {
        return 0;
    }
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::memcpy(&min, data, 4);
    std::memcpy(&max, data + 4, 4);
    tintorel::BSliderNText slider;
    slider.SetMinValue(min);
    slider.SetMaxValue(max);
    slider.SetRange(static_cast<float>(min), static_cast<float>(max));
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data + 8),
                                            static_cast<qsizetype>(size - 8));
    slider.Editor()->setText(typed);
    slider.Editor()->insert(typed.left(3));
    if (slider.Editor()->text() != QString::number(slider.Value())) {
        std::abort();
    }
    const int lo = slider.Slider()->minimum();
    const int hi = slider.Slider()->maximum();
    if (slider.Value() < lo || slider.Value() > hi) {
        std::abort();
    }
    return 0;
}
