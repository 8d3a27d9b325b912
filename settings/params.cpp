#include "settings/params.h"

#include "platform/filestore.h"
#include "util/utilnumber.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace tintorel {

const char* const kParamsRoot = "Software\\VRQM\\Tintorel";

namespace {

std::unique_ptr<RegistryStore>& StoreSlot() {
    static std::unique_ptr<RegistryStore> store;
    return store;
}

// Runs one primitive on a freshly opened key; any failure or exception of
// the store ends it quietly.
template <class Action> bool WithKey(const std::string& keyPath, Action action) {
    try {
        const std::unique_ptr<RegistryKey> key = SettingsStore().CreateKey(keyPath);
        return key != nullptr && action(*key);
    } catch (...) {
        return false;
    }
}

template <std::size_t N>
void ReadRange(const char* name, const std::array<int, N>& defaults, std::array<int*, N> out) {
    std::string text;
    std::array<int, N> values = defaults;
    if (ReadTextSetting(ParamsKey("\\Range"), name, text)) {
        ParseRangeText(text, values.data(), static_cast<int>(N));
    }
    for (std::size_t i = 0; i < N; ++i) {
        *out[i] = values[i];
    }
}

template <std::size_t N> void WriteRange(const char* name, const std::array<int, N>& values) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += std::to_string(values[i]);
    }
    WriteTextSetting(ParamsKey("\\Range"), name, text);
}

int ReadIntegerOr(const char* subKey, const char* name, int fallback) {
    int value = 0;
    return ReadIntegerSetting(ParamsKey(subKey), name, value) ? value : fallback;
}

std::string ReadTextOrEmpty(const char* name) {
    std::string text;
    ReadTextSetting(ParamsKey("\\File"), name, text);
    return text;
}

} // namespace

RegistryStore& SettingsStore() {
    std::unique_ptr<RegistryStore>& store = StoreSlot();
    if (!store) {
        store = std::make_unique<FileRegistryStore>(SettingsFilePath().value_or(""));
    }
    return *store;
}

void SetSettingsStore(std::unique_ptr<RegistryStore> store) {
    StoreSlot() = std::move(store);
}

SettingsBatch::SettingsBatch() {
    try {
        store_ = &SettingsStore();
        store_->BeginBatch();
    } catch (...) {
        store_ = nullptr;
    }
}

SettingsBatch::~SettingsBatch() {
    // The store may have been replaced meanwhile (tests do); the old one is
    // gone then, and so is its batch.
    if (store_ == nullptr || store_ != StoreSlot().get()) {
        return;
    }
    try {
        store_->EndBatch();
    } catch (...) {
        // As every settings access: a failing store is left alone.
    }
}

std::string ParamsKey(const char* subKey) {
    return std::string(kParamsRoot) + subKey;
}

bool SettingExists(const std::string& keyPath, const std::string& name) {
    return WithKey(keyPath, [&](RegistryKey& key) { return key.ValueExists(name); });
}

bool ReadTextSetting(const std::string& keyPath, const std::string& name, std::string& text) {
    text.clear();
    std::string read;
    const bool ok = WithKey(keyPath, [&](RegistryKey& key) {
        const std::optional<RegValue> value = key.QueryValue(name);
        if (!value || (value->type != RegSz && value->type != RegExpandSz)) {
            return false;
        }
        // The text ends at the first zero byte (or with the data).
        const auto end = std::find(value->data.begin(), value->data.end(), std::uint8_t{0});
        read.assign(value->data.begin(), end);
        return true;
    });
    if (ok) {
        text = std::move(read);
    }
    return ok;
}

bool ReadIntegerSetting(const std::string& keyPath, const std::string& name, int& value) {
    value = 0;
    int read = 0;
    const bool ok = WithKey(keyPath, [&](RegistryKey& key) {
        const std::optional<RegValue> stored = key.QueryValue(name);
        if (!stored || stored->type != RegDword || stored->data.size() != 4) {
            return false;
        }
        std::uint32_t bits = 0;
        std::memcpy(&bits, stored->data.data(), 4); // little-endian on every target we build for
        std::memcpy(&read, &bits, 4);
        return true;
    });
    if (ok) {
        value = read;
    }
    return ok;
}

