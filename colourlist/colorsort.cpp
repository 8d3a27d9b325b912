#include "colourlist/colorsort.h"

#include "util/utilnumber.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace tintorel {

namespace {

constexpr double kTurn = 1.0 / 360.0;

// The entry's HLS components, from its colour rounded to 8 bits a channel.
struct Hls {
    float h;
    float l;
    float s;
};

Hls HlsOf(const BColorStruct& entry) {
    BColorHls hls(0, 0, 0);
    hls.FromColor(entry.Color.ToColor());
    return {hls.Hue(), hls.Lightness(), hls.Saturation()};
}

int Hue10Of(const Hls& c) {
    return TruncToInt(c.h * kTurn * 10.0);
}
int Hue100Of(const Hls& c) {
    return TruncToInt(c.h * kTurn * 100.0);
}
int Hue100ByShareOf(const Hls& c) {
    return TruncToInt(c.h * 100.0 * kTurn);
}
int Light100Of(const Hls& c) {
    return TruncToInt(c.l * 100.0);
}
int Light7Of(const Hls& c) {
    return TruncToInt(c.l * 7.0);
}
int Light8Of(const Hls& c) {
    return TruncToInt(c.l * 8.0);
}

// Class 0 holds exactly the greys and class 5 exactly the fully saturated
// colours, so the edges are pulled in for everything else.
int Sat5Of(const Hls& c) {
    int sat = TruncToInt(c.s * 5.0);
    if (sat == 0 && c.s != 0.0f) {
        sat = 1;
    }
    if (sat == 5 && c.s != 1.0f) {
        sat = 4;
    }
    return sat;
}

// Greys and fully saturated colours order by lightness first; the classes
// between them by hue alone.
bool SatUsesLightness(int sat5) {
    return sat5 == 0 || sat5 == 5;
}

float ChannelOf(const BColorStruct& entry, Channel channel) {
    switch (channel) {
    case Channel::Red:
        return entry.Color.Red();
    case Channel::Green:
        return entry.Color.Green();
    case Channel::Blue:
        break;
    }
    return entry.Color.Blue();
}

// Each order as a tuple of integers compared left to right: the same test as
// the order's class, computed once per entry instead of at every comparison.
using Key = std::array<int, 3>;

Key KeyOf(int order, const BColorStruct& entry) {
    if (order == SortFile) {
        return {entry.FileIndex, 0, 0};
    }
    const Hls c = HlsOf(entry);
    switch (order) {
    case SortHue:
        return {Hue10Of(c), Light100Of(c), 0};
    case SortLightness:
        return {Light7Of(c), Hue100Of(c), 0};
    case SortSaturation: {
        const int sat = Sat5Of(c);
        return {sat, SatUsesLightness(sat) ? Light8Of(c) : 0, Hue100Of(c)};
    }
    case SortRed:
        return {Share5(entry, Channel::Red), Hue100ByShareOf(c), 0};
    case SortGreen:
        return {Share5(entry, Channel::Green), Hue100ByShareOf(c), 0};
    default:
        return {Share5(entry, Channel::Blue), Hue100ByShareOf(c), 0};
    }
}

// Every key of an entry read from a file is a small non-negative number
// (classes, percentages, a file position); such keys pack into one integer
// that compares the same way and sorts much faster.
constexpr int kFieldBits = 21;
constexpr int kFieldLimit = 1 << kFieldBits;

bool Packable(const Key& key) {
    return std::all_of(key.begin(), key.end(), [](int v) { return v >= 0 && v < kFieldLimit; });
}

std::uint64_t Pack(const Key& key) {
    return static_cast<std::uint64_t>(key[0]) << (2 * kFieldBits) |
           static_cast<std::uint64_t>(key[1]) << kFieldBits | static_cast<std::uint64_t>(key[2]);
}

// A name's first sixteen bytes as two big-endian numbers, shorter names
// padded with zero bytes, then the whole name: for names without digits,
// comparing the numbers first orders them exactly as the natural order
// (their bytes) does, and settles nearly
// every pair without touching the strings.
struct NameKey {
    std::uint64_t high;
    std::uint64_t low;
    std::string_view name;
    bool digits; // where either name has digits, the natural order decides

