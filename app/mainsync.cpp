// The current colour and the synchronisation of every place that shows it:
// reading the active page, writing it back, page changes, range modes, the
// Visual page and the two colour codes.
#include "app/guard.h"
#include "app/mainform.h"
#include "app/previewimage.h"
#include "colour/colorcodes.h"
#include "colourlist/colorfile.h"
#include "colourlist/colorname.h"
#include "controls/colorselector.h"
#include "controls/radio.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"
#include "log/log.h"
#include "settings/params.h"
#include "util/utilnumber.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSlider>
#include <QStringListModel>

#include <array>
#include <typeinfo>

namespace tintorel {

namespace {

// A slider's value as a fraction of its maximum.
float Fraction(const BSliderNText* slider) {
    return static_cast<float>(static_cast<double>(slider->Value()) / slider->MaxValue());
}

// A component shown on a slider: ⌊x × M + 0.5⌋.
int Scaled(float component, const BSliderNText* slider) {
    return TruncToInt(static_cast<double>(component) * slider->MaxValue() + 0.5);
}

template <class Colour> const Colour* Exactly(const BColor* colour) {
    return colour != nullptr && typeid(*colour) == typeid(Colour)
               ? static_cast<const Colour*>(colour)
               : nullptr;
}

} // namespace

std::unique_ptr<BColor> TMainForm::ColourForPage(int page, float red, float green,
                                                 float blue) const {
    std::unique_ptr<BColor> colour;
    switch (page) {
    case PageRgb:
        return std::make_unique<BColorRgb>(red, green, blue);
    case PageHls:
    case PageVisual:
        colour = std::make_unique<BColorHls>(0.f, 0.f, 0.f);
        break;
    case PageHsv:
        colour = std::make_unique<BColorHsv>(0.f, 0.f, 0.f);
        break;
    case PageCmy:
        colour = std::make_unique<BColorCmy>(0.f, 0.f, 0.f);
        break;
    case PageCmyk:
        colour = std::make_unique<BColorCmyk>(0.f, 0.f, 0.f, 0.f);
        break;
    case PageName:
        colour = std::make_unique<BColorName>("black");
        break;
    default:
        return nullptr;
    }
    colour->FromRgb(red, green, blue);
    return colour;
}

void TMainForm::ReadPanel() {
    std::unique_ptr<BColor> next;
    try {
        switch (ActivePage()) {
        case PageRgb:
            next =
                std::make_unique<BColorRgb>(Fraction(bstRed), Fraction(bstGrn), Fraction(bstBlu));
            break;
        case PageHls:
            next = std::make_unique<BColorHls>(Fraction(bstHue) * 360.0f, Fraction(bstLit),
                                               Fraction(bstSat));
            break;
        case PageHsv:
            next = std::make_unique<BColorHsv>(Fraction(bstHue2) * 360.0f, Fraction(bstSat2),
                                               Fraction(bstVal2));
            break;
        case PageCmy:
            next =
                std::make_unique<BColorCmy>(Fraction(bstCya), Fraction(bstMag), Fraction(bstYel));
            break;
        case PageCmyk:
            next = std::make_unique<BColorCmyk>(Fraction(bstCya2), Fraction(bstMag2),
                                                Fraction(bstYel2), Fraction(bstBlk2));
            break;
        case PageVisual: {
            auto hls = std::make_unique<BColorHls>(0.f, 0.f, 0.f);
            hls->FromColor(VisualColorSelector->Color());
            next = std::move(hls);
            break;
        }
        case PageName: {
            // The row's own bytes: a row shows entry `row` of the list.
            const int row = lstName->currentIndex().isValid() &&
                                    lstName->selectionModel()->isSelected(lstName->currentIndex())
                                ? lstName->currentIndex().row()
                                : -1;
            std::string name;
            if (row >= 0 && static_cast<std::size_t>(row) < ColorList().size()) {
                name = ColorList()[static_cast<std::size_t>(row)].Name;
            }
            next = std::make_unique<BColorName>(name);
            break;
        }
        default:
            break;
        }
    } catch (const std::bad_alloc&) {
        next.reset(); // the previous colour stays
    }
    if (next) {
        currentColor_ = std::move(next);
    }
    UpdatePreview();
}

void TMainForm::UpdatePanel() {
    if (!PanelSyncEnabled) {
        return;
    }
    const GuardClosed closed(PanelSyncEnabled);
    const BColor* colour = currentColor_.get();
    if (colour == nullptr) {
        return;
    }
    // Only a colour of exactly the page's class is written; no conversion.
    switch (ActivePage()) {
    case PageRgb:
        if (const auto* c = Exactly<BColorRgb>(colour)) {
            bstRed->SetValue(Scaled(c->Red(), bstRed));
            bstGrn->SetValue(Scaled(c->Green(), bstGrn));
            bstBlu->SetValue(Scaled(c->Blue(), bstBlu));
        }
        break;
    case PageHls:
        if (const auto* c = Exactly<BColorHls>(colour)) {
            bstHue->SetValue(
                TruncToInt(static_cast<double>(c->Hue()) * bstHue->MaxValue() / 360.0 + 0.5));
            bstSat->SetValue(Scaled(c->Saturation(), bstSat));
            bstLit->SetValue(Scaled(c->Lightness(), bstLit));
        }
        break;
    case PageHsv:
        if (const auto* c = Exactly<BColorHsv>(colour)) {
            bstHue2->SetValue(
                TruncToInt(static_cast<double>(c->Hue()) * bstHue2->MaxValue() / 360.0 + 0.5));
            bstSat2->SetValue(Scaled(c->Saturation(), bstSat2));
            bstVal2->SetValue(Scaled(c->Value(), bstVal2));
        }
        break;
    case PageCmy:
        if (const auto* c = Exactly<BColorCmy>(colour)) {
            bstCya->SetValue(Scaled(c->Cyan(), bstCya));
            bstMag->SetValue(Scaled(c->Magenta(), bstMag));
            bstYel->SetValue(Scaled(c->Yellow(), bstYel));
        }
        break;
    case PageCmyk:
        if (const auto* c = Exactly<BColorCmyk>(colour)) {
            bstCya2->SetValue(Scaled(c->Cyan(), bstCya2));
            bstMag2->SetValue(Scaled(c->Magenta(), bstMag2));
            bstYel2->SetValue(Scaled(c->Yellow(), bstYel2));
            bstBlk2->SetValue(Scaled(c->Black(), bstBlk2));
        }
        break;
    case PageVisual:
        if (const auto* c = Exactly<BColorHls>(colour)) {
            VisualColorSelector->update();
            VisualColorSelector->SetColor(c->ToColor());
            switch (cboVisual->currentIndex()) {
            case 0:
                tkbZComponent->setValue(TruncToInt(c->Saturation() * 255.0));
                break;
            case 1:
                tkbZComponent->setValue(TruncToInt(c->Lightness() * 255.0));
                break;
            case 2:
                tkbZComponent->setValue(TruncToInt(c->Hue() / 360.0 * 255.0));
                break;
            default:
                break;
            }
        }
        break;
    case PageName:
        SelectCurrentName();
        break;
    default:
        break;
    }
}

void TMainForm::UpdatePreview() {
    if (!currentColor_) {
        return;
    }
    const PackedColor packed = currentColor_->ToColor();
    pnlImage->Canvas().fill(QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF));
    pnlImage->update();
}

