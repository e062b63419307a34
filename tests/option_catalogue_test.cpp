// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/option_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "catalogue_facts.h"

namespace storagecalc {
namespace {

TEST(OptionCatalogueTest, CameraTextsAreOneToSixteen) {
    EXPECT_EQ(OptionCatalogue::cameraTexts(), oracle::kCameraTexts);
    EXPECT_EQ(OptionCatalogue::cameraCount(0), 1.0);
    EXPECT_EQ(OptionCatalogue::cameraCount(15), 16.0);
}

TEST(OptionCatalogueTest, ResolutionTextsDifferOnlyInLineCount) {
    EXPECT_EQ(OptionCatalogue::resolutionTexts(VideoStandard::NTSC), oracle::kNtscResolutions);
    EXPECT_EQ(OptionCatalogue::resolutionTexts(VideoStandard::PAL), oracle::kPalResolutions);
}

TEST(OptionCatalogueTest, QualitySetsFollowTheResolutionPosition) {
    EXPECT_EQ(OptionCatalogue::qualityTexts(0), oracle::kTwoCifQualities);
    EXPECT_EQ(OptionCatalogue::qualityTexts(1), oracle::kCifQualities);
}

TEST(OptionCatalogueTest, RateSequencesRunDownToOne) {
    EXPECT_EQ(OptionCatalogue::rateTexts(VideoStandard::NTSC), oracle::kNtscRates);
    EXPECT_EQ(OptionCatalogue::rateTexts(VideoStandard::PAL), oracle::kPalRates);
}

TEST(OptionCatalogueTest, AudioAndDiskTexts) {
    EXPECT_EQ(OptionCatalogue::audioTexts(), oracle::kAudioTexts);
    EXPECT_EQ(OptionCatalogue::hddTexts(), oracle::kDiskTexts);
}

TEST(OptionCatalogueTest, Placeholders) {
    for (const ListId list : kAllLists) {
        EXPECT_EQ(OptionCatalogue::placeholder(list), oracle::kPlaceholders.at(indexOf(list)))
            << static_cast<int>(list);
    }
}

struct LookupCase {
    const char* name;
    double (*lookup)(std::string_view);
    std::string text;
    double value;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.name << "(\"" << c.text << "\")";
}

class ValueLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ValueLookupTest, GivesTheValueOfTheWholeText) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(c.lookup(c.text), c.value);
}

constexpr auto kQuality = &OptionCatalogue::kilobytesPerImage;
constexpr auto kRate = &OptionCatalogue::imagesPerSecond;
constexpr auto kAudio = &OptionCatalogue::audioKilobytesPerSecond;
constexpr auto kDisk = &OptionCatalogue::diskGigabytes;

// Every text of our own tables with its value; a rate text is its number.
std::vector<LookupCase> knownTexts() {
    std::vector<LookupCase> cases;
    const auto add = [&cases](const char* name, double (*lookup)(std::string_view),
                              std::span<const ValuedText> table) {
        for (const ValuedText& row : table) {
            cases.push_back({name, lookup, std::string(row.text), static_cast<double>(row.value)});
        }
    };
    add("quality", kQuality, oracle::kQualities);
    // Both standards' rates, each once, highest first.
    std::vector<int> rates(std::begin(oracle::kNtscRateValues), std::end(oracle::kNtscRateValues));
    rates.insert(rates.end(), std::begin(oracle::kPalRateValues), std::end(oracle::kPalRateValues));
    std::sort(rates.begin(), rates.end(), std::greater<>());
    rates.erase(std::unique(rates.begin(), rates.end()), rates.end());
    for (const int rate : rates) {
        cases.push_back({"rate", kRate, std::to_string(rate), static_cast<double>(rate)});
    }
    add("audio", kAudio, oracle::kAudio);
    add("disk", kDisk, oracle::kDisks);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(KnownTexts, ValueLookupTest, ::testing::ValuesIn(knownTexts()));

INSTANTIATE_TEST_SUITE_P(
    NearMissesAreWorthNothing, ValueLookupTest,
    ::testing::Values(
        LookupCase{"quality", kQuality, "", 0}, LookupCase{"quality", kQuality, "q4 (13KB)", 0},
        LookupCase{"quality", kQuality, "Q4 (13kb)", 0},
        LookupCase{"quality", kQuality, "Q4  (13KB)", 0},
        LookupCase{"quality", kQuality, " Q4 (13KB)", 0},
        LookupCase{"quality", kQuality, "Q4 (13KB) ", 0}, LookupCase{"quality", kQuality, "Q4", 0},
        LookupCase{"quality", kQuality, "13", 0},
        LookupCase{"quality", kQuality, "< select picture quality >", 0},
        LookupCase{"rate", kRate, "", 0}, LookupCase{"rate", kRate, " 30", 0},
        LookupCase{"rate", kRate, "30 ", 0}, LookupCase{"rate", kRate, "030", 0},
        LookupCase{"rate", kRate, "20", 0}, LookupCase{"rate", kRate, "+1", 0},
        LookupCase{"rate", kRate, "1.0", 0},
        LookupCase{"rate", kRate, "< select recording rate >", 0},
        LookupCase{"audio", kAudio, "no audio", 0},
        LookupCase{"audio", kAudio, "8 kHz Audio (8kb/sec)", 0},
        LookupCase{"audio", kAudio, "12 kHz Audio (12KB/sec) ", 0},
        LookupCase{"audio", kAudio, "< select audio sampling rate >", 0},
        LookupCase{"disk", kDisk, "1 tb", 0}, LookupCase{"disk", kDisk, "1TB", 0},
        LookupCase{"disk", kDisk, "250GB", 0}, LookupCase{"disk", kDisk, "1000 GB", 0},
        LookupCase{"disk", kDisk, "", 0}, LookupCase{"disk", kDisk, "< select HDD size >", 0},
        LookupCase{"disk", kDisk, std::string("1 TB\0", 5), 0}));

TEST(OptionCatalogueTest, EveryEntryOfEveryListHasAValueAndNoPlaceholderDoes) {
    for (int resolution = 0; resolution < 2; ++resolution) {
        for (const auto& text : OptionCatalogue::qualityTexts(resolution)) {
            EXPECT_GT(OptionCatalogue::kilobytesPerImage(text), 0) << text;
        }
    }
    for (auto standard : {VideoStandard::NTSC, VideoStandard::PAL}) {
        for (const auto& text : OptionCatalogue::rateTexts(standard)) {
            EXPECT_EQ(OptionCatalogue::imagesPerSecond(text), std::stod(text)) << text;
        }
    }
    for (const auto& text : OptionCatalogue::hddTexts()) {
        EXPECT_GT(OptionCatalogue::diskGigabytes(text), 0) << text;
    }
    for (ListId list : kAllLists) {
        const auto& placeholder = OptionCatalogue::placeholder(list);
        EXPECT_EQ(OptionCatalogue::kilobytesPerImage(placeholder) +
                      OptionCatalogue::imagesPerSecond(placeholder) +
                      OptionCatalogue::audioKilobytesPerSecond(placeholder) +
                      OptionCatalogue::diskGigabytes(placeholder),
                  0)
            << placeholder;
    }
}

}  // namespace
}  // namespace storagecalc
