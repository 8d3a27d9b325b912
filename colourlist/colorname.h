// A colour whose value is a name of the colour list: the colour is looked up
// in the list each time it is needed, so the same object stands for another
// colour once another list is loaded.
#pragma once

#include "colour/color.h"

#include <string>

namespace tintorel {

class BColorName : public BColor {
public:
    explicit BColorName(std::string name) : name_(std::move(name)) {}

    // The colour of the first entry with this name; a name the list does not
    // hold gives the first entry's colour, and an empty list gives black.
    void ToRgb(float& red, float& green, float& blue) const override;
    // Takes the name of the nearest entry of the list.
    void FromRgb(float red, float green, float blue) override;
    // "Name|<colour file name>|<name>".
    std::string ToText() const override;
    // Reads the form ToText writes: loads the colour file it names (a bare
    // file name from the working folder) and takes the name. A text without
    // exactly three fields changes nothing.
    void FromText(std::string text) override;

    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

} // namespace tintorel