void TMainForm::PageControlChanged() {
    const TraceScope trace("TMainForm::PageControlChanged");
    const int page = ActivePage();
    if (currentColor_ && page >= PageRgb && page <= PageName) {
        float red = 0;
        float green = 0;
        float blue = 0;
        currentColor_->ToRgb(red, green, blue);
        currentColor_.reset();
        try {
            currentColor_ = ColourForPage(page, red, green, blue);
        } catch (const std::bad_alloc&) {
            currentColor_.reset();
        }
    }
    UpdatePanel();
}

void TMainForm::PanelEdit() {
    if (!PanelSyncEnabled) {
        return;
    }
    const GuardClosed closed(PanelSyncEnabled);
    ReadPanel();
    UpdateHtmlCode();
    UpdateVisualBasicCode();
}

void TMainForm::RgbChanged() {
    PanelEdit();
}
void TMainForm::HlsChanged() {
    PanelEdit();
}
void TMainForm::HsvChanged() {
    PanelEdit();
}
void TMainForm::CmyChanged() {
    PanelEdit();
}
void TMainForm::CmykChanged() {
    PanelEdit();
}
void TMainForm::ColorSelectorChanged() {
    PanelEdit();
}

void TMainForm::ZComponentChanged() {
    if (!PanelSyncEnabled) {
        return;
    }
    const GuardClosed closed(PanelSyncEnabled);
    VisualColorSelector->SetZValue(static_cast<float>(tkbZComponent->value() * (1.0 / 255.0)));
    ReadPanel();
    UpdateHtmlCode();
    UpdateVisualBasicCode();
}