    explicit NameKey(const std::string& text)
        : high(Bytes(text, 0)), low(Bytes(text, 8)), name(text),
          digits(text.find_first_of("0123456789") != std::string::npos) {}
    bool operator<(const NameKey& other) const {
        if (digits || other.digits) {
            return NaturalLess(name, other.name);
        }
        if (high != other.high) {
            return high < other.high;
        }
        if (low != other.low) {
            return low < other.low;
        }
        return name < other.name;
    }

private:
    static std::uint64_t Bytes(const std::string& text, std::size_t from) {
        std::uint64_t value = 0;
        for (std::size_t i = from; i < from + 8; ++i) {
            value = value << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
        }
        return value;
    }
};

// Sorts the positions by the key each one has, computed once up front; only
// the small (key, position) pairs move while sorting.
template <class KeyOfPosition>
void SortIndices(std::vector<std::uint32_t>& positions, KeyOfPosition keyOf) {
    using K = decltype(keyOf(0u));
    std::vector<std::pair<K, std::uint32_t>> keyed;
    keyed.reserve(positions.size());
    for (const std::uint32_t i : positions) {
        keyed.emplace_back(keyOf(i), i);
    }
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        positions[i] = keyed[i].second;
    }
}

} // namespace

int Hue10(const BColorStruct& entry) {
    return Hue10Of(HlsOf(entry));
}
int Hue100(const BColorStruct& entry) {
    return Hue100Of(HlsOf(entry));
}
int Hue100ByShare(const BColorStruct& entry) {
    return Hue100ByShareOf(HlsOf(entry));
}
int Light100(const BColorStruct& entry) {
    return Light100Of(HlsOf(entry));
}
int Light7(const BColorStruct& entry) {
    return Light7Of(HlsOf(entry));
}
int Light8(const BColorStruct& entry) {
    return Light8Of(HlsOf(entry));
}
int Sat5(const BColorStruct& entry) {
    return Sat5Of(HlsOf(entry));
}

int Share5(const BColorStruct& entry, Channel channel) {
    const float c = ChannelOf(entry, channel);
    if (c == 0.0f) {
        return 0;
    }
    const double sum =
        static_cast<double>(entry.Color.Red()) + entry.Color.Green() + entry.Color.Blue();
    return TruncToInt(c / sum * 5.0);
}

bool NaturalLess(std::string_view x, std::string_view y) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < x.size() && j < y.size()) {
        if (digit(x[i]) && digit(y[j])) {
            // The two numbers without their leading zeros: the longer is
            // the larger, else the first differing digit decides.
            std::size_t endX = i;
            std::size_t endY = j;
            while (endX < x.size() && digit(x[endX])) {
                ++endX;
            }
            while (endY < y.size() && digit(y[endY])) {
                ++endY;
            }
            std::size_t startX = i;
            std::size_t startY = j;
            while (startX + 1 < endX && x[startX] == '0') {
                ++startX;
            }
            while (startY + 1 < endY && y[startY] == '0') {
                ++startY;
            }
            const std::string_view numberX = x.substr(startX, endX - startX);
            const std::string_view numberY = y.substr(startY, endY - startY);
            if (numberX.size() != numberY.size()) {
                return numberX.size() < numberY.size();
            }
            if (numberX != numberY) {
                return numberX < numberY;
            }
            i = endX;
            j = endY;
            continue;
        }
        if (x[i] != y[j]) {
            return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[j]);
        }
        ++i;
        ++j;
    }
    if (i < x.size() || j < y.size()) {
        return i == x.size(); // the name that ends first is less
    }
    // Alike as numbers and text: the bytes decide ("07" before "7").
    return x < y;
}

