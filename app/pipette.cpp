// The pipette: while on, four times a second, the screen under the pointer
// is sampled (one pixel, or the average of a 3 × 3 or 7 × 7 square) and the
// preview shows the screen around the pointer magnified.
#include "app/mainform.h"

#include "app/previewimage.h"
#include "controls/announcer.h"
#include "controls/uitext.h"
#include "log/log.h"
#include "util/utilnumber.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

namespace tintorel {

namespace {

constexpr int kMagnifierRadius = 4;
constexpr int kMagnifiedPixels = 2 * kMagnifierRadius + 1;

// A one-pixel frame along the inside of `r` (right and bottom exclusive).
void Frame(QPainter& painter, int left, int top, int right, int bottom, const QColor& colour) {
    painter.fillRect(QRect(left, top, right - left, 1), colour);
    painter.fillRect(QRect(left, bottom - 1, right - left, 1), colour);
    painter.fillRect(QRect(left, top, 1, bottom - top), colour);
    painter.fillRect(QRect(right - 1, top, 1, bottom - top), colour);
}

// The source span of one axis and where it lands in an image of `length`:
// cut at the screen's edges and drawn at the opposite edge of the image.
struct Span {
    int first;
    int count;
    int destination;
    int size;
};

Span MagnifiedSpan(int centre, int screen, int length) {
    const int r = kMagnifierRadius;
    if (centre < r) {
        const int n = centre + r + 1;
        const int size = TruncToInt(static_cast<double>(n) / kMagnifiedPixels * length);
        return {0, n, length - size, size};
    }
    if (centre > screen - r - 1) {
        const int n = screen - centre + r;
        return {centre - r, n, 0, TruncToInt(static_cast<double>(n) / kMagnifiedPixels * length)};
    }
    return {centre - r, kMagnifiedPixels, 0, length};
}

// The pixels sampled around `pointer` (2h + 1 on a side), cut at the
// screen's edges.
QRect SampledSquare(QPoint pointer, int h, QSize screen) {
    const int x = pointer.x();
    const int y = pointer.y();
    int left = x - h;
    int right = x + h;
    int top = y - h;
    int bottom = y + h;
    if (x < h) {
        left = 0;
    }
    if (x > screen.width() - 1 - h) {
        right = screen.width() - 1;
    }
    if (y < h) {
        top = 0;
    }
    if (y > screen.height() - 1 - h) {
        bottom = screen.height() - 1;
    }
    return {QPoint(left, top), QPoint(right, bottom)};
}

// Both areas, or the one that is not empty.
QRect Covering(const QRect& a, const QRect& b) {
    if (a.isEmpty()) {
        return b;
    }
    return b.isEmpty() ? a : a.united(b);
}

} // namespace

bool TMainForm::PipetteRunning() const {
    return timTimer->isActive();
}

void TMainForm::ConnectScreen() {
    screen_->OnAccessChanged([this] { UpdateCaptureButton(); });
    screen_->OnFailure([this](const std::string& reason) {
        // The colour stays; the next press of the button tries again.
        PipetteTrouble(reason);
        if (timTimer->isActive()) {
            StopPipette();
        }
    });
    screen_->OnPicture([this] {
        // The picture this tick asked for has come: it is read now.
        if (timTimer->isActive()) {
            TimerCalled();
        }
    });
    screen_->OnFinish([this] {
        // Ended on the desktop's side (a click or Escape over the overlay):
        // one last sample where the pointer is, then stopped as the button
        // stops it.
        if (timTimer->isActive()) {
            TimerCalled();
            StopPipette();
        }
    });
}

void TMainForm::UpdateCaptureButton() {
    const bool usable = screen_->Access() != ScreenAccess::None;
    btnCapture->setEnabled(usable);
    if (!usable) {
        // In place of the button's hint: a disabled button says why.
        btnCapture->setToolTip(QString::fromStdString(screen_->Unavailable()));
        if (timTimer->isActive()) {
            StopPipette();
        }
    }
}

void TMainForm::PipetteTrouble(const std::string& reason) {
    // The log and the button's hint say what went wrong last; a pick that
    // worked clears the hint again.
    if (!reason.empty()) {
        LogLine("Pipette stopped: " + reason);
    }
    troubleShown_ = !reason.empty();
    if (screen_->Access() != ScreenAccess::None) {
        btnCapture->setToolTip(reason.empty() ? pipetteHint_
                                              : pipetteHint_ + u'\n' + DisplayText(reason));
    }
}

void TMainForm::ApplyPickedColour(std::uint32_t colour) {
    if (currentColor_ && colour != currentColor_->ToColor()) {
        ShowColour(ColourForPage(ActivePage(), colour), Edited::Nothing);
    }
    UpdatePreview();
}

void TMainForm::StopPipette() {
    screen_->SetActive(false);
    timTimer->stop();
    btnCapture->setChecked(false);
    escapeStopsPipette_->setEnabled(false);
    UpdatePreview();
    // The colour the pipette took, said once it stops, not at every tick.
    announcer_->AnnounceNow(ColourSpoken());
}

void TMainForm::btnCaptureClick() {
    if (timTimer->isActive()) {
        StopPipette();
        return;
    }
    // A pick is measured against the colour it started from.
    if (currentColor_) {
        KeepColour(currentColor_->ToColor());
    }
    if (screen_->Access() == ScreenAccess::PickOnce) {
        // The desktop picks one colour itself (its own magnifier, its own
        // click); the button is released again once it has.
        // A press while a pick is pending (the desktop's picker is gone,
        // but it never answered) asks again; the old answer, should it
        // still come, is dropped.
        btnCapture->setChecked(true);
        const int pick = ++picks_;
        screen_->PickColor(
            [this, pick](std::optional<std::uint32_t> colour, const std::string& reason) {
                if (pick != picks_) {
                    return;
                }
                btnCapture->setChecked(false);
                if (colour) {
                    PipetteTrouble({});
                    ApplyPickedColour(*colour);
                } else {
                    PipetteTrouble(reason);
                }
            });
    } else {
        screen_->SetActive(true);
        timTimer->start(250);
        btnCapture->setChecked(true);
        escapeStopsPipette_->setEnabled(true);
    }
}

bool TMainForm::PointerOverOwnWindow() const {
    return screen_->PointerOnOwnWindow();
}

void TMainForm::WindowDeactivate() {
    const TraceScope trace("TMainForm::WindowDeactivate");
    if (timTimer->isActive() && !screen_->AwaitingDesktop()) {
        StopPipette();
    }
}

void TMainForm::PipetteTick() {
    screen_->NextPicture();
    TimerCalled();
}

void TMainForm::TimerCalled() {
    // On its way to the pipette button (or to Escape) the pointer crosses
    // our own windows: sampling them would replace the colour the user
    // chose with the button's grey. Over them the last sample stands, and
    // the magnifier keeps its picture.
    if (PointerOverOwnWindow()) {
        return;
    }
    try {
        SamplePipette();
    } catch (...) {
        // A failed tick is dropped; the next one tries again.
    }
}

bool TMainForm::SamplePipette() {
    // The pointer first: a desktop of outputs at several scales is read on
    // the pixel grid of the output under it, and measured on that grid.
    const QPoint pointer = screen_->CursorPos();
    const QSize screen = screen_->Size();
    const QImage& canvas = pnlImage->Canvas();
    const Span rows = MagnifiedSpan(pointer.y(), screen.height(), canvas.height());
    const Span columns = MagnifiedSpan(pointer.x(), screen.width(), canvas.width());
    const QRect shown(columns.first, rows.first, columns.count, rows.count);
    const QRect square = SampledSquare(pointer, (pipetteSize_ - 1) / 2, screen);
    // One picture a tick: the magnifier's pixels hold the sampled square.
    const QRect area = Covering(shown, square);
    if (area.isEmpty()) {
        return false;
    }
    const ScreenGrab grab = screen_->Grab(area);
    if (!grab.Taken()) {
        return false; // unreadable, or the picture comes later and is read then
    }
    const bool changed = SampleSquare(grab, square);
    if (!shown.isEmpty()) {
        DrawMagnifier(grab, shown,
                      QRect(columns.destination, rows.destination, columns.size, rows.size));
    }
    return changed;
}

bool TMainForm::SampleSquare(const ScreenGrab& grab, const QRect& square) {
    if (!currentColor_ || square.isEmpty()) {
        return false;
    }
    float sumRed = 0;
    float sumGreen = 0;
    float sumBlue = 0;
    int count = 0;
    BColorRgb sample(0, 0, 0);
    for (int column = square.left(); column <= square.right(); ++column) {
        for (int row = square.top(); row <= square.bottom(); ++row) {
            // Only pixels that exist: a square that reaches past a
            // monitor's edge, between monitors of different sizes or
            // beyond the desktop, averages what is on the monitors.
            if (!grab.Exists(column, row)) {
                continue;
            }
            sample.FromColor(grab.Pixel(column, row));
            float r = 0, g = 0, b = 0;
            sample.ToRgb(r, g, b);
            sumRed += r;
            sumGreen += g;
            sumBlue += b;
            ++count;
        }
    }
    if (count == 0) {
        return false;
    }
    if (troubleShown_) {
        PipetteTrouble({}); // it works again: the last failure is no longer news
    }
    sample = BColorRgb(sumRed / static_cast<float>(count), sumGreen / static_cast<float>(count),
                       sumBlue / static_cast<float>(count));
    if (sample.ToColor() == currentColor_->ToColor()) {
        return false;
    }
    ShowColour(ColourForPage(ActivePage(), sample.ToColor()), Edited::Nothing);
    return true;
}

void TMainForm::DrawMagnifier(const ScreenGrab& grab, const QRect& shown,
                              const QRect& destination) {
    QImage& image = pnlImage->Canvas();
    // Drawn aside first: a picture that did not change (the pointer still
    // over a still screen) is not painted again, so the desktop has nothing
    // to recompose four times a second.
    QImage next(image.size(), image.format());
    next.fill(Qt::black);
    {
        QPainter painter(&next);
        painter.drawImage(destination, grab.Image(), shown.translated(-grab.Area().topLeft()));
    }

    // The sampled square's frame, always in the centre of the image.
    const int h = (pipetteSize_ - 1) / 2;
    const double lo = static_cast<double>(kMagnifierRadius - h) / kMagnifiedPixels;
    const double hi = static_cast<double>(kMagnifierRadius + h + 1) / kMagnifiedPixels;
    const int left = TruncToInt(lo * image.width() + 1);
    const int top = TruncToInt(lo * image.height() + 1);
    const int right = TruncToInt(hi * image.width());
    const int bottom = TruncToInt(hi * image.height());
    {
        QPainter painter(&next);
        Frame(painter, left, top, right, bottom, Qt::white);
        Frame(painter, left - 1, top - 1, right + 1, bottom + 1, Qt::black);
    }
    if (next != image) {
        image.swap(next);
        pnlImage->update();
    }
}

} // namespace tintorel
