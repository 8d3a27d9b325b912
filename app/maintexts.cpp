// The main window's texts from the language table, key by key in the fixed
// order, with the two drop-down lists rebuilt from their item keys.
#include "app/mainform.h"

#include "app/previewimage.h"
#include "app/sliderpages.h"
#include "controls/codeedit.h"
#include "controls/colorselector.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"
#include "locale/language.h"
#include "locale/texttables.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include <functional>
#include <map>
#include <string>

namespace tintorel {

void TMainForm::ApplyMainTexts() {
    using Apply = std::function<void(const QString&)>;
    const auto caption = [](QLabel* label) -> Apply {
        return [label](const QString& text) { label->setText(text); };
    };
    const auto button = [](QAbstractButton* b) -> Apply {
        return [b](const QString& text) { b->setText(text); };
    };
    // A control without a caption of its own (a glyph, a code, the
    // preview) shows its text as a hint and is named by it.
    const auto hint = [](QWidget* w) -> Apply {
        return [w](const QString& text) {
            w->setToolTip(text);
            w->setAccessibleName(CaptionWithoutMarkers(text));
        };
    };
    const auto tab = [this](int page) -> Apply {
        return [this, page](const QString& text) { pagColorSpace->setTabText(page, text); };
    };
    // Each list remembers its selection before its sheet's first key, is
    // cleared after its label key, takes its items, and gets the selection
    // back after the last item. None of this raises a user event.
    int visualIndex = -1;
    int nameIndex = -1;
    const auto item = [](QComboBox* list) -> Apply {
        return [list](const QString& text) { list->addItem(text); };
    };

    std::map<std::string, Apply> apply = {
        {"MainTitle", [this](const QString& text) { setWindowTitle(text); }},
        {"MainOk", button(cmdOk)},
        {"MainCancel", button(cmdCancel)},
        {"MainHtml", hint(edtHtml)},
        {"MainVb", hint(edtVisualBasic)},
        {"MainPipette",
         [&, this](const QString& text) {
             pipetteHint_ = text;
             hint(btnCapture)(text);
         }},
        {"MainPrefs", hint(btnPref)},
        {"MainPreview", hint(pnlImage)},
        {"MainVisualTab",
         [&, this](const QString& text) {
             visualIndex = cboVisual->currentIndex();
             pagColorSpace->setTabText(PageVisual, text);
         }},
        {"MainVisualXY",
         [&, this](const QString& text) {
             lblXAndY->setText(text);
             cboVisual->clear();
         }},
        {"MainVisualXY1", item(cboVisual)},
        {"MainVisualXY2", item(cboVisual)},
        {"MainVisualXY3",
         [&, this](const QString& text) {
             cboVisual->addItem(text);
             cboVisual->setCurrentIndex(visualIndex);
         }},
        {"MainVisualHue", caption(lblZHue)},
        {"MainVisualLightness", caption(lblZLight)},
        {"MainVisualSaturation", caption(lblZSat)},
        {"MainNameTab",
         [&, this](const QString& text) {
             nameIndex = cboName->currentIndex();
             pagColorSpace->setTabText(PageName, text);
         }},
        {"MainNameFile", caption(lblFile)},
        {"MainNameSort",
         [&, this](const QString& text) {
             lblSort->setText(text);
             cboName->clear();
         }},
        {"MainNameSort1", item(cboName)},
        {"MainNameSort2", item(cboName)},
        {"MainNameSort3", item(cboName)},
        {"MainNameSort4", item(cboName)},
        {"MainNameSort5", item(cboName)},
        {"MainNameSort6", item(cboName)},
        {"MainNameSort7", item(cboName)},
        {"MainNameSort8",
         [&, this](const QString& text) {
             cboName->addItem(text);
             cboName->setCurrentIndex(nameIndex);
         }},
        {"MainNameColor", caption(lblColorList)},
        {"MainHtmlRejected", [this](const QString& text) { edtHtml->SetRejectedHint(text); }},
        {"MainVbRejected", [this](const QString& text) { edtVisualBasic->SetRejectedHint(text); }},
        {"MainHtmlAlpha", [this](const QString& text) { alphaNote_ = text; }},
        {"MainHtmlMapped", [this](const QString& text) { mappedNote_ = text; }},
        {"MainCopyAs", [this](const QString& text) { copyAs_ = text; }},
        {"MainOklchMapped", caption(lblOkMapped)},
        {"MainOklchInside", [this](const QString& text) { insideSrgb_ = text; }},
        {"MainOklchNowhere", [this](const QString& text) { nowhereInSrgb_ = text; }},
        {"MainOklchRange", [this](const QString& text) { valueRange_ = text; }},
        {"MainContrast", caption(lblContrast)},
        {"MainContrastNormal", caption(lblContrastNormal)},
        {"MainContrastLarge", caption(lblContrastLarge)},
        {"MainContrastWhite", caption(contrast_[0].caption)},
        {"MainContrastBlack", caption(contrast_[1].caption)},
        {"MainContrastKept", caption(contrast_[2].caption)},
        {"MainContrastFails", [this](const QString& text) { fails_ = text; }},
        {"MainContrastKeep", button(btnKeep)},
        {"MainContrastSpoken", [this](const QString& text) { contrastSpoken_ = text; }},
    };
    for (const SliderPageWidgets& page : sliderPages_) {
        apply.emplace(page.entry->tabKey, tab(page.entry->page));
        for (std::size_t i = 0; i < page.labels.size(); ++i) {
            apply.emplace(page.entry->rows[i].key, caption(page.labels[i]));
        }
        for (std::size_t i = 0; i < page.modes.size(); ++i) {
            apply.emplace(page.entry->modes[i].key, button(page.modes[i]));
        }
    }
    for (const TextKey& key : MainTextKeys()) {
        const auto found = apply.find(key.key);
        if (found != apply.end()) {
            found->second(DisplayText(LookupText(key.key)));
        }
    }
    NameControls();
    UpdateOklchPage(); // its texts are put together from these
}

void TMainForm::NameControls() {
    // A control beside a label is named by the label's caption, as the
    // screen reader's user would find it by sight.
    const auto named = [](QWidget* control, const QLabel* label) {
        control->setAccessibleName(CaptionWithoutMarkers(label->text()));
    };
    for (const SliderPageWidgets& page : sliderPages_) {
        for (std::size_t i = 0; i < page.labels.size(); ++i) {
            for (QWidget* part : {static_cast<QWidget*>(page.sliders[i]),
                                  static_cast<QWidget*>(page.sliders[i]->Slider()),
                                  static_cast<QWidget*>(page.sliders[i]->Editor())}) {
                named(part, page.labels[i]);
            }
        }
    }
    named(cboVisual, lblXAndY);
    named(cboFile, lblFile);
    named(cboName, lblSort);
    named(lstName, lblColorList);
    NameVisualControls();
}

void TMainForm::NameVisualControls() {
    // The track bar after the one Z label shown, the field after its plane.
    for (const QLabel* label : {lblZHue, lblZLight, lblZSat}) {
        if (!label->isHidden()) {
            tkbZComponent->setAccessibleName(CaptionWithoutMarkers(label->text()));
        }
    }
    VisualColorSelector->setAccessibleName(cboVisual->currentText());
}

} // namespace tintorel
