// The test double of the screen: a screen made of an image, whose pointer,
// readability and desktop access the test sets.
#pragma once

#include "platform/screen/screen.h"

#include <QRegion>

#include <vector>

namespace tintorel {

class ImageScreenReader : public ScreenReader {
public:
    explicit ImageScreenReader(QImage image) : image_(std::move(image)) {}

    void SetCursorPos(QPoint position) { cursor_ = position; }
    // What the screen shows from now on.
    void SetImage(QImage image) { image_ = std::move(image); }
    void SetReadable(bool readable) { readable_ = readable; }
    // Parts of the image that lie on no monitor (between monitors of
    // different sizes): they read black and do not exist.
    void SetMissing(QRegion missing) { missing_ = std::move(missing); }
    int Grabs() const { return grabs_; }
    // A desktop that answers late, or offers less than live reading.
    void SetAccess(ScreenAccess access, std::string why = {}) {
        access_ = access;
        why_ = std::move(why);
        AccessChanged();
    }
    // What the next PickColor gives; nothing stands for a cancelled pick.
    void SetPicked(std::optional<std::uint32_t> colour) { picked_ = colour; }
    // The source is lost, as when the user stops the desktop's sharing.
    void Lose(const std::string& reason) { Failed(reason); }
    bool Active() const { return active_; }
    int Picks() const { return picks_; }
    void SetAwaitingDesktop(bool awaiting) { awaiting_ = awaiting; }
    // Pictures that come some time after they are asked for, as a
    // compositor's copies do: Grab waits for Deliver, and a new tick
    // drops a picture that has not come.
    void SetLate(bool late) { late_ = late; }
    int Asks() const { return asks_; }
    void Deliver() {
        delivered_ = true;
        PictureCame();
    }
    void NextPicture() override { asked_ = delivered_ = false; }
    bool AwaitingDesktop() const override { return awaiting_; }

    ScreenAccess Access() const override { return access_; }
    std::string Unavailable() const override { return why_; }
    void SetActive(bool active) override { active_ = active; }
    void PickColor(PickDone done) override {
        ++picks_;
        if (deferPicks_) {
            pending_.push_back(std::move(done));
            return;
        }
        done(picked_, picked_ ? std::string() : "PickColor: the user cancelled");
    }
    // Picks then wait for AnswerPick, as a desktop whose picker is slow or
    // never answers.
    void DeferPicks() { deferPicks_ = true; }
    void AnswerPick(std::size_t pick, std::uint32_t colour) { pending_.at(pick)(colour, {}); }

    QSize Size() const override { return image_.size(); }
    QPoint CursorPos() const override { return cursor_; }
    ScreenGrab Grab(const QRect& area) override;

private:
    QImage image_;
    QPoint cursor_;
    QRegion missing_;
    bool deferPicks_ = false;
    std::vector<PickDone> pending_;
    ScreenAccess access_ = ScreenAccess::Live;
    std::string why_;
    std::optional<std::uint32_t> picked_;
    bool active_ = false;
    bool awaiting_ = false;
    int picks_ = 0;
    bool readable_ = true;
    bool late_ = false;
    bool asked_ = false;
    bool delivered_ = false;
    int asks_ = 0;
    int grabs_ = 0;
};

} // namespace tintorel
