#pragma once

// Recording time in exact integer and rational arithmetic, as a reference for the core's
// floating-point calculation. The value tables are deliberately our own copies: looking values up
// through the core would only check the core against itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace storagecalc::reliability {

struct ValuedText {
    std::string_view text;
    std::int64_t value;
};

// Kilobytes per image, both quality sets.
inline constexpr ValuedText kOracleKilobytesPerImage[] = {
    {"Q7 (18KB)", 18}, {"Q6 (17KB)", 17}, {"Q5 (15KB)", 15}, {"Q4 (13KB)", 13}, {"Q3 (10KB)", 10},
    {"Q2 (7KB)", 7},   {"Q1 (5KB)", 5},   {"Q7 (11KB)", 11}, {"Q6 (10KB)", 10}, {"Q5 (9KB)", 9},
    {"Q4 (8KB)", 8},   {"Q3 (6KB)", 6},   {"Q2 (5KB)", 5},   {"Q1 (3KB)", 3},
};

// Images per second, both standards.
inline constexpr ValuedText kOracleImagesPerSecond[] = {
    {"30", 30}, {"25", 25}, {"15", 15}, {"12", 12}, {"10", 10}, {"8", 8}, {"7", 7},
    {"6", 6},   {"5", 5},   {"4", 4},   {"3", 3},   {"2", 2},   {"1", 1},
};

// Audio kilobytes per second.
inline constexpr ValuedText kOracleAudio[] = {
    {"No Audio", 0},
    {"8 kHz Audio (8KB/sec)", 8},
    {"12 kHz Audio (12KB/sec)", 12},
};

// Disk gigabytes; a terabyte is 1000 of them.
inline constexpr ValuedText kOracleDiskGigabytes[] = {
    {"250 GB", 250},
    {"500 GB", 500},
    {"750 GB", 750},
    {"1 TB", 1000},
};

template <std::size_t N>
constexpr std::optional<std::int64_t> findValue(const ValuedText (&table)[N],
                                                std::string_view text) {
    for (const ValuedText& row : table) {
        if (row.text == text) {
            return row.value;
        }
    }
    return std::nullopt;
}

template <std::size_t N>
constexpr std::int64_t valueOrZero(const ValuedText (&table)[N], std::string_view text) {
    return findValue(table, text).value_or(0);
}

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
    const std::int64_t imageSize = valueOrZero(kOracleKilobytesPerImage, quality);
    const std::int64_t imagesPerSecond = valueOrZero(kOracleImagesPerSecond, rate);
    const std::int64_t audioRate = valueOrZero(kOracleAudio, audio);
    const std::int64_t gigabytes = valueOrZero(kOracleDiskGigabytes, disk);
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

}  // namespace storagecalc::reliability
