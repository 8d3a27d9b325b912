// Every setting that survives from one run to the next, read when it is
// applied and written when it is saved; nothing is cached in between. Each
// read returns its fixed default when the value is missing or has the wrong
// type, and every failure of the store is swallowed here.
#pragma once

#include "platform/store/registry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tintorel {

// The store the settings live in: by default the user's settings file.
RegistryStore& SettingsStore();
// Replaces the store (tests, or a program that keeps its settings elsewhere).
void SetSettingsStore(std::unique_ptr<RegistryStore> store);

// Groups the settings accesses of one handler for as long as it lives: the
// store is read once, and what is written is saved together when the
// outermost group ends, in one rewrite of the file.
class SettingsBatch {
public:
    SettingsBatch();
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

private:
    RegistryStore* store_ = nullptr;
};

// The key path of all settings and its sub-keys.
extern const char* const kParamsRoot;      // "Software\\VRQM\\Tintorel"
std::string ParamsKey(const char* subKey); // kParamsRoot + subKey, e.g. "\\Color"

// The primitives. Each opens (and creates) the key for this one call.
bool ReadTextSetting(const std::string& keyPath, const std::string& name, std::string& text);
bool ReadIntegerSetting(const std::string& keyPath, const std::string& name, int& value);
bool ReadRealSetting(const std::string& keyPath, const std::string& name, float& value);
void WriteTextSetting(const std::string& keyPath, const std::string& name, const std::string& text);
void WriteIntegerSetting(const std::string& keyPath, const std::string& name, int value);
void WriteRealSetting(const std::string& keyPath, const std::string& name, float value);

// Whether the value exists at all, whatever its type.
bool SettingExists(const std::string& keyPath, const std::string& name);

// One description per setting: where it lives, its kind and what a read
// gives when the value is missing or unreadable. The generic reads and
// writes below work from these; the named accessors are one call each.
struct IntegerSetting {
    const char* subKey;
    const char* name;
    int fallback;
};
struct RealSetting {
    const char* subKey;
    const char* name;
    float fallback;
};
// A text's default is the empty text.
struct TextSetting {
    const char* subKey;
    const char* name;
};
// Slider maxima as one text of `count` numbers ("%d %d %d"); a position the
// stored text gives no number for takes its default.
struct RangeSetting {
    const char* subKey;
    const char* name;
    int count;
    std::array<int, 4> fallback;
};

