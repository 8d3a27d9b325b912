// Every setting that survives from one run to the next, read when it is
// applied and written when it is saved; nothing is cached in between. Each
// read returns its fixed default when the value is missing or has the wrong
// type, and every failure of the store is swallowed here.
#pragma once

#include "platform/registry.h"

#include <memory>
#include <string>

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

// The current colour's components (default 0).
float ReadRed();
float ReadGreen();
float ReadBlue();
void WriteRed(float value);
void WriteGreen(float value);
void WriteBlue(float value);

int ReadTab(); // default 0
void WriteTab(int value);
int ReadXPos(); // default 0
void WriteXPos(int value);
int ReadYPos(); // default 0
void WriteYPos(int value);
int ReadStayOnTop(); // default 0
void WriteStayOnTop(int value);

// Each visibility defaults to 1 (shown).
void ReadTabVisibility(int& rgb, int& hls, int& hsv, int& cmy, int& cmyk, int& name, int& visual);
void WriteTabVisibility(int rgb, int hls, int hsv, int cmy, int cmyk, int name, int visual);
void ReadCodeVisibility(int& html, int& visualBasic);
void WriteCodeVisibility(int html, int visualBasic);

void ReadNameSort(int& value); // default 0
void WriteNameSort(int value);
void ReadVisualSort(int& value); // default 0
void WriteVisualSort(int value);
void ReadSize(int& value); // default 0
void WriteSize(int value);
// The screen-casting portal's restore token: with it the desktop does not
// ask again for the screen. Empty when there is none.
std::string ReadScreenCastToken();
void WriteScreenCastToken(const std::string& token);

// Slider maxima, stored as "%d %d %d". Defaults: RGB and CMY 255 each, HLS
// and HSV 360, 255, 255, CMYK 255 four times; a position the stored text
// does not give a number for takes its default.
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
void ReadColorDir(std::string& text);
void ReadColorFile(std::string& text);
void WriteColorFile(const std::string& text);
void ReadLocaleDir(std::string& text);
void ReadLocaleFile(std::string& text);

// Reads as many numbers as `count` from a range text with the rules of
// scanf's "%d %d ...": each number may follow white space, parsing stops at
// the first character that does not fit, and a number beyond the int range
// ends the parse there. Returns how many numbers were read into `values`.
int ParseRangeText(const std::string& text, int* values, int count);

} // namespace tintorel
