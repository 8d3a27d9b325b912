// The current colour and the synchronisation of every place that shows it:
// reading the active page, writing it back, page changes, range modes, the
// Visual page and the two colour codes.
#include "app/guard.h"
#include "app/mainform.h"
#include "app/previewimage.h"
#include "app/sliderpages.h"
#include "colour/colorcodes.h"
#include "colour/csscolour.h"
#include "colourlist/colorfile.h"
#include "colourlist/colorname.h"
#include "colourlist/colorsort.h"
#include "controls/announcer.h"
#include "controls/codeedit.h"
#include "controls/colorselector.h"
#include "controls/radio.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"
#include "log/log.h"
#include "settings/params.h"
#include "util/utilnumber.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <QStringListModel>

#include <algorithm>
#include <array>
#include <typeinfo>

namespace tintorel {

namespace {

// A slider's value as a fraction of its maximum.
float Fraction(const BSliderNText* slider) {
    return static_cast<float>(static_cast<double>(slider->Value()) / slider->MaxValue());
}

// A component shown on a slider: ⌊x × M / scale + 0.5⌋ (scale 360 for a hue,
// else 1), a half rounding up however close below it the float lies.
int Scaled(float component, float scale, const BSliderNText* slider) {
    return RoundShown(static_cast<double>(component) * slider->MaxValue() / scale);
}

template <class Colour> const Colour* Exactly(const BColor* colour) {
    return colour != nullptr && typeid(*colour) == typeid(Colour)
               ? static_cast<const Colour*>(colour)
               : nullptr;
}

} // namespace

const TMainForm::SliderPageWidgets* TMainForm::ActiveSliderPage() const {
    for (const SliderPageWidgets& page : sliderPages_) {
        if (page.entry->page == ActivePage()) {
            return &page;
        }
    }
    return nullptr;
}

std::unique_ptr<BColor> TMainForm::ColourForPage(int page, float red, float green,
                                                 float blue) const {
    std::unique_ptr<BColor> colour;
    if (page == PageRgb) {
        return std::make_unique<BColorRgb>(red, green, blue);
    }
    if (const SliderPageEntry* entry = SliderPage(page)) {
        const std::array<float, 4> zero{};
        colour = entry->make(zero);
    } else if (page == PageVisual) {
        colour = std::make_unique<BColorHls>(0.f, 0.f, 0.f);
    } else if (page == PageName) {
        // The page shows the nearest name beside the colour; the colour
        // stays what it is until the user chooses a name.
        return std::make_unique<BColorRgb>(red, green, blue);
    } else {
        return nullptr;
    }
    colour->FromRgb(red, green, blue);
    return colour;
}

std::unique_ptr<BColor> TMainForm::ColourForPage(int page, PackedColor packed) const {
    BColorRgb bytes(0, 0, 0);
    bytes.FromColor(packed);
    return ColourForPage(page, bytes.Red(), bytes.Green(), bytes.Blue());
}

void TMainForm::ShowColour(std::unique_ptr<BColor> colour, Edited edited) {
    if (!colour) {
        return;
    }
    currentColor_ = std::move(colour);
    ShowCurrentColour(edited);
}

void TMainForm::ShowCurrentColour(Edited edited) {
    if (edited != Edited::Panel) {
        UpdatePanel();
    }
    UpdatePreview();
    UpdateOklchPage();
    if (edited != Edited::Html) {
        UpdateHtmlCode();
    }
    if (edited != Edited::VisualBasic) {
        UpdateVisualBasicCode();
    }
    // The colour a code, the colour field or a chosen name led to is said;
    // a slider and its number say their own values, the pipette says its
    // colour once it stops.
    const bool saidElsewhere =
        edited == Edited::Nothing ||
        (edited == Edited::Panel && ActivePage() != PageVisual && ActivePage() != PageName);
    if (!saidElsewhere) {
        announcer_->Announce(ColourSpoken());
    }
}

QString TMainForm::ColourSpoken() const {
    if (!currentColor_) {
        return {};
    }
    float red = 0, green = 0, blue = 0;
    currentColor_->ToRgb(red, green, blue);
    QString spoken = QString::fromStdString(html_.format(red, green, blue));
    const int nearest = FindNearestColor(red, green, blue);
    if (nearest >= 0 && static_cast<std::size_t>(nearest) < ColorList().size()) {
        spoken += QStringLiteral(", ") + DisplayText(ColorList()[nearest].Name);
    }
    return spoken;
}

void TMainForm::ReadPanel() {
    std::unique_ptr<BColor> next;
    try {
        if (const SliderPageWidgets* page = ActiveSliderPage()) {
            std::array<float, 4> components{};
            for (std::size_t i = 0; i < page->sliders.size(); ++i) {
                components[i] = Fraction(page->sliders[i]) * page->entry->rows[i].scale;
            }
            next = page->entry->make(components);
        } else if (ActivePage() == PageVisual) {
            auto hls = std::make_unique<BColorHls>(0.f, 0.f, 0.f);
            hls->FromColor(VisualColorSelector->Color());
            next = std::move(hls);
        } else if (ActivePage() == PageName) {
            // The chosen row's own bytes: a row shows entry `row` of the
            // list. Without a chosen row the colour stays.
            const QModelIndexList chosen = lstName->selectionModel()->selectedRows();
            const int row = chosen.isEmpty() ? -1 : chosen.front().row();
            if (row >= 0 && static_cast<std::size_t>(row) < ColorList().size()) {
                next =
                    std::make_unique<BColorName>(ColorList()[static_cast<std::size_t>(row)].Name);
            }
        }
    } catch (const std::bad_alloc&) {
        next.reset(); // the previous colour stays
    }
    ShowColour(std::move(next), Edited::Panel);
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
    if (const SliderPageWidgets* page = ActiveSliderPage()) {
        std::array<float, 4> components{};
        if (page->entry->read(*colour, components)) {
            for (std::size_t i = 0; i < page->sliders.size(); ++i) {
                page->sliders[i]->SetValue(
                    Scaled(components[i], page->entry->rows[i].scale, page->sliders[i]));
            }
        }
    } else if (ActivePage() == PageVisual) {
        if (const auto* c = Exactly<BColorHls>(colour)) {
            VisualColorSelector->update();
            VisualColorSelector->SetColor(c->ToColor());
            switch (cboVisual->currentIndex()) {
            case 0:
                tkbZComponent->setValue(TruncShown(c->Saturation() * 255.0));
                break;
            case 1:
                tkbZComponent->setValue(TruncShown(c->Lightness() * 255.0));
                break;
            case 2:
                tkbZComponent->setValue(TruncShown(c->Hue() / 360.0 * 255.0));
                break;
            default:
                break;
            }
        }
    } else if (ActivePage() == PageName) {
        SelectCurrentName();
    }
}

void TMainForm::UpdatePreview() {
    if (!currentColor_) {
        return;
    }
    const PackedColor packed = currentColor_->ToColor();
    const QColor shown(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    pnlImage->Canvas().fill(shown);
    pnlImage->update();
    // What a screen reader says of the preview: the colour it shows.
    pnlImage->setAccessibleDescription(shown.name());
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
    UpdateOklchPage();
}

void TMainForm::PanelEdit() {
    if (!PanelSyncEnabled) {
        return;
    }
    const GuardClosed closed(PanelSyncEnabled);
    ReadPanel();
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
}

void TMainForm::VisualSortChanged() {
    // A view change: the plane and the Z slider show the colour, which
    // stays as it is (the Z slider's whole steps must not be read back).
    const QScopedValueRollback quiet(PanelSyncEnabled, false);
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
    tkbZComponent->setValue(TruncShown(z * 255.0));
    for (QLabel* label : {lblZHue, lblZLight, lblZSat}) {
        label->setVisible(label == shown);
    }
    NameVisualControls();
}

void TMainForm::RangeClick(int index, int mode) {
    if (!RangeClicksEnabled) {
        return;
    }
    for (const SliderPageWidgets& page : sliderPages_) {
        if (page.entry->page != index || mode < 0 ||
            static_cast<std::size_t>(mode) >= page.entry->modes.size()) {
            continue;
        }
        {
            const GuardClosed closed(PanelSyncEnabled);
            for (std::size_t i = 0; i < page.sliders.size(); ++i) {
                page.sliders[i]->SetRange(
                    0, static_cast<float>(
                           page.entry->modes[static_cast<std::size_t>(mode)].maxima[i]));
            }
        }
        UpdatePanel();
        UpdateOklchPage();
        return;
    }
}

void TMainForm::ApplyRanges() {
    const GuardClosed closed(RangeClicksEnabled);
    for (const SliderPageWidgets& page : sliderPages_) {
        // Any positive maximum is a scale the user may have chosen by hand
        // (0..200, say) and is kept; only one that would divide by zero or
        // run the slider backwards takes the slider's default.
        std::vector<int> maxima = Read(*page.entry->range);
        for (std::size_t i = 0; i < maxima.size(); ++i) {
            if (maxima[i] <= 0) {
                maxima[i] = page.entry->range->fallback[i];
            }
            page.sliders[i]->SetRange(0, static_cast<float>(maxima[i]));
        }
        // The button whose maxima are the stored ones, or none at all.
        for (std::size_t mode = 0; mode < page.modes.size(); ++mode) {
            const std::array<int, 4>& modeMaxima = page.entry->modes[mode].maxima;
            SetRadioChecked(page.modes[mode],
                            std::equal(maxima.begin(), maxima.end(), modeMaxima.begin()));
        }
    }
}

void TMainForm::SaveRanges() {
    for (const SliderPageWidgets& page : sliderPages_) {
        std::vector<int> maxima;
        for (const BSliderNText* slider : page.sliders) {
            maxima.push_back(slider->MaxValue());
        }
        Write(*page.entry->range, maxima);
    }
}

// Codes

void TMainForm::UpdateCode(CodeField& field) {
    if (!field.syncEnabled) {
        return;
    }
    const GuardClosed closed(field.syncEnabled);
    if (currentColor_) {
        float r = 0, g = 0, b = 0;
        currentColor_->ToRgb(r, g, b);
        field.edit->setText(QString::fromStdString(field.format(r, g, b)));
        field.edit->SetAccepted(true);
    }
}

void TMainForm::CodeChanged(CodeField& field) {
    if (!field.syncEnabled) {
        return;
    }
    const GuardClosed closed(field.syncEnabled);
    ParseCode(field);
}

void TMainForm::ParseCode(CodeField& field) {
    ByteRgb read;
    // A text that is not a colour stays as typed, marked; the colour stays.
    const std::string text = CodeFieldBytes(field.edit->text());
    bool accepted = field.parse(text, read);
    QString note;
    if (!accepted && &field == &html_) {
        // The web code also takes whatever colour a style sheet writes; it
        // notes an alpha it leaves out and a colour it brought into sRGB.
        if (const std::optional<CssColour> css = ParseCssColour(text)) {
            const auto byte = [](double c) { return RoundShown(c * 255.0); };
            read = {byte(css->srgb[0]), byte(css->srgb[1]), byte(css->srgb[2])};
            accepted = true;
            QStringList notes;
            if (css->mapped) {
                notes << mappedNote_;
            }
            if (css->alpha < 1.0) {
                notes << QString(alphaNote_)
                             .replace(QStringLiteral("%1"),
                                      QString::number(RoundShown(css->alpha * 100.0)) + u'%');
            }
            note = notes.join(u'\n');
        }
    }
    field.edit->SetNote(note);
    field.edit->SetAccepted(accepted);
    if (currentColor_ && accepted) {
        ShowColour(ColourForPage(ActivePage(), static_cast<float>(read.red / 255.0),
                                 static_cast<float>(read.green / 255.0),
                                 static_cast<float>(read.blue / 255.0)),
                   &field == &html_ ? Edited::Html : Edited::VisualBasic);
    }
}

void TMainForm::ShowCodeMenu(BCodeEdit* edit, const QPoint& at) {
    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    if (currentColor_) {
        float r = 0, g = 0, b = 0;
        currentColor_->ToRgb(r, g, b);
        const Rgb srgb{r, g, b};
        menu->addSeparator();
        QMenu* copy = menu->addMenu(copyAs_);
        copy->setObjectName(QStringLiteral("mnuCopyAs"));
        QStringList texts;
        for (const CssForm form : {CssForm::Hex, CssForm::Rgb, CssForm::Hsl, CssForm::Oklch}) {
            texts << QString::fromStdString(CssText(srgb, form));
        }
        texts << QString::fromStdString(VisualBasicCode(r, g, b));
        for (const QString& text : texts) {
            // Each entry shows what it copies; a menu takes "&" as a marker.
            QAction* action = copy->addAction(QString(text).replace(u'&', QStringLiteral("&&")));
            connect(action, &QAction::triggered, this,
                    [text] { QGuiApplication::clipboard()->setText(text); });
        }
    }
    menu->exec(edit->mapToGlobal(at));
}

} // namespace tintorel
