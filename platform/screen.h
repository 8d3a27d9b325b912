// Reading the screen for the pipette, in place of the display's device
// context: the whole virtual desktop (every monitor) in device pixels, the
// pointer's position, single pixels and a stretched copy of an area. Each
// reading is opened and released within one pipette tick.
#pragma once

#include <QImage>

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tintorel {

// How the desktop lets the pipette see it: live, four samples a second;
// one colour picked by the desktop itself when the pipette is pressed; or
// not at all. Unknown while a reader is still asking the desktop.
enum class ScreenAccess { Unknown, Live, PickOnce, None };

class ScreenReader {
public:
    virtual ~ScreenReader() = default;

    virtual ScreenAccess Access() const { return ScreenAccess::Live; }
    // Why the screen cannot be read (Access None), in a sentence.
    virtual std::string Unavailable() const { return {}; }
    // The pipette starts or stops. A reader whose source costs something
    // (a screen-casting session) opens it on the first start and pauses it
    // on every stop.
    virtual void SetActive(bool) {}
    // With Access PickOnce: asks the desktop for one colour (0x00BBGGRR),
    // then calls `done` with it, or with nothing and the reason (the user
    // cancelled, the desktop failed).
    using PickDone =
        std::function<void(std::optional<std::uint32_t> colour, const std::string& reason)>;
    virtual void PickColor(PickDone done) { done(std::nullopt, "this desktop picks no colours"); }

    // While the desktop asks the user for the screen (its own dialog takes
    // the focus), losing the focus must not stop the pipette.
    virtual bool AwaitingDesktop() const { return false; }
    // Whether the pointer is over one of this program's own windows.
    virtual bool PointerOnOwnWindow() const;

    // Told when Access changes, and when the source is lost for good (the
    // user declined, the desktop's service went away): the reason, for the
    // log. The pipette then stops; the next start tries again.
    void OnAccessChanged(std::function<void()> handler) { accessChanged_ = std::move(handler); }
    void OnFailure(std::function<void(const std::string&)> handler) {
        failure_ = std::move(handler);
    }
    // Told when the user ends the pipette on the desktop's side (a reader
    // whose overlay takes the clicks and keys): the pipette stops with the
    // colour under the pointer, as pressing its button again does.
    void OnFinish(std::function<void()> handler) { finish_ = std::move(handler); }
    // Told when a picture that Open had to wait for has come: the pipette
    // reads the screen again.
    void OnPicture(std::function<void()> handler) { picture_ = std::move(handler); }

    // The virtual desktop's size in device pixels; its top-left is (0, 0).
    virtual QSize Size() const = 0;
    // Where the pointer is, read first in each tick: a desktop whose
    // outputs differ in scale is measured in the pixels of the output
    // under the pointer until the next tick reads it again.
    virtual QPoint CursorPos() const = 0;

    // A new pipette tick begins. A reader whose pictures come some time
    // after they are asked for drops one that has not come by now and asks
    // afresh at the next Open.
    virtual void NextPicture() {}
    // Takes what `area` of the screen shows, for the reads below; false when
    // the screen cannot be read at all (then nothing may be read), or when
    // the picture is still to come: then the reader tells OnPicture once it
    // has, and an Open of the same area takes it.
    virtual bool Open(const QRect& area) = 0;
    // A pixel of the opened area as 0x00BBGGRR; black outside every monitor.
    virtual std::uint32_t Pixel(int x, int y) const = 0;
    // Whether a pixel of the opened area lies on a monitor: a square that
    // reaches beyond every monitor averages only the pixels that exist.
    virtual bool PixelExists(int x, int y) const {
        return QRect(QPoint(0, 0), Size()).contains(x, y);
    }
    // Copies `source` (within the opened area) stretched into `target` at
    // `destination`.
    virtual void StretchCopy(const QRect& source, QImage& target,
                             const QRect& destination) const = 0;
    virtual void Close() = 0;

protected:
    void AccessChanged() const {
        if (accessChanged_) {
            accessChanged_();
        }
    }
    void Failed(const std::string& reason) const {
        if (failure_) {
            failure_(reason);
        }
    }
    void Finished() const {
        if (finish_) {
            finish_();
        }
    }
    void PictureCame() const {
        if (picture_) {
            picture_();
        }
    }
    // StretchCopy from Pixel, for readers that hold no image.
    void StretchPixels(const QRect& source, QImage& target, const QRect& destination) const;

private:
    std::function<void()> accessChanged_;
    std::function<void(const std::string&)> failure_;
    std::function<void()> finish_;
    std::function<void()> picture_;
};

// Whether the X server Qt runs on is XWayland (its XWAYLAND extension, or
// before that its outputs' names, say so): its root window shows only the windows of X programs,
// black or stale elsewhere. False off X11.
bool XServerIsXWayland();

// The real screen on an X server: the pointer and the root window's pixels
// read from the server in its own (device) pixels, whatever scale Qt draws
// the windows at. Elsewhere, through Qt: QScreen::grabWindow on each
// monitor that the area touches, at the monitor's device pixel ratio.
class QtScreenReader : public ScreenReader {
public:
    QSize Size() const override;
    QPoint CursorPos() const override;
    bool Open(const QRect& area) override;
    std::uint32_t Pixel(int x, int y) const override;
    bool PixelExists(int x, int y) const override;
    void StretchCopy(const QRect& source, QImage& target, const QRect& destination) const override;
    void Close() override;

private:
    QRect area_;
    QImage grabbed_; // the opened area, black where no monitor is
};

} // namespace tintorel
