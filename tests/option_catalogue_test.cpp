#include "core/option_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace storagecalc {
namespace {

using Texts = std::vector<std::string>;

TEST(OptionCatalogueTest, CameraTextsAreOneToSixteen) {
    const Texts expected = {"1", "2",  "3",  "4",  "5",  "6",  "7",  "8",
                            "9", "10", "11", "12", "13", "14", "15", "16"};
    EXPECT_EQ(OptionCatalogue::cameraTexts(), expected);
    EXPECT_EQ(OptionCatalogue::cameraCount(0), 1.0);
    EXPECT_EQ(OptionCatalogue::cameraCount(15), 16.0);
}

TEST(OptionCatalogueTest, ResolutionTextsDifferOnlyInLineCount) {
    EXPECT_EQ(OptionCatalogue::resolutionTexts(VideoStandard::NTSC),
              (Texts{"720 x 240 (2CIF)", "360 x 240 (CIF)"}));
    EXPECT_EQ(OptionCatalogue::resolutionTexts(VideoStandard::PAL),
              (Texts{"720 x 288 (2CIF)", "360 x 288 (CIF)"}));
}

TEST(OptionCatalogueTest, QualitySetsFollowTheResolutionPosition) {
    EXPECT_EQ(OptionCatalogue::qualityTexts(0),
              (Texts{"Q7 (18KB)", "Q6 (17KB)", "Q5 (15KB)", "Q4 (13KB)", "Q3 (10KB)", "Q2 (7KB)",
                     "Q1 (5KB)"}));
    EXPECT_EQ(OptionCatalogue::qualityTexts(1),
              (Texts{"Q7 (11KB)", "Q6 (10KB)", "Q5 (9KB)", "Q4 (8KB)", "Q3 (6KB)", "Q2 (5KB)",
                     "Q1 (3KB)"}));
}

TEST(OptionCatalogueTest, RateSequencesRunDownToOne) {
    EXPECT_EQ(OptionCatalogue::rateTexts(VideoStandard::NTSC),
              (Texts{"30", "15", "10", "7", "6", "5", "4", "3", "2", "1"}));
    EXPECT_EQ(OptionCatalogue::rateTexts(VideoStandard::PAL),
              (Texts{"25", "12", "8", "6", "5", "4", "3", "2", "1"}));
}

TEST(OptionCatalogueTest, AudioAndDiskTexts) {
    EXPECT_EQ(OptionCatalogue::audioTexts(),
              (Texts{"No Audio", "8 kHz Audio (8KB/sec)", "12 kHz Audio (12KB/sec)"}));
    EXPECT_EQ(OptionCatalogue::hddTexts(), (Texts{"250 GB", "500 GB", "750 GB", "1 TB"}));
}

TEST(OptionCatalogueTest, Placeholders) {
    const std::vector<std::pair<ListId, std::string>> expected = {
        {ListId::cameras, "< select # of cameras >"},
        {ListId::resolution, "< select resolution >"},
        {ListId::quality, "< select picture quality >"},
        {ListId::frameRate, "< select recording rate >"},
        {ListId::audio, "< select audio sampling rate >"},
        {ListId::hddsize, "< select HDD size >"},
    };
    for (const auto& [list, text] : expected) {
        EXPECT_EQ(OptionCatalogue::placeholder(list), text) << static_cast<int>(list);
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

INSTANTIATE_TEST_SUITE_P(
    KnownTexts, ValueLookupTest,
    ::testing::Values(LookupCase{"quality", kQuality, "Q7 (18KB)", 18},
                      LookupCase{"quality", kQuality, "Q6 (17KB)", 17},
                      LookupCase{"quality", kQuality, "Q5 (15KB)", 15},
                      LookupCase{"quality", kQuality, "Q4 (13KB)", 13},
                      LookupCase{"quality", kQuality, "Q3 (10KB)", 10},
                      LookupCase{"quality", kQuality, "Q2 (7KB)", 7},
                      LookupCase{"quality", kQuality, "Q1 (5KB)", 5},
                      LookupCase{"quality", kQuality, "Q7 (11KB)", 11},
                      LookupCase{"quality", kQuality, "Q6 (10KB)", 10},
                      LookupCase{"quality", kQuality, "Q5 (9KB)", 9},
                      LookupCase{"quality", kQuality, "Q4 (8KB)", 8},
                      LookupCase{"quality", kQuality, "Q3 (6KB)", 6},
                      LookupCase{"quality", kQuality, "Q2 (5KB)", 5},
                      LookupCase{"quality", kQuality, "Q1 (3KB)", 3},
                      LookupCase{"rate", kRate, "30", 30}, LookupCase{"rate", kRate, "25", 25},
                      LookupCase{"rate", kRate, "15", 15}, LookupCase{"rate", kRate, "12", 12},
                      LookupCase{"rate", kRate, "10", 10}, LookupCase{"rate", kRate, "8", 8},
                      LookupCase{"rate", kRate, "7", 7}, LookupCase{"rate", kRate, "6", 6},
                      LookupCase{"rate", kRate, "5", 5}, LookupCase{"rate", kRate, "4", 4},
                      LookupCase{"rate", kRate, "3", 3}, LookupCase{"rate", kRate, "2", 2},
                      LookupCase{"rate", kRate, "1", 1}, LookupCase{"audio", kAudio, "No Audio", 0},
                      LookupCase{"audio", kAudio, "8 kHz Audio (8KB/sec)", 8},
                      LookupCase{"audio", kAudio, "12 kHz Audio (12KB/sec)", 12},
                      LookupCase{"disk", kDisk, "250 GB", 250},
                      LookupCase{"disk", kDisk, "500 GB", 500},
                      LookupCase{"disk", kDisk, "750 GB", 750},
                      LookupCase{"disk", kDisk, "1 TB", 1000}));

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
