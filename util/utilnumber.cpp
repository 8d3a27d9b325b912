#include "util/utilnumber.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace tintorel {

namespace {

// The "C" locale, made once and kept for the life of the process.
locale_t ClassicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// The longest prefix of `text` that forms a decimal number: white space,
// sign, digits with an optional point and fraction, and an optional
// exponent. Hexadecimal numbers, "inf" and "nan" are no decimal numbers.
std::string DecimalPrefix(const std::string& text) {
    const auto digitsFrom = [&text](std::size_t at) {
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            ++at;
        }
        return at;
    };
    std::size_t at = 0;
    while (at < text.size() && IsSpaceC(text[at])) {
        ++at;
    }
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    const std::size_t whole = at;
    at = digitsFrom(at);
    bool digits = at > whole;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = at + 1;
        const std::size_t end = digitsFrom(fraction);
        if (digits || end > fraction) {
            digits = true;
            at = end;
        }
    }
    if (!digits) {
        return {};
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t end = digitsFrom(exponent);
        if (end > exponent) {
            at = end;
        }
    }
    return text.substr(0, at);
}

} // namespace

double TextToReal(const std::string& text, bool* overflow) {
    const std::string number = DecimalPrefix(text);
    errno = 0;
    const double value = number.empty() ? 0.0 : strtod_l(number.c_str(), nullptr, ClassicLocale());
    if (overflow != nullptr) {
        *overflow = errno == ERANGE && std::isinf(value);
    }
    return value;
}

long TextToLong(const std::string& text, bool* overflow) {
    errno = 0;
    const long value = strtol_l(text.c_str(), nullptr, 10, ClassicLocale());
    if (overflow != nullptr) {
        *overflow = errno == ERANGE;
    }
    return value;
}

bool ParseWholeNumber(const std::string& whole, int& value) {
    const std::string_view text = TrimSpacesC(whole);
    std::size_t at = 0;
    const std::size_t end = text.size();
    bool negative = false;
    if (at < end && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at == end) {
        return false;
    }
    long long number = 0;
    for (; at < end; ++at) {
        if (text[at] < '0' || text[at] > '9') {
            return false;
        }
        number = number * 10 + (text[at] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1) {
            return false;
        }
    }
    number = negative ? -number : number;
    if (number < INT_MIN || number > INT_MAX) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

int TruncToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

int FloorToInt(double value) {
    return TruncToInt(std::floor(value));
}

int CeilToInt(double value) {
    return TruncToInt(std::ceil(value));
}

std::uint8_t LowByteOfTrunc(double value) {
    // 2^63 as a double; every double of at least this magnitude is a
    // multiple of 2^11, so its low 8 bits are zero.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(value) || std::fabs(value) >= kLimit) {
        return 0;
    }
    const auto whole = static_cast<std::int64_t>(value);
    return static_cast<std::uint8_t>(static_cast<std::uint64_t>(whole) & 0xFFu);
}

int RoundShown(double value) {
    return TruncShown(value + 0.5);
}

int TruncShown(double value) {
    return TruncToInt(value >= 0 ? value + kShownMargin : value - kShownMargin);
}

} // namespace tintorel
