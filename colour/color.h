// The colour-space classes. Every colour the program holds is one of these;
// all conversions between two non-RGB spaces go through RGB. Components are
// single-precision: hue in degrees (0..360, or -1 for an undefined HSV hue),
// every other component a fraction in 0..1. Nothing is clamped anywhere:
// out-of-range values flow through the formulas unchanged.
#pragma once

#include <cstdint>
#include <string>

namespace tintorel {

// 0x00BBGGRR: red in the low byte, blue in bits 16..23.
using PackedColor = std::uint32_t;

class BColor {
public:
    virtual ~BColor() = default;

    virtual void ToRgb(float& red, float& green, float& blue) const = 0;
    virtual void FromRgb(float red, float green, float blue) = 0;
    // Unpacks each channel as byte × (1/255) and calls FromRgb; bits 24..31
    // are ignored.
    virtual void FromColor(PackedColor color);
    // The short text form, for example "RGB|100|50|0".
    virtual std::string ToText() const = 0;
    // Reads the text form; a text with the wrong number of fields is ignored.
    virtual void FromText(std::string text) = 0;

    // Each channel becomes the low 8 bits of trunc(x × 255 + 0.5).
    PackedColor ToColor() const;

protected:
    BColor() = default;
    BColor(const BColor&) = default;
    BColor& operator=(const BColor&) = default;
};

class BColorRgb : public BColor {
public:
    BColorRgb(float red, float green, float blue) : red_(red), green_(green), blue_(blue) {}
    BColorRgb(const BColorRgb&) = default;
    BColorRgb& operator=(const BColorRgb&) = default;

    void ToRgb(float& red, float& green, float& blue) const override;
    void FromRgb(float red, float green, float blue) override;
    std::string ToText() const override;
    void FromText(std::string text) override;

    float Red() const { return red_; }
    float Green() const { return green_; }
    float Blue() const { return blue_; }
    void SetRed(float value) { red_ = value; }
    void SetGreen(float value) { green_ = value; }
    void SetBlue(float value) { blue_ = value; }

private:
    float red_;
    float green_;
    float blue_;
};

class BColorHls : public BColor {
public:
    BColorHls(float hue, float lightness, float saturation)
        : hue_(hue), lightness_(lightness), saturation_(saturation) {}

    void ToRgb(float& red, float& green, float& blue) const override;
    void FromRgb(float red, float green, float blue) override;
    std::string ToText() const override;
    void FromText(std::string text) override;

    float Hue() const { return hue_; }
    float Lightness() const { return lightness_; }
    float Saturation() const { return saturation_; }
    void SetHue(float value) { hue_ = value; }
    void SetLightness(float value) { lightness_ = value; }
    void SetSaturation(float value) { saturation_ = value; }

private:
    float hue_;
    float lightness_;
    float saturation_;
};

class BColorHsv : public BColor {
public:
    // The hue a grey gets from FromRgb: its hue is undefined.
    static constexpr float kUndefinedHue = -1.0f;

    BColorHsv(float hue, float saturation, float value)
        : hue_(hue), saturation_(saturation), value_(value) {}

    void ToRgb(float& red, float& green, float& blue) const override;
    void FromRgb(float red, float green, float blue) override;
    std::string ToText() const override;
    void FromText(std::string text) override;

    float Hue() const { return hue_; }
    float Saturation() const { return saturation_; }
    float Value() const { return value_; }

private:
    float hue_;
    float saturation_;
    float value_;
};

class BColorCmy : public BColor {
public:
    BColorCmy(float cyan, float magenta, float yellow)
        : cyan_(cyan), magenta_(magenta), yellow_(yellow) {}

    void ToRgb(float& red, float& green, float& blue) const override;
    void FromRgb(float red, float green, float blue) override;
    std::string ToText() const override;
    void FromText(std::string text) override;

    float Cyan() const { return cyan_; }
    float Magenta() const { return magenta_; }
    float Yellow() const { return yellow_; }

private:
    float cyan_;
    float magenta_;
    float yellow_;
};

// CMYK with full under-colour removal: black takes all the grey it can.
class BColorCmyk : public BColor {
public:
    BColorCmyk(float cyan, float magenta, float yellow, float black)
        : cyan_(cyan), magenta_(magenta), yellow_(yellow), black_(black) {}

    void ToRgb(float& red, float& green, float& blue) const override;
    void FromRgb(float red, float green, float blue) override;
    std::string ToText() const override;
    void FromText(std::string text) override;

    float Cyan() const { return cyan_; }
    float Magenta() const { return magenta_; }
    float Yellow() const { return yellow_; }
    float Black() const { return black_; }
    void SetCyan(float value) { cyan_ = value; }
    void SetMagenta(float value) { magenta_ = value; }
    void SetYellow(float value) { yellow_ = value; }
    void SetBlack(float value) { black_ = value; }

private:
    float cyan_;
    float magenta_;
    float yellow_;
    float black_;
};

// OKLCH, the perceptual space of style sheets: lightness in 0..1, chroma
// (0 for a grey; sRGB reaches about 0.32) and hue in degrees, computed in
// double. A colour beyond sRGB shows as the nearest one inside, brought in
// by reduced chroma (see oklab.h); Mapped says whether it is.
class BColorOklch : public BColor {
public:
    // The chroma a text form's 100 % stands for, as in style sheets.
    static constexpr float kFullChroma = 0.4f;

    BColorOklch(float lightness, float chroma, float hue)
        : lightness_(lightness), chroma_(chroma), hue_(hue) {}

    void ToRgb(float& red, float& green, float& blue) const override;
    void FromRgb(float red, float green, float blue) override;
    // "OKLCH|l|c|h": lightness in percent, chroma in percent of
    // kFullChroma, hue in degrees.
    std::string ToText() const override;
    void FromText(std::string text) override;

    float Lightness() const { return lightness_; }
    float Chroma() const { return chroma_; }
    float Hue() const { return hue_; }
    bool Mapped() const;

private:
    float lightness_;
    float chroma_;
    float hue_;
};

} // namespace tintorel
