#include "controls/sliderntext.h"

#include "controls/metrics.h"
#include "util/utilnumber.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

#include <algorithm>
#include <climits>

namespace tintorel {

namespace {

constexpr int kBorderLine = 1;

// The edit's number as atol reads it: locale-free, 0 for no number, and a
// number beyond int clamped rather than undefined.
int EditNumber(const QLineEdit* edit) {
    const long number = TextToLong(edit->text().toStdString());
    return static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX));
}

} // namespace

BTrackBar::BTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    // The arrow keys move by one, as a track bar's line size does by
    // default; Page Up and Page Down move by the page size.
    setSingleStep(1);
    setTickPosition(QSlider::NoTicks);
    setTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void BTrackBar::SetTrack(const QImage& strip) {
    track_ = strip;
    update();
}

void BTrackBar::PaintTrack(QPainter& painter) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto handleCentre = [&](int value) {
        option.sliderPosition = value;
        return style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this)
            .center()
            .x();
    };
    const int first = handleCentre(minimum());
    const int last = handleCentre(maximum());
    option.sliderPosition = value();
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const int bandHeight =
        std::min(height(), std::max(groove.height(), fontMetrics().height() / 2));
    const QRect band(groove.left(), groove.center().y() - bandHeight / 2 + (bandHeight + 1) % 2,
                     groove.width(), bandHeight);
    painter.fillRect(band, palette().color(QPalette::Base));
    painter.fillRect(band, QBrush(palette().color(QPalette::WindowText), Qt::BDiagPattern));
    // The strip, stretched pixel for pixel without blending, and its end
    // colours carried out to the ends of the track.
    const QImage strip = track_.convertToFormat(QImage::Format_ARGB32);
    painter.fillRect(QRect(QPoint(band.left(), band.top()), QPoint(first, band.bottom())),
                     QColor::fromRgba(strip.pixel(0, 0)));
    painter.fillRect(QRect(QPoint(last, band.top()), QPoint(band.right(), band.bottom())),
                     QColor::fromRgba(strip.pixel(strip.width() - 1, 0)));
    painter.drawImage(QRect(first, band.top(), std::max(1, last - first + 1), band.height()),
                      strip);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(band.adjusted(0, 0, -1, -1));
    option.subControls = QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

void BTrackBar::paintEvent(QPaintEvent* event) {
    if (track_.isNull() || track_.width() < 1) {
        QSlider::paintEvent(event);
    } else {
        QPainter painter(this);
        PaintTrack(painter);
    }
    // Not every style marks a focused slider; the keyboard user must see
    // where the arrow keys go.
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(0, 1, -1, -2);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(focus.rect);
    }
}

void BTrackBar::SetMin(int value) {
    if (value <= maximum()) {
        setMinimum(value);
    }
}

void BTrackBar::SetMax(int value) {
    if (value >= minimum()) {
        setMaximum(value);
    }
}

void BNumberEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        Paste(QClipboard::Clipboard);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void BNumberEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection on X11.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        Paste(QClipboard::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void BNumberEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        paste->disconnect();
        connect(paste, &QAction::triggered, this, [this] { Paste(QClipboard::Clipboard); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void BNumberEdit::Paste(QClipboard::Mode mode) {
    if (isReadOnly()) {
        return;
    }
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (!acceptPaste || !acceptPaste(text)) {
        QApplication::beep();
    }
}

BSliderNText::BSliderNText(QWidget* parent)
    : QWidget(parent), slider_(new BTrackBar(this)), edit_(new BNumberEdit(this)) {
    slider_->setGeometry(0, 0, 50, 30);
    edit_->setGeometry(50, 0, 50, 30);
    edit_->setAlignment(Qt::AlignRight);
    connect(slider_, &QSlider::valueChanged, this, &BSliderNText::SliderChange);
    connect(edit_, &QLineEdit::textChanged, this, &BSliderNText::EditChange);
    updateGuard_ = true;
    if (maxValue_ == 0) {
        SetMaxValue(255);
    }
    SetValue(0);
    editorEnabled_ = true;
    // One Tab stop each for the slider and the number, none for the frame
    // around them; focusing the control (a label's accelerator) focuses the
    // slider.
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(slider_);
    edit_->installEventFilter(this);
    // A paste is taken whole when it is a whole number on the scale, and
    // refused otherwise: "12.5" must not become 12, nor "0x10" 0.
    edit_->setAcceptDrops(false);
    edit_->acceptPaste = [this](const QString& text) {
        int value = 0;
        if (!editorEnabled_ || !ParseWholeNumber(text.toStdString(), value) || value < minValue_ ||
            value > maxValue_) {
            return false;
        }
        // As if the number had been typed: one notification.
        edit_->setText(QString::number(value));
        return true;
    };
}

bool BSliderNText::eventFilter(QObject* watched, QEvent* event) {
    // Up and Down in the number step the value by one, as in a spin box.
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const long long next =
                static_cast<long long>(GetValue()) + (key == Qt::Key_Up ? 1 : -1);
            SetValue(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int BSliderNText::GetValue() const {
    return slider_->Position();
}

int BSliderNText::CheckValue(int value) const {
    if (minValue_ == maxValue_) {
        return value;
    }
    if (value < minValue_) {
        return minValue_;
    }
    if (value > maxValue_) {
        return maxValue_;
    }
    return value;
}

void BSliderNText::SetValue(int value) {
    const int v = CheckValue(value);
    bool changed = false;
    if (v != slider_->Position()) {
        slider_->SetPosition(v); // notifies at once, see SliderChange
        changed = true;
    }
    if (v != EditNumber(edit_)) {
        changed = true;
    }
    const QString shown = QString::number(slider_->Position());
    if (edit_->text() != shown) {
        edit_->setText(shown);
        if (QAccessible::isActive()) {
            QAccessibleValueChangeEvent event(edit_, slider_->Position());
            QAccessible::updateAccessibility(&event);
        }
    }
    if (changed) {
        Change();
    }
}

void BSliderNText::EditChange() {
    if (updateGuard_) {
        const QScopedValueRollback closed(updateGuard_, false);
        SetValue(EditNumber(edit_));
    }
}

void BSliderNText::SliderChange() {
    if (updateGuard_) {
        const QScopedValueRollback closed(updateGuard_, false);
        SetValue(slider_->Position());
    }
}

void BSliderNText::UpdatePageSize() {
    // Integer arithmetic wide enough for any two ints.
    slider_->setPageStep(static_cast<int>((static_cast<long long>(maxValue_) - minValue_) / 10));
}

void BSliderNText::SetMinValue(int value) {
    minValue_ = value;
    slider_->SetMin(value);
    UpdatePageSize();
    sizeHint_ = QSize();
    updateGeometry(); // the number may need another width
    SetValue(GetValue());
}

void BSliderNText::SetMaxValue(int value) {
    maxValue_ = value;
    slider_->SetMax(value);
    UpdatePageSize();
    sizeHint_ = QSize();
    updateGeometry();
    SetValue(GetValue());
}

void BSliderNText::SetRange(float min, float max) {
    const int old = GetValue();
    const int oldMax = maxValue_;
    if (oldMax > 0) {
        const auto ratio = static_cast<float>(static_cast<double>(old) / oldMax);
        SetMinValue(TruncToInt(min));
        SetMaxValue(TruncToInt(max));
        SetValue(TruncToInt(static_cast<double>(ratio) * max));
    } else {
        const int m = TruncToInt(min);
        SetMinValue(m);
        SetMaxValue(TruncToInt(max));
        SetValue(m);
    }
}

void BSliderNText::SetTextWidth(int percent) {
    textWidth_ = percent;
    sizeHint_ = QSize();
    updateGeometry();
    SetSliderRect();
    SetEditRect();
}

void BSliderNText::SetSliderRect() {
    // As high as the style draws it, centred on the edit's line: some styles
    // draw a slider at the top of a taller rectangle.
    const int sliderHeight = std::min(height(), slider_->sizeHint().height());
    slider_->setGeometry(0, (height() - sliderHeight) / 2,
                         TruncToInt((1.0 - textWidth_ * 0.01) * width()), sliderHeight);
}

void BSliderNText::SetEditRect() {
    const int left = TruncToInt((1.0 - textWidth_ * 0.01) * width());
    const int editWidth = TruncToInt(static_cast<double>(width() * textWidth_) * 0.01);
    // Flush with the right edge, as a right-aligned child would be.
    edit_->setGeometry(std::max(left, width() - editWidth), 0, editWidth, height());
}

int BSliderNText::GetMinHeight() const {
    const int system = QFontMetrics(QApplication::font()).height();
    const int own = QFontMetrics(font()).height();
    return own + std::min(system, own) / 4 + 4 * kBorderLine + 2;
}

QSize BSliderNText::sizeHint() const {
    if (sizeHint_.isValid()) {
        return sizeHint_;
    }
    const QFontMetrics metrics = edit_->fontMetrics();
    const QString widest = metrics.horizontalAdvance(QString::number(minValue_)) >
                                   metrics.horizontalAdvance(QString::number(maxValue_))
                               ? QString::number(minValue_)
                               : QString::number(maxValue_);
    const QSize editSize(LineEditWidthFor(edit_, widest), edit_->sizeHint().height());
    const QSize sliderSize = slider_->sizeHint();
    int width = 0;
    if (textWidth_ <= 0) {
        width = sliderSize.width();
    } else if (textWidth_ >= 100) {
        width = editSize.width();
    } else {
        // The edit gets ⌊w × t / 100⌋ pixels and the slider the rest.
        width = std::max((editSize.width() * 100 + textWidth_ - 1) / textWidth_,
                         (sliderSize.width() * 100 + (100 - textWidth_) - 1) / (100 - textWidth_));
    }
    const int height = std::max({GetMinHeight(), edit_->sizeHint().height(), sliderSize.height()});
    sizeHint_ = QSize(width, height);
    return sizeHint_;
}

void BSliderNText::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        sizeHint_ = QSize();
        updateGeometry();
    }
}

void BSliderNText::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int minimum = GetMinHeight();
    if (height() < minimum) {
        resize(width(), minimum);
    }
    SetEditRect();
    SetSliderRect();
}

bool BSliderNText::IsValidChar(QChar key) const {
    const ushort code = key.unicode();
    bool valid = key == QLocale().decimalPoint().front() || key == u'+' || key == u'-' ||
                 (key >= u'0' && key <= u'9') || (code < 32 && code != 13);
    if (valid && !editorEnabled_ && (code >= 32 || code == 8)) {
        valid = false;
    }
    return valid;
}

void BSliderNText::KeyPress(QChar& key) {
    if (!IsValidChar(key)) {
        key = QChar(0);
        QApplication::beep();
    }
}

void BSliderNText::keyPressEvent(QKeyEvent* event) {
    // The control's own key-down handling does nothing; only typed
    // characters go through the filter, and nothing is done with them.
    const QString text = event->text();
    if (!text.isEmpty()) {
        QChar key = text.front();
        KeyPress(key);
    }
    event->accept();
}

void BSliderNText::Change() {
    emit OnChange(this);
}

} // namespace tintorel