bool ReadRealSetting(const std::string& keyPath, const std::string& name, float& value) {
    value = 0.0f;
    double read = 0.0;
    const bool ok = WithKey(keyPath, [&](RegistryKey& key) {
        const std::optional<RegValue> stored = key.QueryValue(name);
        if (!stored || stored->type != RegBinary || stored->data.size() != 8) {
            return false;
        }
        std::memcpy(&read, stored->data.data(), 8);
        return true;
    });
    if (ok) {
        value = static_cast<float>(read);
    }
    return ok;
}

void WriteTextSetting(const std::string& keyPath, const std::string& name,
                      const std::string& text) {
    RegValue value{RegSz, {text.begin(), text.end()}};
    value.data.push_back(0);
    WithKey(keyPath, [&](RegistryKey& key) { return key.SetValue(name, value); });
}

void WriteIntegerSetting(const std::string& keyPath, const std::string& name, int number) {
    RegValue value{RegDword, std::vector<std::uint8_t>(4)};
    std::memcpy(value.data.data(), &number, 4);
    WithKey(keyPath, [&](RegistryKey& key) { return key.SetValue(name, value); });
}

void WriteRealSetting(const std::string& keyPath, const std::string& name, float number) {
    const double widened = number;
    RegValue value{RegBinary, std::vector<std::uint8_t>(8)};
    std::memcpy(value.data.data(), &widened, 8);
    WithKey(keyPath, [&](RegistryKey& key) { return key.SetValue(name, value); });
}

float ReadRed() {
    float v = 0;
    ReadRealSetting(ParamsKey("\\Color"), "Red", v);
    return v;
}
float ReadGreen() {
    float v = 0;
    ReadRealSetting(ParamsKey("\\Color"), "Green", v);
    return v;
}
float ReadBlue() {
    float v = 0;
    ReadRealSetting(ParamsKey("\\Color"), "Blue", v);
    return v;
}
void WriteRed(float value) {
    WriteRealSetting(ParamsKey("\\Color"), "Red", value);
}
void WriteGreen(float value) {
    WriteRealSetting(ParamsKey("\\Color"), "Green", value);
}
void WriteBlue(float value) {
    WriteRealSetting(ParamsKey("\\Color"), "Blue", value);
}

int ReadTab() {
    return ReadIntegerOr("\\Tab", "Tab", 0);
}
void WriteTab(int value) {
    WriteIntegerSetting(ParamsKey("\\Tab"), "Tab", value);
}
int ReadXPos() {
    return ReadIntegerOr("\\Pos", "XPos", 0);
}
void WriteXPos(int value) {
    WriteIntegerSetting(ParamsKey("\\Pos"), "XPos", value);
}
int ReadYPos() {
    return ReadIntegerOr("\\Pos", "YPos", 0);
}
void WriteYPos(int value) {
    WriteIntegerSetting(ParamsKey("\\Pos"), "YPos", value);
}
int ReadStayOnTop() {
    return ReadIntegerOr("\\Pos", "StayOnTop", 0);
}
void WriteStayOnTop(int value) {
    WriteIntegerSetting(ParamsKey("\\Pos"), "StayOnTop", value);
}

void ReadTabVisibility(int& rgb, int& hls, int& hsv, int& cmy, int& cmyk, int& name, int& visual) {
    rgb = ReadIntegerOr("\\Tab", "RgbVis", 1);
    hls = ReadIntegerOr("\\Tab", "HlsVis", 1);
    hsv = ReadIntegerOr("\\Tab", "HsvVis", 1);
    cmy = ReadIntegerOr("\\Tab", "CmyVis", 1);
    cmyk = ReadIntegerOr("\\Tab", "CmykVis", 1);
    name = ReadIntegerOr("\\Tab", "NameVis", 1);
    visual = ReadIntegerOr("\\Tab", "VisualVis", 1);
}

void WriteTabVisibility(int rgb, int hls, int hsv, int cmy, int cmyk, int name, int visual) {
    const std::string key = ParamsKey("\\Tab");
    WriteIntegerSetting(key, "RgbVis", rgb);
    WriteIntegerSetting(key, "HlsVis", hls);
    WriteIntegerSetting(key, "HsvVis", hsv);
    WriteIntegerSetting(key, "CmyVis", cmy);
    WriteIntegerSetting(key, "CmykVis", cmyk);
    WriteIntegerSetting(key, "NameVis", name);
    WriteIntegerSetting(key, "VisualVis", visual);
}

