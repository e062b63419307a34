// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/recording_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "catalogue_facts.h"

namespace storagecalc {
namespace {

using oracle::Choices;

Selections selectionsOf(const Choices& c) {
    Selections s;
    s.at(indexOf(ListId::cameras)) = ChosenEntry{c.cameraPosition, "unused"};
    s.at(indexOf(ListId::resolution)) = ChosenEntry{0, c.resolution};
    s.at(indexOf(ListId::quality)) = ChosenEntry{0, c.quality};
    s.at(indexOf(ListId::frameRate)) = ChosenEntry{0, c.rate};
    s.at(indexOf(ListId::audio)) = ChosenEntry{0, c.audio};
    s.at(indexOf(ListId::hddsize)) = ChosenEntry{0, c.disk};
    return s;
}

RecordingTime timeOf(const Choices& c, std::string_view separator = ".") {
    const CalculationResult result = calculateRecordingTime(selectionsOf(c), separator);
    const auto* time = std::get_if<RecordingTime>(&result);
    if (time == nullptr) {
        ADD_FAILURE() << "expected a recording time";
        return {};
    }
    return *time;
}

class WorkedExampleTest : public ::testing::TestWithParam<oracle::WorkedExample> {};

TEST_P(WorkedExampleTest, GivesTheShownTexts) {
    const oracle::WorkedExample& c = GetParam();
    const RecordingTime time = timeOf(c.choices);
    EXPECT_NEAR(time.hours, c.hours, 1e-6);
    EXPECT_EQ(time.hoursText, c.hoursText);
    EXPECT_EQ(time.daysText, c.daysText);
}

INSTANTIATE_TEST_SUITE_P(Examples, WorkedExampleTest, ::testing::ValuesIn(oracle::kWorkedExamples));

TEST(RecordingTimeTest, ExactHoursAreExactDoubles) {
    const RecordingTime half =
        timeOf({0, "720 x 288 (2CIF)", "Q4 (13KB)", "25", "No Audio", "1 TB"});
    EXPECT_EQ(half.hours, 781.25);
}

TEST(RecordingTimeTest, OneTerabyteIsFourTimesTwoHundredFiftyGigabytes) {
    const Choices small = {5,    "360 x 240 (CIF)",       "Q5 (9KB)",
                           "10", "8 kHz Audio (8KB/sec)", "250 GB"};
    Choices large = small;
    large.disk = "1 TB";
    EXPECT_EQ(timeOf(large).hours, 4 * timeOf(small).hours);
}

TEST(RecordingTimeTest, ResolutionTakesNoPartInTheArithmetic) {
    const RecordingTime cif =
        timeOf({7, "360 x 240 (CIF)", "Q2 (5KB)", "15", "No Audio", "750 GB"});
    const RecordingTime twoCif =
        timeOf({7, "720 x 240 (2CIF)", "Q1 (5KB)", "15", "No Audio", "750 GB"});
    EXPECT_EQ(cif.hours, twoCif.hours);
    EXPECT_EQ(cif.hoursText, twoCif.hoursText);
    EXPECT_EQ(cif.daysText, twoCif.daysText);
}

TEST(RecordingTimeTest, UnknownDiskTextGivesZero) {
    const RecordingTime time =
        timeOf({0, "720 x 240 (2CIF)", "Q4 (13KB)", "30", "No Audio", "2 TB"});
    EXPECT_EQ(time.hours, 0.0);
    EXPECT_EQ(time.hoursText, "0");
    EXPECT_EQ(time.daysText, "0");
}

TEST(RecordingTimeTest, UnknownQualityOrRateIsAnArithmeticError) {
    EXPECT_THROW(calculateRecordingTime(selectionsOf(
                     {0, "720 x 240 (2CIF)", "Q4 (14KB)", "30", "No Audio", "250 GB"})),
                 ArithmeticError);
    EXPECT_THROW(calculateRecordingTime(selectionsOf(
                     {0, "720 x 240 (2CIF)", "Q4 (13KB)", "29", "No Audio", "250 GB"})),
                 ArithmeticError);
    // A camera position of -1 stands for no cameras at all.
    EXPECT_THROW(calculateRecordingTime(selectionsOf(
                     {-1, "720 x 240 (2CIF)", "Q4 (13KB)", "30", "No Audio", "250 GB"})),
                 ArithmeticError);
}

TEST(RecordingTimeTest, LocaleSeparatorIsUsed) {
    const Choices example = {15, "720 x 240 (2CIF)", "Q4 (13KB)", "3", "No Audio", "250 GB"};
    const RecordingTime time = timeOf(example, ",");
    EXPECT_EQ(time.hoursText, "101,7");
    EXPECT_EQ(time.daysText, "4,2");
}

TEST(RecordingTimeTest, FirstMissingListIsReportedAlone) {
    const Choices full = {0, "720 x 240 (2CIF)", "Q3 (10KB)", "30", "No Audio", "250 GB"};
    for (std::size_t first = 0; first < kListCount; ++first) {
        // Empty this list and every later one: only the first may be reported.
        Selections s = selectionsOf(full);
        for (std::size_t i = first; i < kListCount; i += 2) {
            s.at(i).reset();
        }
        const CalculationResult result = calculateRecordingTime(s);
        const auto* missing = std::get_if<MissingSelection>(&result);
        ASSERT_NE(missing, nullptr) << first;
        EXPECT_EQ(missing->list, kAllLists.at(first));
        EXPECT_EQ(missing->message, oracle::kMissingMessages.at(first));
    }
}

TEST(RecordingTimeTest, NothingChosenReportsCameras) {
    const CalculationResult result = calculateRecordingTime(Selections{});
    ASSERT_TRUE(std::holds_alternative<MissingSelection>(result));
    EXPECT_EQ(std::get<MissingSelection>(result).list, ListId::cameras);
}

struct FormatCase {
    double value;
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.text;
}

class FormatOneDecimalTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatOneDecimalTest, RoundsTheExactValueHalfToEven) {
    EXPECT_EQ(formatOneDecimal(GetParam().value), GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatOneDecimalTest,
    ::testing::Values(
        FormatCase{0.0, "0"}, FormatCase{-0.0, "0"}, FormatCase{217.0138888, "217"},
        FormatCase{781.25, "781.2"}, FormatCase{781.75, "781.8"}, FormatCase{0.25, "0.2"},
        FormatCase{0.75, "0.8"}, FormatCase{12.5, "12.5"},
        // 0.15 is stored a little below the half, 0.45 a little above it.
        FormatCase{0.15, "0.1"}, FormatCase{0.45, "0.5"}, FormatCase{9.96, "10"},
        FormatCase{0.04, "0"}, FormatCase{0.05, "0.1"}, FormatCase{-2.25, "-2.2"},
        FormatCase{-0.04, "0"}, FormatCase{91145.83, "91145.8"}, FormatCase{1e-300, "0"},
        FormatCase{4503599627370495.5, "4503599627370495.5"},
        FormatCase{9007199254740992.0, "9007199254740992"},
        FormatCase{1e20, "100000000000000000000"}, FormatCase{0x1p64, "18446744073709551616"},
        FormatCase{-0x1p63, "-9223372036854775808"},
        FormatCase{
            std::numeric_limits<double>::max(),
            "17976931348623157081452742373170435679807056752584499659891747680315726078002853"
            "87605895586327668781715404589535143824642343213268894641827684675467035375169860"
            "49910576551282076245490090389328944075868508455133942304583236903222948165808559"
            "332123348274797826204144723168738177180919299881250404026184124858368"}));

TEST(FormatOneDecimalTest, RefusesValuesThatAreNotFinite) {
    EXPECT_THROW(formatOneDecimal(std::nan("")), ArithmeticError);
    EXPECT_THROW(formatOneDecimal(INFINITY), ArithmeticError);
}

}  // namespace
}  // namespace storagecalc
