// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

// The calculator's fixed texts, their values, the messages and the grid of recording rates,
// written out once for every test, oracle and fuzz target. Nothing here is read from the core:
// a wrong catalogue must not be able to vouch for itself. From the core only names and types.

#include <array>
#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/option_catalogue.h"

namespace storagecalc::oracle {

using Texts = std::vector<std::string>;

inline Texts textsOf(std::span<const ValuedText> table) {
    Texts texts;
    for (const ValuedText& row : table) {
        texts.emplace_back(row.text);
    }
    return texts;
}

inline Texts numeralsOf(std::span<const int> numbers) {
    Texts texts;
    for (const int number : numbers) {
        texts.push_back(std::to_string(number));
    }
    return texts;
}

inline const Texts kCameraTexts = {"1", "2",  "3",  "4",  "5",  "6",  "7",  "8",
                                   "9", "10", "11", "12", "13", "14", "15", "16"};

inline const Texts kNtscResolutions = {"720 x 240 (2CIF)", "360 x 240 (CIF)"};
inline const Texts kPalResolutions = {"720 x 288 (2CIF)", "360 x 288 (CIF)"};

// Kilobytes per image: the 2CIF set, then the CIF set, each from Q7 down to Q1.
inline constexpr std::size_t kQualitiesPerSet = 7;
inline constexpr ValuedText kQualities[] = {
    {"Q7 (18KB)", 18}, {"Q6 (17KB)", 17}, {"Q5 (15KB)", 15}, {"Q4 (13KB)", 13}, {"Q3 (10KB)", 10},
    {"Q2 (7KB)", 7},   {"Q1 (5KB)", 5},   {"Q7 (11KB)", 11}, {"Q6 (10KB)", 10}, {"Q5 (9KB)", 9},
    {"Q4 (8KB)", 8},   {"Q3 (6KB)", 6},   {"Q2 (5KB)", 5},   {"Q1 (3KB)", 3},
};
inline const Texts kTwoCifQualities = textsOf(std::span(kQualities).first<kQualitiesPerSet>());
inline const Texts kCifQualities = textsOf(std::span(kQualities).last<kQualitiesPerSet>());

// Images per second, highest first; each entry shows its number and nothing else.
inline constexpr int kNtscRateValues[] = {30, 15, 10, 7, 6, 5, 4, 3, 2, 1};
inline constexpr int kPalRateValues[] = {25, 12, 8, 6, 5, 4, 3, 2, 1};
inline const Texts kNtscRates = numeralsOf(kNtscRateValues);
inline const Texts kPalRates = numeralsOf(kPalRateValues);

// Audio kilobytes per second.
inline constexpr ValuedText kAudio[] = {
    {"No Audio", 0},
    {"8 kHz Audio (8KB/sec)", 8},
    {"12 kHz Audio (12KB/sec)", 12},
};
inline const Texts kAudioTexts = textsOf(kAudio);

// Disk gigabytes; a terabyte is 1000 of them.
inline constexpr ValuedText kDisks[] = {
    {"250 GB", 250},
    {"500 GB", 500},
    {"750 GB", 750},
    {"1 TB", 1000},
};
inline const Texts kDiskTexts = textsOf(kDisks);

inline const std::array<std::string, kListCount> kPlaceholders = {
    "< select # of cameras >",   "< select resolution >",          "< select picture quality >",
    "< select recording rate >", "< select audio sampling rate >", "< select HDD size >"};
inline const std::array<std::string, kListCount> kMissingMessages = {
    "You must select the number of cameras.",   "You must select the resolution.",
    "You must select the picture quality.",     "You must select the recording rate.",
    "You must select the audio sampling rate.", "You must select the HDD size."};

// Highest rate on offer, by standard (NTSC, PAL), resolution (0 2CIF, 1 CIF) and camera count
// 1..16, as the product sheet gives it.
inline constexpr std::array<std::array<std::array<int, 16>, 2>, 2> kHighestRate = {{
    {{{30, 30, 15, 15, 10, 10, 7, 7, 6, 6, 5, 5, 4, 4, 3, 3},
      {30, 30, 30, 30, 15, 15, 15, 15, 10, 10, 10, 10, 7, 7, 7, 7}}},
    {{{25, 25, 12, 12, 8, 8, 6, 6, 6, 6, 5, 5, 4, 4, 3, 3},
      {25, 25, 25, 25, 12, 12, 12, 12, 8, 8, 8, 8, 6, 6, 6, 6}}},
}};

inline const Texts& resolutionsOf(VideoStandard standard) {
    return standard == VideoStandard::PAL ? kPalResolutions : kNtscResolutions;
}

inline const Texts& qualitiesOf(int resolutionPosition) {
    return resolutionPosition == 0 ? kTwoCifQualities : kCifQualities;
}

inline std::span<const int> rateValuesOf(VideoStandard standard) {
    if (standard == VideoStandard::PAL) {
        return kPalRateValues;
    }
    return kNtscRateValues;
}

inline const Texts& ratesOf(VideoStandard standard) {
    return standard == VideoStandard::PAL ? kPalRates : kNtscRates;
}

// The standard's sequence from the cell's highest rate down to "1", built from the numbers.
inline Texts expectedRates(VideoStandard standard, int cameraPosition, int resolutionPosition) {
    const int highest = kHighestRate.at(standard == VideoStandard::PAL ? 1 : 0)
                            .at(static_cast<std::size_t>(resolutionPosition))
                            .at(static_cast<std::size_t>(cameraPosition));
    Texts rates;
    for (const int rate : rateValuesOf(standard)) {
        if (!rates.empty() || rate == highest) {
            rates.push_back(std::to_string(rate));
        }
    }
    return rates;
}

// The value of a text: the whole text must match, exactly and case-sensitively.
inline std::optional<int> findValue(std::span<const ValuedText> table, std::string_view text) {
    for (const ValuedText& row : table) {
        if (row.text == text) {
            return row.value;
        }
    }
    return std::nullopt;
}

inline std::optional<int> findRate(std::string_view text) {
    for (const VideoStandard standard : {VideoStandard::NTSC, VideoStandard::PAL}) {
        for (const int rate : rateValuesOf(standard)) {
            if (std::to_string(rate) == text) {
                return rate;
            }
        }
    }
    return std::nullopt;
}

// One choice in each list, by text, and the camera count by its position in the list.
struct Choices {
    int cameraPosition = 0;
    std::string_view resolution;
    std::string_view quality;
    std::string_view rate;
    std::string_view audio;
    std::string_view disk;
};

// Figures worked out by hand.
struct WorkedExample {
    Choices choices;
    double hours;  // unrounded, to within 1e-6
    std::string_view hoursText;
    std::string_view daysText;
};

inline std::ostream& operator<<(std::ostream& out, const WorkedExample& example) {
    const Choices& c = example.choices;
    return out << c.cameraPosition + 1 << " cameras, " << c.resolution << ", " << c.quality << ", "
               << c.rate << ", " << c.audio << ", " << c.disk;
}

inline constexpr WorkedExample kWorkedExamples[] = {
    // Sixteen cameras at 2CIF.
    {{15, "720 x 240 (2CIF)", "Q4 (13KB)", "3", "No Audio", "250 GB"}, 101.7252604, "101.7", "4.2"},
    // Audio takes room in each block.
    {{3, "360 x 240 (CIF)", "Q7 (11KB)", "30", "12 kHz Audio (12KB/sec)", "1 TB"},
     180.8449074,
     "180.8",
     "7.5"},
    // A whole number is shown without a decimal.
    {{0, "720 x 240 (2CIF)", "Q3 (10KB)", "30", "No Audio", "250 GB"}, 217.0138888, "217", "9"},
    // An exact half goes to the even tenth.
    {{0, "720 x 288 (2CIF)", "Q4 (13KB)", "25", "No Audio", "1 TB"}, 781.25, "781.2", "32.6"},
    // Days come from the unrounded hours.
    {{0, "720 x 288 (2CIF)", "Q7 (18KB)", "25", "8 kHz Audio (8KB/sec)", "500 GB"},
     260.4166666,
     "260.4",
     "10.9"},
};

}  // namespace storagecalc::oracle
