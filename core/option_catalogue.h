// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace storagecalc {

enum class VideoStandard { NTSC, PAL };

// The six option lists, in the order the window shows them and the calculation checks them.
enum class ListId { cameras, resolution, quality, frameRate, audio, hddsize };

inline constexpr std::size_t kListCount = 6;
inline constexpr std::array<ListId, kListCount> kAllLists = {ListId::cameras, ListId::resolution,
                                                             ListId::quality, ListId::frameRate,
                                                             ListId::audio,   ListId::hddsize};

constexpr std::size_t indexOf(ListId list) {
    return static_cast<std::size_t>(list);
}

using TextList = std::vector<std::string>;

// An entry text and the whole number it stands for.
struct ValuedText {
    std::string_view text;
    int value = 0;
};

// Every fixed text and value of the calculator. The entry texts double as keys: a value is found
// by comparing the whole text, exactly and case-sensitively; an unknown text is worth 0.
class OptionCatalogue {
  public:
    static constexpr int kCameraCount = 16;
    static constexpr int kResolutionCount = 2;

    static const TextList& cameraTexts();
    static const TextList& resolutionTexts(VideoStandard standard);
    // Resolution position 0 (2CIF) gives the 2CIF set, any other position the CIF set.
    static const TextList& qualityTexts(int resolutionPosition);
    static const TextList& rateTexts(VideoStandard standard);
    static const TextList& audioTexts();
    static const TextList& hddTexts();
    static const std::string& placeholder(ListId list);

    static double cameraCount(int position) { return static_cast<double>(position) + 1.0; }

    static double kilobytesPerImage(std::string_view text);
    static double imagesPerSecond(std::string_view text);
    static double audioKilobytesPerSecond(std::string_view text);
    static double diskGigabytes(std::string_view text);
};

}  // namespace storagecalc