void ReadCodeVisibility(int& html, int& visualBasic) {
    html = ReadIntegerOr("\\Format", "HtmlVis", 1);
    visualBasic = ReadIntegerOr("\\Format", "VisualBasicVis", 1);
}

void WriteCodeVisibility(int html, int visualBasic) {
    WriteIntegerSetting(ParamsKey("\\Format"), "HtmlVis", html);
    WriteIntegerSetting(ParamsKey("\\Format"), "VisualBasicVis", visualBasic);
}

void ReadNameSort(int& value) {
    value = ReadIntegerOr("\\Sort", "NameSort", 0);
}
void WriteNameSort(int value) {
    WriteIntegerSetting(ParamsKey("\\Sort"), "NameSort", value);
}
void ReadVisualSort(int& value) {
    value = ReadIntegerOr("\\Sort", "VisualSort", 0);
}
void WriteVisualSort(int value) {
    WriteIntegerSetting(ParamsKey("\\Sort"), "VisualSort", value);
}
void ReadSize(int& value) {
    value = ReadIntegerOr("\\Pipette", "Size", 0);
}
void WriteSize(int value) {
    WriteIntegerSetting(ParamsKey("\\Pipette"), "Size", value);
}
std::string ReadScreenCastToken() {
    std::string token;
    ReadTextSetting(ParamsKey("\\Pipette"), "ScreenCastToken", token);
    return token;
}
void WriteScreenCastToken(const std::string& token) {
    WriteTextSetting(ParamsKey("\\Pipette"), "ScreenCastToken", token);
}

void ReadRgbRange(int& red, int& green, int& blue) {
    ReadRange<3>("RgbRange", {255, 255, 255}, {&red, &green, &blue});
}
void WriteRgbRange(int red, int green, int blue) {
    WriteRange<3>("RgbRange", {red, green, blue});
}
void ReadHlsRange(int& hue, int& lightness, int& saturation) {
    ReadRange<3>("HlsRange", {360, 255, 255}, {&hue, &lightness, &saturation});
}
void WriteHlsRange(int hue, int lightness, int saturation) {
    WriteRange<3>("HlsRange", {hue, lightness, saturation});
}
void ReadHsvRange(int& hue, int& saturation, int& value) {
    ReadRange<3>("HsvRange", {360, 255, 255}, {&hue, &saturation, &value});
}
void WriteHsvRange(int hue, int saturation, int value) {
    WriteRange<3>("HsvRange", {hue, saturation, value});
}
void ReadCmyRange(int& cyan, int& magenta, int& yellow) {
    ReadRange<3>("CmyRange", {255, 255, 255}, {&cyan, &magenta, &yellow});
}
void WriteCmyRange(int cyan, int magenta, int yellow) {
    WriteRange<3>("CmyRange", {cyan, magenta, yellow});
}
void ReadCmykRange(int& cyan, int& magenta, int& yellow, int& black) {
    ReadRange<4>("CmykRange", {255, 255, 255, 255}, {&cyan, &magenta, &yellow, &black});
}
void WriteCmykRange(int cyan, int magenta, int yellow, int black) {
    WriteRange<4>("CmykRange", {cyan, magenta, yellow, black});
}

void ReadColorDir(std::string& text) {
    text = ReadTextOrEmpty("ColorDir");
}
void ReadColorFile(std::string& text) {
    text = ReadTextOrEmpty("ColorFile");
}
void WriteColorFile(const std::string& text) {
    WriteTextSetting(ParamsKey("\\File"), "ColorFile", text);
}
void ReadLocaleDir(std::string& text) {
    text = ReadTextOrEmpty("LocaleDir");
}
void ReadLocaleFile(std::string& text) {
    text = ReadTextOrEmpty("LocaleFile");
}

int ParseRangeText(const std::string& text, int* values, int count) {
    std::size_t at = 0;
    int parsed = 0;
    while (parsed < count) {
        while (at < text.size() && IsSpaceC(text[at])) {
            ++at;
        }
        std::size_t end = at;
        if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
            ++end;
        }
        const std::size_t digits = end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
        }
        if (end == digits) {
            break; // no number here: scanf stops
        }
        bool overflow = false;
        const long number = TextToLong(text.substr(at, end - at), &overflow);
        if (overflow || number < INT_MIN || number > INT_MAX) {
            break; // scanf leaves such a number undefined; we read no further
        }
        values[parsed++] = static_cast<int>(number);
        at = end;
    }
    return parsed;
}

} // namespace tintorel
