// The OKLCH page's own parts: tracks that show which values of each slider
// stay inside sRGB, the mark of a colour brought into it, and the contrast
// of the colour shown with white, with black and with a colour the user
// keeps, with the levels of the web's accessibility guidelines it reaches.
#include "app/mainform.h"

#include "app/sliderpages.h"
#include "colour/oklab.h"
#include "controls/announcer.h"
#include "controls/contrastsample.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"
#include "settings/params.h"
#include "util/utilnumber.h"

#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tintorel {

namespace {

Rgb RgbOf(PackedColor colour) {
    return {(colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
            ((colour >> 16) & 0xFF) / 255.0};
}

QColor QColorOf(PackedColor colour) {
    return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

QString CodeOf(PackedColor colour) {
    return QColorOf(colour).name();
}

// The most samples a track takes: a slider of a hand-edited range of a
// million steps is drawn from a thousand.
constexpr int kMostTrackSamples = 1001;

// A slider's track: for each sample, the colour the slider's value there
// makes with the other two components as they are, or transparent where
// that colour lies beyond sRGB; and the runs of values that stay inside.
struct GamutTrack {
    QImage strip;
    std::vector<std::pair<int, int>> inside;
};

// The sample at the slider's own position is the colour itself: a colour
// on the edge of sRGB, whose neighbours on the slider's steps lie beyond,
// shows inside where the handle is.
GamutTrack TrackOf(const Oklch& colour, std::size_t component, int maximum, double scale,
                   int position) {
    GamutTrack track;
    const int samples = std::clamp(maximum, 1, kMostTrackSamples - 1) + 1;
    track.strip = QImage(samples, 1, QImage::Format_ARGB32);
    for (int k = 0; k < samples; ++k) {
        // The value this sample stands for, in the slider's steps.
        const int value = static_cast<int>(static_cast<long long>(k) * maximum / (samples - 1));
        Oklch at = colour;
        double* const parts[] = {&at.l, &at.c, &at.h};
        if (value != position) {
            *parts[component] = static_cast<double>(value) / maximum * scale;
        }
        const Rgb srgb = SrgbFromOklch(at);
        if (!WithinHalfByteOfSrgb(srgb)) {
            track.strip.setPixel(k, 0, qRgba(0, 0, 0, 0));
            continue;
        }
        const auto byte = [](double c) { return std::clamp(RoundShown(c * 255.0), 0, 255); };
        track.strip.setPixel(k, 0, qRgb(byte(srgb[0]), byte(srgb[1]), byte(srgb[2])));
        if (!track.inside.empty() && track.inside.back().second == k - 1) {
            track.inside.back().second = k;
        } else {
            track.inside.emplace_back(k, k);
        }
    }
    // The runs in the slider's own steps.
    for (auto& [first, last] : track.inside) {
        first = static_cast<int>(static_cast<long long>(first) * maximum / (samples - 1));
        last = static_cast<int>(static_cast<long long>(last) * maximum / (samples - 1));
    }
    return track;
}

struct ContrastRowNames {
    const char* key; // of the caption
    const char* sample;
    const char* caption;
    const char* ratio;
    const char* normal;
    const char* large;
};
constexpr ContrastRowNames kContrastRows[] = {
    {"MainContrastWhite", "smpWhite", "lblWhite", "lblWhiteRatio", "lblWhiteNormal",
     "lblWhiteLarge"},
    {"MainContrastBlack", "smpBlack", "lblBlack", "lblBlackRatio", "lblBlackNormal",
     "lblBlackLarge"},
    {"MainContrastKept", "smpKept", "lblKept", "lblKeptRatio", "lblKeptNormal", "lblKeptLarge"},
};

} // namespace

void TMainForm::BuildOklchRows(QWidget* tab, QGridLayout* grid, int& row) {
    // The mark keeps its place when hidden: nothing moves as the colour
    // crosses the edge of sRGB. It goes beside the scales below.
    lblOkMapped =
        Shows("MainOklchMapped", TextRole::Caption, Named(new QLabel(tab), "lblOkMapped"));
    Holds("MainOklchInside", insideSrgb_);
    Holds("MainOklchNowhere", nowhereInSrgb_);
    Holds("MainOklchRange", valueRange_);
    QSizePolicy keepPlace = lblOkMapped->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblOkMapped->setSizePolicy(keepPlace);
    lblOkMapped->hide();

    // A table under its heading: the sample, what it is on, the ratio, and
    // the level reached by normal and by large text.
    auto* table = new QGridLayout;
    lblContrast = Shows("MainContrast", TextRole::Caption, Named(new QLabel(tab), "lblContrast"));
    lblContrastNormal =
        Shows("MainContrastNormal", TextRole::Caption, Named(new QLabel(tab), "lblContrastNormal"));
    lblContrastLarge =
        Shows("MainContrastLarge", TextRole::Caption, Named(new QLabel(tab), "lblContrastLarge"));
    Holds("MainContrastFails", fails_);
    Holds("MainContrastSpoken", contrastSpoken_);
    table->addWidget(lblContrast, 0, 0, 1, 3);
    table->addWidget(lblContrastNormal, 0, 3);
    table->addWidget(lblContrastLarge, 0, 4);
    for (std::size_t i = 0; i < contrast_.size(); ++i) {
        const ContrastRowNames& names = kContrastRows[i];
        ContrastRow& line = contrast_[i];
        const int at = static_cast<int>(i) + 1;
        line.sample = Named(new BContrastSample(tab), names.sample);
        line.caption = Shows(names.key, TextRole::Caption, Named(new QLabel(tab), names.caption));
        line.ratio = Named(new QLabel(tab), names.ratio);
        line.normal = Named(new QLabel(tab), names.normal);
        line.large = Named(new QLabel(tab), names.large);
        line.ratio->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->addWidget(line.sample, at, 0);
        table->addWidget(line.caption, at, 1);
        table->addWidget(line.ratio, at, 2);
        table->addWidget(line.normal, at, 3);
        table->addWidget(line.large, at, 4);
    }
    btnKeep = Shows("MainContrastKeep", TextRole::Caption, Named(new QPushButton(tab), "btnKeep"));
    table->addWidget(btnKeep, 3, 5);
    table->setColumnStretch(1, 1);
    table->setVerticalSpacing(0);
    connect(btnKeep, &QPushButton::clicked, this, [this] {
        if (currentColor_) {
            KeepColour(currentColor_->ToColor());
        }
    });
    grid->addLayout(table, row++, 0, 1, 2);
}

void TMainForm::KeepColour(PackedColor colour) {
    kept_ = colour & 0xFFFFFFu;
    UpdateOklchPage();
}

void TMainForm::UpdateOklchPage() {
    if (!currentColor_ || ActivePage() != PageOklch) {
        return;
    }
    // The tracks and the mark, from the page's own colour.
    for (const SliderPageWidgets& page : sliderPages_) {
        std::array<float, 4> components{};
        if (page.entry->page != PageOklch || !page.entry->read(*currentColor_, components)) {
            continue;
        }
        const Oklch colour{components[0], components[1], components[2]};
        for (std::size_t i = 0; i < page.sliders.size(); ++i) {
            BSliderNText* slider = page.sliders[i];
            const GamutTrack track = TrackOf(colour, i, std::max(1, slider->MaxValue()),
                                             page.entry->rows[i].scale, slider->Value());
            slider->Slider()->SetTrack(track.strip);
            QStringList runs;
            for (const auto& [first, last] : track.inside) {
                runs << QString(valueRange_)
                            .replace(QStringLiteral("%1"), QString::number(first))
                            .replace(QStringLiteral("%2"), QString::number(last));
            }
            const QString inside = runs.isEmpty() ? nowhereInSrgb_
                                                  : QString(insideSrgb_)
                                                        .replace(QStringLiteral("%1"),
                                                                 runs.join(QStringLiteral(", ")));
            for (QWidget* part :
                 {static_cast<QWidget*>(slider), static_cast<QWidget*>(slider->Slider()),
                  static_cast<QWidget*>(slider->Editor())}) {
                if (part->accessibleDescription() != inside) {
                    part->setAccessibleDescription(inside);
                }
            }
        }
    }
    const auto* oklch = dynamic_cast<const BColorOklch*>(currentColor_.get());
    const bool mapped = oklch != nullptr && oklch->Mapped();
    // A slider says its value, not that the colour left sRGB: the mark is
    // said as it appears.
    if (mapped && lblOkMapped->isHidden()) {
        announcer_->Announce(CaptionWithoutMarkers(lblOkMapped->text()));
    }
    lblOkMapped->setVisible(mapped);

    // The contrast of the colour the screen shows.
    const PackedColor shown = currentColor_->ToColor();
    const PackedColor backgrounds[] = {0xFFFFFFu, 0x000000u, kept_};
    for (std::size_t i = 0; i < contrast_.size(); ++i) {
        const ContrastRow& line = contrast_[i];
        const double ratio = ContrastRatio(RgbOf(shown), RgbOf(backgrounds[i]));
        const ContrastVerdict verdict = JudgeContrast(ratio);
        const QString normal = verdict.aaaNormal  ? QStringLiteral("AAA")
                               : verdict.aaNormal ? QStringLiteral("AA")
                                                  : fails_;
        const QString large = verdict.aaaLarge  ? QStringLiteral("AAA")
                              : verdict.aaLarge ? QStringLiteral("AA")
                                                : fails_;
        line.sample->SetColours(QColorOf(shown), QColorOf(backgrounds[i]));
        line.ratio->setText(QString::fromStdString(ContrastRatioText(ratio)) +
                            QStringLiteral(":1"));
        line.normal->setText(normal);
        line.large->setText(large);
        QString against = CaptionWithoutMarkers(line.caption->text());
        if (i == 2) {
            // The kept colour is named by its code, also under the pointer.
            against += u' ' + CodeOf(kept_);
            line.sample->setToolTip(CodeOf(kept_));
        }
        line.sample->setAccessibleName(
            QString(contrastSpoken_)
                .replace(QStringLiteral("%1"), against)
                .replace(QStringLiteral("%2"), QString::fromStdString(ContrastRatioText(ratio)))
                .replace(QStringLiteral("%3"), normal)
                .replace(QStringLiteral("%4"), large));
    }
}

} // namespace tintorel
