// A horizontal slider and a one-line number edit side by side, both showing
// the same integer. Changing either moves the other and raises OnChange; the
// control knows nothing of colours, its owner decides the ranges.
#pragma once

#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QSlider>
#include <QWidget>

#include <functional>

namespace tintorel {

// The slider the control is written against: a limit that would cross the
// other one is ignored (QSlider would move the other limit instead), and it
// notifies synchronously whenever its position changes, also when a new
// limit pushes the position.
class BTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit BTrackBar(QWidget* parent);

    void SetMin(int value);
    void SetMax(int value);
    int Position() const { return value(); }
    void SetPosition(int value) { setValue(value); }

    // A strip of colours drawn as the track: pixel i stands for the value
    // minimum + i × (maximum − minimum) / (width − 1), stretched from the
    // handle's centre at the minimum to its centre at the maximum. A
    // transparent pixel is a value the strip has no colour for, drawn
    // hatched. A null image gives the style's own groove back.
    void SetTrack(const QImage& strip);
    const QImage& Track() const { return track_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintTrack(QPainter& painter);

    QImage track_;
};

// The number beside the slider: a one-line edit of its own class, so that
// screen readers are told of it as the spin box it works as.
// The number beside a slider. Typed keys go through the control's own
// normalising; a paste (the keys, the middle button, the menu) is taken
// only when `acceptPaste` takes it whole, and is otherwise refused.
class BNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    std::function<bool(const QString& text)> acceptPaste;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Paste(QClipboard::Mode mode);
};

class BSliderNText : public QWidget {
    Q_OBJECT
public:
    explicit BSliderNText(QWidget* parent = nullptr);

    int GetValue() const;
    int Value() const { return GetValue(); }
    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int TextWidth() const { return textWidth_; }
    bool EditorEnabled() const { return editorEnabled_; }

    // Clamps (unless the limits are equal), moves the slider and rewrites the
    // edit; raises OnChange when the value or the edit's number changed.
    void SetValue(int value);
    void SetMinValue(int value);
    void SetMaxValue(int value);
    // New limits that keep the value's proportion to the maximum.
    void SetRange(float min, float max);
    void SetTextWidth(int percent);
    void SetEditorEnabled(bool enabled) { editorEnabled_ = enabled; }

    int CheckValue(int value) const;
    // The smallest height that shows the edit's text.
    int GetMinHeight() const;

    // Wide enough for the edit to show the widest number of the range and
    // for the slider to keep its own width, each in its share of the width;
    // as high as the taller of the two needs, and never below GetMinHeight.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The key filter used while the control itself has the focus.
    virtual bool IsValidChar(QChar key) const;

    BTrackBar* Slider() const { return slider_; }
    QLineEdit* Editor() const { return edit_; }

signals:
    void OnChange(BSliderNText* sender);

protected:
    virtual void Change();
    void EditChange();
    void SliderChange();
    void KeyPress(QChar& key);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetSliderRect();
    void SetEditRect();
    void UpdatePageSize();

    BTrackBar* slider_;
    BNumberEdit* edit_;
    int minValue_ = 0;
    int maxValue_ = 0;
    int textWidth_ = 0;
    bool editorEnabled_ = true;
    bool updateGuard_ = true; // true while child notifications are acted on
    // The size hint, worked out once for the range, font and style it was
    // asked with: layouts ask for it many times.
    mutable QSize sizeHint_;
};

} // namespace tintorel