// Every setting, in the order of its sub-key.
namespace setting {
inline constexpr RealSetting Red{"\\Color", "Red", 0.0f};
inline constexpr RealSetting Green{"\\Color", "Green", 0.0f};
inline constexpr RealSetting Blue{"\\Color", "Blue", 0.0f};
// The colour the contrast is also measured against, as 0x00BBGGRR; only
// its low 24 bits are read. White until the user keeps one.
inline constexpr IntegerSetting Kept{"\\Color", "Kept", 0xFFFFFF};
inline constexpr IntegerSetting Tab{"\\Tab", "Tab", 0};
inline constexpr IntegerSetting RgbVis{"\\Tab", "RgbVis", 1};
inline constexpr IntegerSetting HlsVis{"\\Tab", "HlsVis", 1};
inline constexpr IntegerSetting HsvVis{"\\Tab", "HsvVis", 1};
inline constexpr IntegerSetting CmyVis{"\\Tab", "CmyVis", 1};
inline constexpr IntegerSetting CmykVis{"\\Tab", "CmykVis", 1};
inline constexpr IntegerSetting NameVis{"\\Tab", "NameVis", 1};
inline constexpr IntegerSetting VisualVis{"\\Tab", "VisualVis", 1};
// Added after the first seven pages: a file without it shows the page.
inline constexpr IntegerSetting OklchVis{"\\Tab", "OklchVis", 1};
inline constexpr IntegerSetting NameSort{"\\Sort", "NameSort", 0};
inline constexpr IntegerSetting VisualSort{"\\Sort", "VisualSort", 0};
inline constexpr IntegerSetting XPos{"\\Pos", "XPos", 0};
inline constexpr IntegerSetting YPos{"\\Pos", "YPos", 0};
inline constexpr IntegerSetting StayOnTop{"\\Pos", "StayOnTop", 0};
inline constexpr IntegerSetting HtmlVis{"\\Format", "HtmlVis", 1};
inline constexpr IntegerSetting VisualBasicVis{"\\Format", "VisualBasicVis", 1};
inline constexpr RangeSetting RgbRange{"\\Range", "RgbRange", 3, {255, 255, 255, 0}};
inline constexpr RangeSetting HlsRange{"\\Range", "HlsRange", 3, {360, 255, 255, 0}};
inline constexpr RangeSetting HsvRange{"\\Range", "HsvRange", 3, {360, 255, 255, 0}};
inline constexpr RangeSetting CmyRange{"\\Range", "CmyRange", 3, {255, 255, 255, 0}};
inline constexpr RangeSetting CmykRange{"\\Range", "CmykRange", 4, {255, 255, 255, 255}};
inline constexpr RangeSetting OklchRange{"\\Range", "OklchRange", 3, {100, 100, 360, 0}};
inline constexpr TextSetting ColorDir{"\\File", "ColorDir"};
inline constexpr TextSetting ColorFile{"\\File", "ColorFile"};
inline constexpr TextSetting LocaleDir{"\\File", "LocaleDir"};
inline constexpr TextSetting LocaleFile{"\\File", "LocaleFile"};
inline constexpr IntegerSetting Size{"\\Pipette", "Size", 0};
// The screen-casting portal's restore token: with it the desktop does not
// ask again for the screen.
inline constexpr TextSetting ScreenCastToken{"\\Pipette", "ScreenCastToken"};

// The sub-keys, in the order a first run creates them.
inline constexpr std::array<const char*, 8> SubKeys{"\\Color",  "\\Tab",   "\\Sort", "\\Pos",
                                                    "\\Format", "\\Range", "\\File", "\\Pipette"};
} // namespace setting

int Read(const IntegerSetting& setting);
float Read(const RealSetting& setting);
std::string Read(const TextSetting& setting);
std::vector<int> Read(const RangeSetting& setting); // `count` numbers
void Write(const IntegerSetting& setting, int value);
void Write(const RealSetting& setting, float value);
void Write(const TextSetting& setting, const std::string& text);
void Write(const RangeSetting& setting, std::span<const int> maxima); // `count` numbers
// Whether the value exists at all, whatever its type.
bool Exists(const TextSetting& setting);
bool Exists(const IntegerSetting& setting);

// The named accessors.
inline float ReadRed() {
    return Read(setting::Red);
}
inline float ReadGreen() {
    return Read(setting::Green);
}
inline float ReadBlue() {
    return Read(setting::Blue);
}
inline void WriteRed(float value) {
    Write(setting::Red, value);
}
inline void WriteGreen(float value) {
    Write(setting::Green, value);
}
inline void WriteBlue(float value) {
    Write(setting::Blue, value);
}

// The colour kept for the contrast, as 0x00BBGGRR: the low 24 bits of
// whatever number is stored.
inline std::uint32_t ReadKept() {
    return static_cast<std::uint32_t>(Read(setting::Kept)) & 0xFFFFFFu;
}
inline void WriteKept(std::uint32_t colour) {
    Write(setting::Kept, static_cast<int>(colour & 0xFFFFFFu));
}

inline int ReadTab() {
    return Read(setting::Tab);
}
inline void WriteTab(int value) {
    Write(setting::Tab, value);
}
inline int ReadXPos() {
    return Read(setting::XPos);
}
inline void WriteXPos(int value) {
    Write(setting::XPos, value);
}
inline int ReadYPos() {
    return Read(setting::YPos);
}
inline void WriteYPos(int value) {
    Write(setting::YPos, value);
}
inline int ReadStayOnTop() {
    return Read(setting::StayOnTop);
}
inline void WriteStayOnTop(int value) {
    Write(setting::StayOnTop, value);
}

