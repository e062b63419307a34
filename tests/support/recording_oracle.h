// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

// Recording time in exact integer and rational arithmetic, as a reference for the core's
// floating-point calculation, with the values of our own copy of the catalogue.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "catalogue_facts.h"

namespace storagecalc::oracle {

// A fraction rounded to a whole number of tenths, ties to even.
struct RoundedTenths {
    std::uint64_t tenths = 0;  // of the magnitude
    bool negative = false;     // sign of the exact fraction
    bool exactHalf = false;    // the fraction lay exactly half-way between two tenths
};

inline std::uint64_t magnitude(std::int64_t v) {
    return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

// numerator / denominator to tenths. The magnitude of the numerator must stay below 2^59 so that
// ten times it fits; the callers' figures are below 2^32.
inline RoundedTenths roundToTenths(std::int64_t numerator, std::int64_t denominator) {
    if (denominator == 0) {
        throw std::domain_error("zero denominator");
    }
    const std::uint64_t n = magnitude(numerator);
    const std::uint64_t d = magnitude(denominator);
    if (n >= (std::uint64_t{1} << 59)) {
        throw std::range_error("numerator too large");
    }
    RoundedTenths result;
    result.negative = numerator != 0 && ((numerator < 0) != (denominator < 0));
    const std::uint64_t scaled = n * 10;
    std::uint64_t quotient = scaled / d;
    const std::uint64_t remainder = scaled % d;
    // 2 * remainder < 2 * d < 2^64: d is at most 2^63.
    const std::uint64_t twice = remainder * 2;
    result.exactHalf = twice == d;
    if (twice > d || (result.exactHalf && quotient % 2 == 1)) {
        ++quotient;
    }
    result.tenths = quotient;
    return result;
}

// "217", "101.7", "-0.3": no trailing zero, no trailing separator, no sign on zero.
inline std::string formatTenths(const RoundedTenths& value, std::string_view separator) {
    std::string text;
    if (value.negative && value.tenths != 0) {
        text = "-";
    }
    text += std::to_string(value.tenths / 10);
    if (value.tenths % 10 != 0) {
        text += separator;
        text += static_cast<char>('0' + value.tenths % 10);
    }
    return text;
}

struct OracleTime {
    std::int64_t imagesPerBlock = 0;
    std::int64_t totalImages = 0;
    std::int64_t hoursDenominator = 0;  // hours = totalImages / hoursDenominator exactly
    RoundedTenths hours;
    RoundedTenths days;
    std::string hoursText;
    std::string daysText;
};

// The recording time for the given camera count and entry texts; std::nullopt when a divisor is
// zero (an unknown quality or rate text, or no cameras). Texts unknown to a table count as 0.
inline std::optional<OracleTime> oracleRecordingTime(std::int64_t cameraCount,
                                                     std::string_view quality,
                                                     std::string_view rate, std::string_view audio,
                                                     std::string_view disk,
                                                     std::string_view separator = ".") {
    const std::int64_t imageSize = findValue(kQualities, quality).value_or(0);
    const std::int64_t imagesPerSecond = findRate(rate).value_or(0);
    const std::int64_t audioRate = findValue(kAudio, audio).value_or(0);
    const std::int64_t gigabytes = findValue(kDisks, disk).value_or(0);
    if (imageSize == 0 || imagesPerSecond == 0 || cameraCount == 0) {
        return std::nullopt;
    }
    OracleTime time;
    time.imagesPerBlock = (128 - audioRate) / imageSize;
    time.totalImages = time.imagesPerBlock * gigabytes * 1000000 / 128;
    time.hoursDenominator = imagesPerSecond * cameraCount * 3600;
    time.hours = roundToTenths(time.totalImages, time.hoursDenominator);
    time.days = roundToTenths(time.totalImages, time.hoursDenominator * 24);
    time.hoursText = formatTenths(time.hours, separator);
    time.daysText = formatTenths(time.days, separator);
    return time;
}

}  // namespace storagecalc::oracle
