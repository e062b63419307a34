// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/option_catalogue.h"

namespace storagecalc {

namespace {

template <std::size_t N>
double lookUp(const std::array<ValuedText, N>& table, std::string_view text) {
    for (const auto& row : table) {
        if (row.text == text) {
            return row.value;
        }
    }
    return 0.0;
}

constexpr std::array<ValuedText, 14> kQualityValues = {{
    {"Q7 (18KB)", 18},
    {"Q6 (17KB)", 17},
    {"Q5 (15KB)", 15},
    {"Q4 (13KB)", 13},
    {"Q3 (10KB)", 10},
    {"Q2 (7KB)", 7},
    {"Q1 (5KB)", 5},
    {"Q7 (11KB)", 11},
    {"Q6 (10KB)", 10},
    {"Q5 (9KB)", 9},
    {"Q4 (8KB)", 8},
    {"Q3 (6KB)", 6},
    {"Q2 (5KB)", 5},
    {"Q1 (3KB)", 3},
}};

constexpr std::array<ValuedText, 13> kRateValues = {{
    {"30", 30},
    {"25", 25},
    {"15", 15},
    {"12", 12},
    {"10", 10},
    {"8", 8},
    {"7", 7},
    {"6", 6},
    {"5", 5},
    {"4", 4},
    {"3", 3},
    {"2", 2},
    {"1", 1},
}};

constexpr std::array<ValuedText, 3> kAudioValues = {{
    {"No Audio", 0},
    {"8 kHz Audio (8KB/sec)", 8},
    {"12 kHz Audio (12KB/sec)", 12},
}};

constexpr std::array<ValuedText, 4> kDiskValues = {{
    {"250 GB", 250}, {"500 GB", 500}, {"750 GB", 750}, {"1 TB", 1000},  // decimal terabyte
}};

template <std::size_t N>
TextList textsOf(const std::array<ValuedText, N>& table) {
    TextList texts;
    for (const auto& row : table) {
        texts.emplace_back(row.text);
    }
    return texts;
}

TextList cameraNumerals() {
    TextList texts;
    for (int count = 1; count <= OptionCatalogue::kCameraCount; ++count) {
        texts.push_back(std::to_string(count));
    }
    return texts;
}

}  // namespace

const TextList& OptionCatalogue::cameraTexts() {
    static const TextList texts = cameraNumerals();
    return texts;
}

const TextList& OptionCatalogue::resolutionTexts(VideoStandard standard) {
    static const TextList ntsc = {"720 x 240 (2CIF)", "360 x 240 (CIF)"};
    static const TextList pal = {"720 x 288 (2CIF)", "360 x 288 (CIF)"};
    return standard == VideoStandard::PAL ? pal : ntsc;
}

const TextList& OptionCatalogue::qualityTexts(int resolutionPosition) {
    static const TextList twoCif = {"Q7 (18KB)", "Q6 (17KB)", "Q5 (15KB)", "Q4 (13KB)",
                                    "Q3 (10KB)", "Q2 (7KB)",  "Q1 (5KB)"};
    static const TextList cif = {"Q7 (11KB)", "Q6 (10KB)", "Q5 (9KB)", "Q4 (8KB)",
                                 "Q3 (6KB)",  "Q2 (5KB)",  "Q1 (3KB)"};
    return resolutionPosition == 0 ? twoCif : cif;
}

const TextList& OptionCatalogue::rateTexts(VideoStandard standard) {
    static const TextList ntsc = {"30", "15", "10", "7", "6", "5", "4", "3", "2", "1"};
    static const TextList pal = {"25", "12", "8", "6", "5", "4", "3", "2", "1"};
    return standard == VideoStandard::PAL ? pal : ntsc;
}

const TextList& OptionCatalogue::audioTexts() {
    static const TextList texts = textsOf(kAudioValues);
    return texts;
}

const TextList& OptionCatalogue::hddTexts() {
    static const TextList texts = textsOf(kDiskValues);
    return texts;
}

const std::string& OptionCatalogue::placeholder(ListId list) {
    static const std::array<std::string, kListCount> texts = {
        "< select # of cameras >",   "< select resolution >",          "< select picture quality >",
        "< select recording rate >", "< select audio sampling rate >", "< select HDD size >"};
    return texts.at(indexOf(list));
}

double OptionCatalogue::kilobytesPerImage(std::string_view text) {
    return lookUp(kQualityValues, text);
}

double OptionCatalogue::imagesPerSecond(std::string_view text) {
    return lookUp(kRateValues, text);
}

double OptionCatalogue::audioKilobytesPerSecond(std::string_view text) {
    return lookUp(kAudioValues, text);
}

double OptionCatalogue::diskGigabytes(std::string_view text) {
    return lookUp(kDiskValues, text);
}

}  // namespace storagecalc
