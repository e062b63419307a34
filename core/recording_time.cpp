// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/recording_time.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

namespace storagecalc {

namespace {

constexpr double kBlockKilobytes = 128.0;
constexpr double kKilobytesPerGigabyte = 1000000.0;  // decimal, as disk makers count
constexpr double kSecondsPerHour = 3600.0;
constexpr double kHoursPerDay = 24.0;

// Out of line, so that the checks below stay small enough to be inlined.
[[noreturn]] void fail(const char* problem, const char* step) {
    throw ArithmeticError(std::string(problem) + step);
}

double checkedDivide(double dividend, double divisor, const char* step) {
    if (divisor == 0.0 || std::isnan(dividend) || std::isnan(divisor)) [[unlikely]] {
        fail("division by zero in ", step);
    }
    const double quotient = dividend / divisor;
    if (!std::isfinite(quotient)) [[unlikely]] {
        fail("overflow in ", step);
    }
    return quotient;
}

// A finite magnitude as the IEEE double holds it: magnitude = mantissa * 2^exponent exactly.
struct BinaryValue {
    std::uint64_t mantissa;
    int exponent;
};

BinaryValue binaryValue(double magnitude) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biasedExponent = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biasedExponent == 0) {
        return {fraction, -1074};  // zero and subnormal numbers
    }
    return {fraction | (std::uint64_t{1} << 52), biasedExponent - 1075};
}

// Number of tenths in |x|, rounded half to even on the exact binary value. Only for
// |x| < 2^53, where 10 * mantissa fits comfortably in 64 bits.
std::uint64_t roundedTenths(double magnitude) {
    const auto [mantissa, exponent] = binaryValue(magnitude);
    const int shift = -exponent;
    const std::uint64_t scaled = mantissa * 10U;
    if (shift <= 0) {
        return scaled << -shift;
    }
    if (shift >= 64) {
        return 0;  // below 2^-11: far less than half a tenth
    }
    const std::uint64_t quotient = scaled >> shift;
    const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1U) != 0)) {
        return quotient + 1;
    }
    return quotient;
}

// The exact decimal digits of |x| >= 2^53, where every double is a whole number: the mantissa
// doubled as often as the exponent says, in base-10^9 digits. (std::to_chars would do, but
// brings some 190 KB of tables into a statically linked program.)
std::string wholeNumberText(double magnitude) {
    auto [mantissa, doublings] = binaryValue(magnitude);
    constexpr std::uint32_t kBase = 1'000'000'000;
    constexpr std::size_t kDigits = 9;
    std::vector<std::uint32_t> digits;  // least significant first
    for (; mantissa != 0; mantissa /= kBase) {
        digits.push_back(static_cast<std::uint32_t>(mantissa % kBase));
    }
    while (doublings > 0) {
        const int step = std::min(doublings, 29);  // (10^9 - 1) * 2^29 + carry fits in 64 bits
        std::uint64_t carry = 0;
        for (std::uint32_t& digit : digits) {
            const std::uint64_t product = (std::uint64_t{digit} << step) + carry;
            digit = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        for (; carry != 0; carry /= kBase) {
            digits.push_back(static_cast<std::uint32_t>(carry % kBase));
        }
        doublings -= step;
    }
    std::string text = std::to_string(digits.back());
    for (auto digit = std::next(digits.rbegin()); digit != digits.rend(); ++digit) {
        const std::string part = std::to_string(*digit);
        text.append(kDigits - part.size(), '0').append(part);
    }
    return text;
}

}  // namespace

const std::string& missingSelectionMessage(ListId list) {
    static const std::array<std::string, kListCount> messages = {
        "You must select the number of cameras.",   "You must select the resolution.",
        "You must select the picture quality.",     "You must select the recording rate.",
        "You must select the audio sampling rate.", "You must select the HDD size."};
    return messages.at(indexOf(list));
}

std::string formatOneDecimal(double x, std::string_view decimalSeparator) {
    if (!std::isfinite(x)) {
        throw ArithmeticError("cannot show a value that is not finite");
    }
    const double magnitude = std::fabs(x);
    if (magnitude >= 0x1p53) {
        std::string text = std::signbit(x) ? "-" : "";
        text += wholeNumberText(magnitude);
        return text;
    }
    const std::uint64_t tenths = roundedTenths(magnitude);
    std::string text;
    if (std::signbit(x) && tenths != 0) {
        text = '-';
    }
    text += std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + (tenths % 10));
    }
    return text;
}

CalculationResult calculateRecordingTime(const Selections& selections,
                                         std::string_view decimalSeparator) {
    // Each entry is taken where it is checked, so nothing below can read an empty choice.
    std::array<const ChosenEntry*, kListCount> chosen{};
    for (const ListId list : kAllLists) {
        const std::optional<ChosenEntry>& selection = selections.at(indexOf(list));
        if (!selection) {
            return MissingSelection{list, missingSelectionMessage(list)};
        }
        chosen.at(indexOf(list)) = &*selection;
    }
    const auto text = [&chosen](ListId list) { return chosen.at(indexOf(list))->text; };

    const double cameraCount =
        OptionCatalogue::cameraCount(chosen.at(indexOf(ListId::cameras))->position);
    const double rate = OptionCatalogue::imagesPerSecond(text(ListId::frameRate));
    const double imageSize = OptionCatalogue::kilobytesPerImage(text(ListId::quality));
    const double audio = OptionCatalogue::audioKilobytesPerSecond(text(ListId::audio));
    const double disk = OptionCatalogue::diskGigabytes(text(ListId::hddsize));

    const double imagesPerBlock =
        std::floor(checkedDivide(kBlockKilobytes - audio, imageSize, "images per block"));
    const double totalImages = std::floor(checkedDivide(
        imagesPerBlock * (disk * kKilobytesPerGigabyte), kBlockKilobytes, "total images"));
    const double hours =
        checkedDivide(totalImages, (rate * cameraCount) * kSecondsPerHour, "hours");
    const double days = checkedDivide(hours, kHoursPerDay, "days");

    return RecordingTime{hours, days, formatOneDecimal(hours, decimalSeparator),
                         formatOneDecimal(days, decimalSeparator)};
}

}  // namespace storagecalc
