#include "settings/params.h"

#include "platform/store/filestore.h"
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

template <std::size_t N> void ReadInto(const RangeSetting& setting, std::array<int*, N> out) {
    const std::vector<int> values = Read(setting);
    for (std::size_t i = 0; i < N; ++i) {
        *out[i] = values[i];
    }
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

int Read(const IntegerSetting& setting) {
    int value = 0;
    return ReadIntegerSetting(ParamsKey(setting.subKey), setting.name, value) ? value
                                                                              : setting.fallback;
}

float Read(const RealSetting& setting) {
    float value = 0;
    return ReadRealSetting(ParamsKey(setting.subKey), setting.name, value) ? value
                                                                           : setting.fallback;
}

std::string Read(const TextSetting& setting) {
    std::string text;
    ReadTextSetting(ParamsKey(setting.subKey), setting.name, text);
    return text;
}

std::vector<int> Read(const RangeSetting& setting) {
    const auto count = static_cast<std::size_t>(setting.count);
    std::vector<int> values(setting.fallback.begin(), setting.fallback.begin() + count);
    std::string text;
    if (ReadTextSetting(ParamsKey(setting.subKey), setting.name, text)) {
        ParseRangeText(text, values.data(), setting.count);
    }
    return values;
}

void Write(const IntegerSetting& setting, int value) {
    WriteIntegerSetting(ParamsKey(setting.subKey), setting.name, value);
}

void Write(const RealSetting& setting, float value) {
    WriteRealSetting(ParamsKey(setting.subKey), setting.name, value);
}

void Write(const TextSetting& setting, const std::string& text) {
    WriteTextSetting(ParamsKey(setting.subKey), setting.name, text);
}

void Write(const RangeSetting& setting, std::span<const int> maxima) {
    std::string text;
    for (std::size_t i = 0; i < static_cast<std::size_t>(setting.count); ++i) {
        if (i > 0) {
            text += ' ';
        }
        // A missing position is written as its default.
        text += std::to_string(i < maxima.size() ? maxima[i] : setting.fallback[i]);
    }
    WriteTextSetting(ParamsKey(setting.subKey), setting.name, text);
}

bool Exists(const TextSetting& setting) {
    return SettingExists(ParamsKey(setting.subKey), setting.name);
}

bool Exists(const IntegerSetting& setting) {
    return SettingExists(ParamsKey(setting.subKey), setting.name);
}

void ReadTabVisibility(int& rgb, int& hls, int& hsv, int& cmy, int& cmyk, int& name, int& visual) {
    const std::array<int*, 7> out{&rgb, &hls, &hsv, &cmy, &cmyk, &name, &visual};
    for (std::size_t i = 0; i < out.size(); ++i) {
        *out[i] = Read(*kTabVisibility[i]);
    }
}

std::array<bool, 8> ShownPages() {
    std::array<bool, 8> shown{};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i] = Read(*kTabVisibility[i]) != 0;
    }
    if (std::none_of(shown.begin(), shown.end(), [](bool page) { return page; })) {
        shown[0] = true;
    }
    return shown;
}

void WriteTabVisibility(int rgb, int hls, int hsv, int cmy, int cmyk, int name, int visual) {
    const std::array<int, 7> values{rgb, hls, hsv, cmy, cmyk, name, visual};
    for (std::size_t i = 0; i < values.size(); ++i) {
        Write(*kTabVisibility[i], values[i]);
    }
}

void ReadRgbRange(int& red, int& green, int& blue) {
    ReadInto<3>(setting::RgbRange, {&red, &green, &blue});
}
void WriteRgbRange(int red, int green, int blue) {
    Write(setting::RgbRange, std::array{red, green, blue});
}
void ReadHlsRange(int& hue, int& lightness, int& saturation) {
    ReadInto<3>(setting::HlsRange, {&hue, &lightness, &saturation});
}
void WriteHlsRange(int hue, int lightness, int saturation) {
    Write(setting::HlsRange, std::array{hue, lightness, saturation});
}
void ReadHsvRange(int& hue, int& saturation, int& value) {
    ReadInto<3>(setting::HsvRange, {&hue, &saturation, &value});
}
void WriteHsvRange(int hue, int saturation, int value) {
    Write(setting::HsvRange, std::array{hue, saturation, value});
}
void ReadCmyRange(int& cyan, int& magenta, int& yellow) {
    ReadInto<3>(setting::CmyRange, {&cyan, &magenta, &yellow});
}
void WriteCmyRange(int cyan, int magenta, int yellow) {
    Write(setting::CmyRange, std::array{cyan, magenta, yellow});
}
void ReadCmykRange(int& cyan, int& magenta, int& yellow, int& black) {
    ReadInto<4>(setting::CmykRange, {&cyan, &magenta, &yellow, &black});
}
void WriteCmykRange(int cyan, int magenta, int yellow, int black) {
    Write(setting::CmykRange, std::array{cyan, magenta, yellow, black});
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