bool BSortAlpha::operator()(const BColorStruct& x, const BColorStruct& y) const {
    return NaturalLess(x.Name, y.Name);
}

bool BSortFile::operator()(const BColorStruct& x, const BColorStruct& y) const {
    return x.FileIndex < y.FileIndex;
}

bool BSortHue::operator()(const BColorStruct& x, const BColorStruct& y) const {
    const Hls a = HlsOf(x);
    const Hls b = HlsOf(y);
    if (Hue10Of(a) != Hue10Of(b)) {
        return Hue10Of(a) < Hue10Of(b);
    }
    return Light100Of(a) < Light100Of(b);
}

bool BSortLight::operator()(const BColorStruct& x, const BColorStruct& y) const {
    const Hls a = HlsOf(x);
    const Hls b = HlsOf(y);
    if (Light7Of(a) != Light7Of(b)) {
        return Light7Of(a) < Light7Of(b);
    }
    return Hue100Of(a) < Hue100Of(b);
}

bool BSortSat::operator()(const BColorStruct& x, const BColorStruct& y) const {
    const Hls a = HlsOf(x);
    const Hls b = HlsOf(y);
    const int satA = Sat5Of(a);
    const int satB = Sat5Of(b);
    if (satA != satB) {
        return satA < satB;
    }
    if (SatUsesLightness(satA) && Light8Of(a) != Light8Of(b)) {
        return Light8Of(a) < Light8Of(b);
    }
    return Hue100Of(a) < Hue100Of(b);
}

bool BSortShare::operator()(const BColorStruct& x, const BColorStruct& y) const {
    const int shareX = Share5(x, channel);
    const int shareY = Share5(y, channel);
    if (shareX != shareY) {
        return shareX < shareY;
    }
    return Hue100ByShare(x) < Hue100ByShare(y);
}

std::vector<std::string> SortColorList(int order) {
    std::vector<BColorStruct>& list = ColorList();
    if (order >= SortAlphabetical && order <= SortBlue) {
        std::vector<std::uint32_t> sorted(list.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            sorted[i] = static_cast<std::uint32_t>(i);
        }
        if (order == SortAlphabetical) {
            SortIndices(sorted, [&list](std::uint32_t i) { return NameKey(list[i].Name); });
        } else {
            std::vector<Key> keys;
            keys.reserve(list.size());
            bool packable = true;
            for (const BColorStruct& entry : list) {
                keys.push_back(KeyOf(order, entry));
                packable = packable && Packable(keys.back());
            }
            if (packable) {
                SortIndices(sorted, [&keys](std::uint32_t i) { return Pack(keys[i]); });
            } else {
                SortIndices(sorted, [&keys](std::uint32_t i) { return keys[i]; });
            }
        }
        std::vector<BColorStruct> reordered;
        reordered.reserve(list.size());
        for (const std::uint32_t i : sorted) {
            reordered.push_back(std::move(list[i]));
        }
        list = std::move(reordered);
    }
    std::vector<std::string> names;
    names.reserve(list.size());
    for (const BColorStruct& entry : list) {
        names.push_back(entry.Name);
    }
    return names;
}

int FindColorIndex(const std::string& name) {
    const std::vector<BColorStruct>& list = ColorList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].Name == name) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

int FindNearestColor(float red, float green, float blue) {
    const std::vector<BColorStruct>& list = ColorList();
    // 3.0 is the largest distance between two in-range colours; an entry at
    // exactly that distance does not beat position 0.
    float best = 3.0f;
    int bestIndex = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const float dr = red - list[i].Color.Red();
        const float dg = green - list[i].Color.Green();
        const float db = blue - list[i].Color.Blue();
        const float d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            bestIndex = static_cast<int>(i);
        }
    }
    return bestIndex;
}

} // namespace tintorel