void TMainForm::VisualSortChanged() {
    BColorHls hls(0, 0, 0);
    hls.FromColor(VisualColorSelector->Color());
    float z = 0;
    QLabel* shown = nullptr;
    switch (cboVisual->currentIndex()) {
    case 0:
        VisualColorSelector->SetSpace(HLS);
        VisualColorSelector->SetXComponent(Component1);
        VisualColorSelector->SetYComponent(Component2);
        z = hls.Saturation();
        shown = lblZSat;
        break;
    case 1:
        VisualColorSelector->SetSpace(HLS);
        VisualColorSelector->SetXComponent(Component1);
        VisualColorSelector->SetYComponent(Component3);
        z = hls.Lightness();
        shown = lblZLight;
        break;
    case 2:
        VisualColorSelector->SetSpace(HLS);
        VisualColorSelector->SetXComponent(Component2);
        VisualColorSelector->SetYComponent(Component3);
        z = static_cast<float>(hls.Hue() / 360.0);
        shown = lblZHue;
        break;
    default:
        return;
    }
    tkbZComponent->setValue(TruncToInt(z * 255.0));
    for (QLabel* label : {lblZHue, lblZLight, lblZSat}) {
        label->setVisible(label == shown);
    }
}

void TMainForm::BuildRangePanels() {
    const std::vector<int> bytes{255, 255, 255};
    const std::vector<int> percent{100, 100, 100};
    const std::vector<int> degreeBytes{360, 255, 255};
    const std::vector<int> degreePercent{360, 100, 100};
    const auto threeOf = [](void (*read)(int&, int&, int&)) {
        return [read] {
            std::vector<int> v(3);
            read(v[0], v[1], v[2]);
            return v;
        };
    };
    const auto writeThree = [](void (*write)(int, int, int)) {
        return [write](const std::vector<int>& v) { write(v[0], v[1], v[2]); };
    };
    rangePanels_ = {
        {{bstRed, bstGrn, bstBlu},
         bytes,
         {{rdbRgbByte, bytes}, {rdbRgbPercent, percent}},
         threeOf(ReadRgbRange),
         writeThree(WriteRgbRange)},
        {{bstHue, bstLit, bstSat},
         degreeBytes,
         {{rdbHlsByte, bytes},
          {rdbHlsPercent, percent},
          {rdbHlsDegreeByte, degreeBytes},
          {rdbHlsDegreePercent, degreePercent}},
         threeOf(ReadHlsRange),
         writeThree(WriteHlsRange)},
        {{bstHue2, bstSat2, bstVal2},
         degreeBytes,
         {{rdbHsvByte, bytes},
          {rdbHsvPercent, percent},
          {rdbHsvDegreeByte, degreeBytes},
          {rdbHsvDegreePercent, degreePercent}},
         threeOf(ReadHsvRange),
         writeThree(WriteHsvRange)},
        {{bstCya, bstMag, bstYel},
         bytes,
         {{rdbCmyByte, bytes}, {rdbCmyPercent, percent}},
         threeOf(ReadCmyRange),
         writeThree(WriteCmyRange)},
        {{bstCya2, bstMag2, bstYel2, bstBlk2},
         std::vector<int>(4, 255),
         {{rdbCmykByte, std::vector<int>(4, 255)}, {rdbCmykPercent, std::vector<int>(4, 100)}},
         [] {
             std::vector<int> v(4);
             ReadCmykRange(v[0], v[1], v[2], v[3]);
             return v;
         },
         [](const std::vector<int>& v) { WriteCmykRange(v[0], v[1], v[2], v[3]); }},
    };
}

void TMainForm::RangeClick(const QRadioButton* button) {
    if (!RangeClicksEnabled) {
        return;
    }
    for (const RangePanel& panel : rangePanels_) {
        for (const auto& [radio, maxima] : panel.modes) {
            if (radio != button) {
                continue;
            }
            {
                const GuardClosed closed(PanelSyncEnabled);
                for (std::size_t i = 0; i < panel.sliders.size(); ++i) {
                    panel.sliders[i]->SetRange(0, static_cast<float>(maxima[i]));
                }
            }
            UpdatePanel();
            return;
        }
    }
}