// The tabs' visibility settings in the order of the accessors' arguments,
// then the OKLCH page's, which came later.
inline constexpr std::array<const IntegerSetting*, 8> kTabVisibility{
    &setting::RgbVis,  &setting::HlsVis,  &setting::HsvVis,    &setting::CmyVis,
    &setting::CmykVis, &setting::NameVis, &setting::VisualVis, &setting::OklchVis};
void ReadTabVisibility(int& rgb, int& hls, int& hsv, int& cmy, int& cmyk, int& name, int& visual);
void WriteTabVisibility(int rgb, int hls, int hsv, int cmy, int cmyk, int name, int visual);
// Which of the eight pages the window shows, in the order above: those
// whose setting is not 0, or the RGB page alone when a hand-edited file
// hides them all (a window without pages would show nothing to edit).
std::array<bool, 8> ShownPages();
inline void ReadCodeVisibility(int& html, int& visualBasic) {
    html = Read(setting::HtmlVis);
    visualBasic = Read(setting::VisualBasicVis);
}
inline void WriteCodeVisibility(int html, int visualBasic) {
    Write(setting::HtmlVis, html);
    Write(setting::VisualBasicVis, visualBasic);
}

inline void ReadNameSort(int& value) {
    value = Read(setting::NameSort);
}
inline void WriteNameSort(int value) {
    Write(setting::NameSort, value);
}
inline void ReadVisualSort(int& value) {
    value = Read(setting::VisualSort);
}
inline void WriteVisualSort(int value) {
    Write(setting::VisualSort, value);
}
inline void ReadSize(int& value) {
    value = Read(setting::Size);
}
// The pipette's sizes: the side of the sampled square in screen pixels.
inline constexpr int kPipetteSmall = 1;
inline constexpr int kPipetteBigger = 3;
inline constexpr int kPipetteMuchBigger = 7;
// The size a stored value stands for, one rule for the preferences and the
// sampler: 3 and 7 as they are, anything else (0 before a size was ever
// chosen, or a hand-edited number) the smallest. The stored value itself is
// left as it is until the user confirms another.
constexpr int PipetteSizeOf(int stored) {
    return stored == kPipetteBigger || stored == kPipetteMuchBigger ? stored : kPipetteSmall;
}
inline void WriteSize(int value) {
    Write(setting::Size, value);
}
inline std::string ReadScreenCastToken() {
    return Read(setting::ScreenCastToken);
}
inline void WriteScreenCastToken(const std::string& token) {
    Write(setting::ScreenCastToken, token);
}

void ReadRgbRange(int& red, int& green, int& blue);
void WriteRgbRange(int red, int green, int blue);
void ReadHlsRange(int& hue, int& lightness, int& saturation);
void WriteHlsRange(int hue, int lightness, int saturation);
void ReadHsvRange(int& hue, int& saturation, int& value);
void WriteHsvRange(int hue, int saturation, int value);
void ReadCmyRange(int& cyan, int& magenta, int& yellow);
void WriteCmyRange(int cyan, int magenta, int yellow);
void ReadCmykRange(int& cyan, int& magenta, int& yellow, int& black);
void WriteCmykRange(int cyan, int magenta, int yellow, int black);

// Texts, default empty. Only ColorFile is written by the program; the
// folders and the language file are put there by the set-up step.
inline void ReadColorDir(std::string& text) {
    text = Read(setting::ColorDir);
}
inline void ReadColorFile(std::string& text) {
    text = Read(setting::ColorFile);
}
inline void WriteColorFile(const std::string& text) {
    Write(setting::ColorFile, text);
}
inline void ReadLocaleDir(std::string& text) {
    text = Read(setting::LocaleDir);
}
inline void ReadLocaleFile(std::string& text) {
    text = Read(setting::LocaleFile);
}

// Reads as many numbers as `count` from a range text with the rules of
// scanf's "%d %d ...": each number may follow white space, parsing stops at
// the first character that does not fit, and a number beyond the int range
// ends the parse there. Returns how many numbers were read into `values`.
int ParseRangeText(const std::string& text, int* values, int count);

} // namespace tintorel
