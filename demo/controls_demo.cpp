// Shows the colour field with its three HLS sliders and a Z slider, wired
// the way the main window wires them, for a person to try out.
#include "colour/color.h"
#include "controls/colorselector.h"
#include "controls/sliderntext.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

using namespace tintorel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Tintorel controls");
    window.setFixedSize(240, 260);

    auto* field = new BColorSelector(&window);
    field->setGeometry(10, 10, 185, 81);
    field->SetNbDivX(64);
    field->SetNbDivY(64);

    const char* names[] = {"Hue", "Lightness", "Saturation"};
    BSliderNText* sliders[3];
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(names[i], &window);
        label->setGeometry(10, 100 + i * 40, 200, 16);
        sliders[i] = new BSliderNText(&window);
        sliders[i]->setGeometry(10, 116 + i * 40, 209, 22);
        sliders[i]->SetTextWidth(20);
        sliders[i]->SetMaxValue(i == 0 ? 360 : 255);
    }
    auto* preview = new QFrame(&window);
    preview->setGeometry(205, 10, 25, 81);
    preview->setAutoFillBackground(true);

    bool guard = false;
    const auto show = [&](PackedColor packed) {
        QPalette palette = preview->palette();
        palette.setColor(QPalette::Window,
                         QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF));
        preview->setPalette(palette);
    };
    QObject::connect(field, &BColorSelector::OnChange, [&](BColorSelector* sender) {
        if (guard) {
            return;
        }
        guard = true;
        BColorHls hls(0, 0, 0);
        hls.FromColor(sender->Color());
        sliders[0]->SetValue(static_cast<int>(hls.Hue() / 360 * 360 + 0.5f));
        sliders[1]->SetValue(static_cast<int>(hls.Lightness() * 255 + 0.5f));
        sliders[2]->SetValue(static_cast<int>(hls.Saturation() * 255 + 0.5f));
        show(sender->Color());
        guard = false;
    });
    for (BSliderNText* slider : sliders) {
        QObject::connect(slider, &BSliderNText::OnChange, [&](BSliderNText*) {
            if (guard) {
                return;
            }
            guard = true;
            const BColorHls hls(sliders[0]->Value() / 360.0f * 360, sliders[1]->Value() / 255.0f,
                                sliders[2]->Value() / 255.0f);
            field->SetColor(hls.ToColor());
            show(hls.ToColor());
            guard = false;
        });
    }
    field->SetColor(BColorHls(200, 0.5f, 0.8f).ToColor());
    window.show();
    return app.exec();
}