void TMainForm::rdbRgbByteClick() {
    RangeClick(rdbRgbByte);
}
void TMainForm::rdbRgbPercentClick() {
    RangeClick(rdbRgbPercent);
}
void TMainForm::rdbHlsByteClick() {
    RangeClick(rdbHlsByte);
}
void TMainForm::rdbHlsPercentClick() {
    RangeClick(rdbHlsPercent);
}
void TMainForm::rdbHlsDegreeByteClick() {
    RangeClick(rdbHlsDegreeByte);
}
void TMainForm::rdbHlsDegreePercentClick() {
    RangeClick(rdbHlsDegreePercent);
}
void TMainForm::rdbHsvByteClick() {
    RangeClick(rdbHsvByte);
}
void TMainForm::rdbHsvPercentClick() {
    RangeClick(rdbHsvPercent);
}
void TMainForm::rdbHsvDegreeByteClick() {
    RangeClick(rdbHsvDegreeByte);
}
void TMainForm::rdbHsvDegreePercentClick() {
    RangeClick(rdbHsvDegreePercent);
}
void TMainForm::rdbCmyByteClick() {
    RangeClick(rdbCmyByte);
}
void TMainForm::rdbCmyPercentClick() {
    RangeClick(rdbCmyPercent);
}
void TMainForm::rdbCmykByteClick() {
    RangeClick(rdbCmykByte);
}
void TMainForm::rdbCmykPercentClick() {
    RangeClick(rdbCmykPercent);
}

void TMainForm::ApplyRanges() {
    RangeClicksEnabled = false;
    for (const RangePanel& panel : rangePanels_) {
        // Any positive maximum is a scale the user may have chosen by hand
        // (0..200, say) and is kept; only one that would divide by zero or
        // run the slider backwards takes the slider's default.
        std::vector<int> maxima = panel.read();
        for (std::size_t i = 0; i < maxima.size(); ++i) {
            if (maxima[i] <= 0) {
                maxima[i] = panel.defaults[i];
            }
            panel.sliders[i]->SetRange(0, static_cast<float>(maxima[i]));
        }
        // The button whose maxima are the stored ones, or none at all.
        for (const auto& [radio, modeMaxima] : panel.modes) {
            SetRadioChecked(radio, modeMaxima == maxima);
        }
    }
    RangeClicksEnabled = true;
}

void TMainForm::SaveRanges() {
    for (const RangePanel& panel : rangePanels_) {
        std::vector<int> maxima;
        for (const BSliderNText* slider : panel.sliders) {
            maxima.push_back(slider->MaxValue());
        }
        panel.write(maxima);
    }
}

// Codes

void TMainForm::UpdateHtmlCode() {
    if (!HtmlSyncEnabled) {
        return;
    }
    const GuardClosed closed(HtmlSyncEnabled);
    if (currentColor_) {
        float r = 0, g = 0, b = 0;
        currentColor_->ToRgb(r, g, b);
        edtHtml->setText(QString::fromStdString(HtmlCode(r, g, b)));
    }
}

void TMainForm::UpdateVisualBasicCode() {
    if (!VisualBasicSyncEnabled) {
        return;
    }
    const GuardClosed closed(VisualBasicSyncEnabled);
    if (currentColor_) {
        float r = 0, g = 0, b = 0;
        currentColor_->ToRgb(r, g, b);
        edtVisualBasic->setText(QString::fromStdString(VisualBasicCode(r, g, b)));
    }
}

void TMainForm::HtmlChanged() {
    if (!HtmlSyncEnabled) {
        return;
    }
    const GuardClosed closed(HtmlSyncEnabled);
    ParseHtmlCode();
    UpdatePanel();
    UpdateVisualBasicCode();
}

void TMainForm::VisualBasicChanged() {
    if (!VisualBasicSyncEnabled) {
        return;
    }
    const GuardClosed closed(VisualBasicSyncEnabled);
    ParseVisualBasicCode();
    UpdatePanel();
    UpdateHtmlCode();
}

void TMainForm::ParseHtmlCode() {
    ByteRgb read;
    if (currentColor_ && tintorel::ParseHtmlCode(CodeFieldBytes(edtHtml->text()), read)) {
        currentColor_->FromRgb(static_cast<float>(read.red / 255.0),
                               static_cast<float>(read.green / 255.0),
                               static_cast<float>(read.blue / 255.0));
    }
    UpdatePreview();
}

void TMainForm::ParseVisualBasicCode() {
    ByteRgb read;
    if (currentColor_ &&
        tintorel::ParseVisualBasicCode(CodeFieldBytes(edtVisualBasic->text()), read)) {
        currentColor_->FromRgb(static_cast<float>(read.red / 255.0),
                               static_cast<float>(read.green / 255.0),
                               static_cast<float>(read.blue / 255.0));
    }
    UpdatePreview();
}

} // namespace tintorel
