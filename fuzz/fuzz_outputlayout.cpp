// What a compositor sends about its outputs and copies: places anywhere an
// int reaches, any scale and transform, copies of any size, stride and byte
// count. Whatever it sends, laying out the desktop, asking for regions and
// reading every pixel of the pipette's area stays in bounds and defined.
#include "platform/desktop/outputlayout.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Reads the next value from the input, zero once it is used up.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T> T Next() {
        T value{};
        const std::size_t n = std::min(sizeof(T), size_ - used_);
        std::memcpy(&value, data_ + used_, n);
        used_ += n;
        return value;
    }
    std::size_t Left() const { return size_ - used_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    Input in(data, size);
    std::vector<OutputPlace> outputs(in.Next<std::uint8_t>() % 4 + 1);
    for (OutputPlace& output : outputs) {
        output.area = {in.Next<std::int32_t>(), in.Next<std::int32_t>(), in.Next<std::int32_t>(),
                       in.Next<std::int32_t>()};
        output.scale = in.Next<double>();
        output.turn = TurnOf(in.Next<std::int32_t>());
    }
    OutputLayout layout;
    layout.SetOutputs(outputs);
    const double x = in.Next<double>();
    const double y = in.Next<double>();
    layout.FollowPointer(x, y);
    const DesktopPoint at = layout.ToDevice(x, y);
    (void)layout.Size();
    const int side = in.Next<std::uint8_t>() % 9 + 1;
    const int left = at.x - side / 2;
    const int top = at.y - side / 2;
    // Twice: the first reading may learn how the compositor turns regions.
    for (int reading = 0; reading < 2; ++reading) {
        std::vector<CopiedRegion> copies;
        for (const RegionRequest& request : layout.RegionsFor(left, top, side, side)) {
            if (request.output >= outputs.size() || request.region.width <= 0 ||
                request.region.height <= 0) {
                std::abort();
            }
            CopiedRegion copy;
            copy.output = in.Next<std::uint8_t>() % 2 == 0 ? request.output : in.Next<std::uint8_t>();
            copy.region = request.region;
            copy.width = in.Next<std::int8_t>();
            copy.height = in.Next<std::int8_t>();
            copy.stride = in.Next<std::int16_t>();
            copy.format = static_cast<FrameFormat>(in.Next<std::uint8_t>() % 4);
            copy.yInverted = in.Next<std::uint8_t>() % 2 == 1;
            copy.bytes.resize(in.Next<std::uint16_t>() % 40000);
            copies.push_back(std::move(copy));
        }
        layout.SetCopied(std::move(copies));
        for (int column = left; column < left + side; ++column) {
            for (int row = top; row < top + side; ++row) {
                if (!layout.PixelExists(column, row) && layout.Pixel(column, row) != 0) {
                    std::abort(); // a pixel that is not there reads black
                }
            }
        }
    }
    return 0;
}
