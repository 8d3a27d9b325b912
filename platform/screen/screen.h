// Reading the screen for the pipette, in place of the display's device
// context: the whole virtual desktop (every monitor) in device pixels, the
// pointer's position, and once a tick a picture of the few pixels around
// it, from which the pipette takes both its sample and its magnifier.
#pragma once

#include <QImage>

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tintorel {

// What a reader took of an area of the desktop: one pixel of `image` for
// each device pixel of `area`, black where no monitor is, and which of them
// lie on a monitor (a square reaching past a monitor's edge averages only
// those).
class ScreenGrab {
public:
    // Taken: the pixels are here. Coming: the picture is on its way (a
    // compositor copies it when it next draws) and the reader tells
    // OnPicture once it has come. Unreadable: nothing can be read now.
    enum class State { Unreadable, Coming, Taken };

    ScreenGrab() = default;
    static ScreenGrab Coming();
    // A picture of `area`, black, whose pixels exist where `exists` says;
    // the reader then fills them in.
    ScreenGrab(const QRect& area, const std::function<bool(int x, int y)>& exists);
    // The same, each existing pixel read as 0x00BBGGRR from `pixel`: for
    // readers whose desktop model reads pixel by pixel.
    static ScreenGrab FromPixels(const QRect& area,
                                 const std::function<bool(int x, int y)>& exists,
                                 const std::function<std::uint32_t(int x, int y)>& pixel);

    State Status() const { return state_; }
    bool Taken() const { return state_ == State::Taken; }
    const QRect& Area() const { return area_; }
    // Format_RGB32, the size of Area(); the reader writes into it.
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }
    // In desktop coordinates; nothing exists outside Area().
    bool Exists(int x, int y) const;
    // 0x00BBGGRR; black outside Area().
    std::uint32_t Pixel(int x, int y) const;

private:
    State state_ = State::Unreadable;
    QRect area_;
    QImage image_;
    std::vector<bool> exists_; // row by row
};

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
    // Whether the pointer is over one of this program's own windows. A
    // reader that reads the pointer for it gives the same place to the
    // CursorPos that follows, so that a tick samples where it looked.
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
    // Told when a picture that Grab said was coming has come: the pipette
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
    // afresh at the next Grab.
    virtual void NextPicture() {}
    // What `area` of the screen shows, read once a tick. A reader whose
    // picture is still to come says so, tells OnPicture once it has, and
    // a Grab of the same area then takes it.
    virtual ScreenGrab Grab(const QRect& area) = 0;

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

private:
    std::function<void()> accessChanged_;
    std::function<void(const std::string&)> failure_;
    std::function<void()> finish_;
    std::function<void()> picture_;
};

} // namespace tintorel
