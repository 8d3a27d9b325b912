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

namespace tintorel {

class ScreenReader {
public:
    virtual ~ScreenReader() = default;

    // The virtual desktop's size in device pixels; its top-left is (0, 0).
    virtual QSize Size() const = 0;
    virtual QPoint CursorPos() const = 0;

    // Takes what `area` of the screen shows, for the reads below; false when
    // the screen cannot be read at all (then nothing may be read).
    virtual bool Open(const QRect& area) = 0;
    // A pixel of the opened area as 0x00BBGGRR; black outside every monitor.
    virtual std::uint32_t Pixel(int x, int y) const = 0;
    // Copies `source` (within the opened area) stretched into `target` at
    // `destination`.
    virtual void StretchCopy(const QRect& source, QImage& target,
                             const QRect& destination) const = 0;
    virtual void Close() = 0;
};

// The real screen through Qt: QScreen::grabWindow on each monitor that the
// area touches, at the monitor's device pixel ratio.
class QtScreenReader : public ScreenReader {
public:
    QSize Size() const override;
    QPoint CursorPos() const override;
    bool Open(const QRect& area) override;
    std::uint32_t Pixel(int x, int y) const override;
    void StretchCopy(const QRect& source, QImage& target, const QRect& destination) const override;
    void Close() override;

private:
    QRect area_;
    QImage grabbed_; // the opened area, black where no monitor is
};

// A screen made of an image, for tests.
class ImageScreenReader : public ScreenReader {
public:
    explicit ImageScreenReader(QImage image) : image_(std::move(image)) {}

    void SetCursorPos(QPoint position) { cursor_ = position; }
    void SetReadable(bool readable) { readable_ = readable; }
    int Opens() const { return opens_; }
    bool IsOpen() const { return open_; }

    QSize Size() const override { return image_.size(); }
    QPoint CursorPos() const override { return cursor_; }
    bool Open(const QRect& area) override;
    std::uint32_t Pixel(int x, int y) const override;
    void StretchCopy(const QRect& source, QImage& target, const QRect& destination) const override;
    void Close() override { open_ = false; }

private:
    QImage image_;
    QPoint cursor_;
    bool readable_ = true;
    bool open_ = false;
    int opens_ = 0;
};

} // namespace tintorel
