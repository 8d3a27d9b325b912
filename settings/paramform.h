// The preferences dialog: stay on top, the pipette's size and which panels
// are shown. It holds no copy of the settings: each showing loads them, OK
// stores them, Cancel writes nothing.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tintorel {

class TParamForm : public QDialog {
    Q_OBJECT
public:
    explicit TParamForm(QWidget* parent = nullptr);

    // Shows the dialog modally with the stored preferences loaded.
    int exec() override;

    void FormCreate();
    void FormShow();
    void LoadPreferences();
    void StorePreferences();
    void btnOkClick();

    // Where the language files are (the window's own fallback rules decide
    // it); without it, the stored language folder.
    void SetLanguageFolder(std::function<std::string()> folder) {
        languageFolder_ = std::move(folder);
    }
    // Whether the last OK chose another language: its file is stored, and
    // the windows are to take its texts.
    bool LanguageChanged() const { return languageChanged_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void AlignChoices();
    void KeepOnePageVisible();
    // The pages' boxes in the order of their settings.
    std::array<QCheckBox*, 8> PageBoxes() const;

    QGridLayout* stayOnTop_ = nullptr;
    QGridLayout* pipetteSize_ = nullptr;
    QPushButton *btnOk = nullptr, *btnCancel = nullptr;
    QLabel *lblStayOnTop = nullptr, *lblPipette = nullptr, *lblVisiblePanels = nullptr;
    QRadioButton *rdbYes = nullptr, *rdbNo = nullptr;
    QRadioButton *rdbSmall = nullptr, *rdbBigger = nullptr, *rdbMuchBigger = nullptr;
    QLabel* lblLanguage = nullptr;
    QComboBox* cboLanguage = nullptr;
    std::function<std::string()> languageFolder_;
    bool languageChanged_ = false;
    QCheckBox *chkRgb = nullptr, *chkHls = nullptr, *chkHsv = nullptr, *chkCmy = nullptr,
              *chkCmyk = nullptr, *chkOklch = nullptr, *chkVisual = nullptr, *chkName = nullptr, *chkHtml = nullptr,
              *chkVb = nullptr;
};

} // namespace tintorel
