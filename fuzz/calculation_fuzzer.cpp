// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Fuzzes the value lookups, calculateRecordingTime and formatOneDecimal with arbitrary texts,
// positions, separators and numbers. Every answer is checked against an exact reference; the
// only failure allowed is an ArithmeticError where a divisor really is zero.
//
// Input layout (short inputs are padded with zero bytes):
//   byte 0       bits 0-5: which of the six lists have a choice; bits 6-7: the decimal
//                separator: 0 ".", 1 ",", 2 none, 3 the sixth text below
//   bytes 1-4    the camera position, a little-endian 32-bit signed integer
//   bytes 5-12   a double, little-endian, given to formatOneDecimal
//   the rest     texts separated by '\n': resolution, quality, rate, audio, disk, separator

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "catalogue_facts.h"
#include "core/option_catalogue.h"
#include "core/recording_time.h"
#include "recording_oracle.h"

namespace {

using namespace storagecalc;
using namespace storagecalc::oracle;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "calculation_fuzzer: %s\n", what.c_str());
    std::abort();
}

void expect(bool condition, const std::string& what) {
    if (!condition) {
        fail(what);
    }
}

struct Input {
    unsigned chosen = 0;
    unsigned separatorKind = 0;
    std::int32_t cameraPosition = 0;
    double number = 0.0;
    std::vector<std::string> texts;  // always six
};

Input decode(const std::uint8_t* data, std::size_t size) {
    std::uint8_t head[13] = {};
    std::memcpy(head, data, size < sizeof head ? size : sizeof head);
    Input input;
    input.chosen = head[0] & 0x3FU;
    input.separatorKind = head[0] >> 6U;
    std::uint32_t position = 0;
    std::uint64_t bits = 0;
    for (int i = 3; i >= 0; --i) {
        position = (position << 8U) | head[1 + i];
    }
    for (int i = 7; i >= 0; --i) {
        bits = (bits << 8U) | head[5 + i];
    }
    std::memcpy(&input.cameraPosition, &position, sizeof position);
    std::memcpy(&input.number, &bits, sizeof bits);
    std::string_view rest;
    if (size > sizeof head) {
        rest =
            std::string_view(reinterpret_cast<const char*>(data + sizeof head), size - sizeof head);
    }
    while (input.texts.size() < 6) {
        const std::size_t end = rest.find('\n');
        input.texts.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return input;
}

// The lookups must agree with our own tables for every text, known or not.
void checkLookups(const std::string& text) {
    const auto agrees = [&text](double (*lookup)(std::string_view), std::optional<int> value,
                                const char* name) {
        expect(lookup(text) == static_cast<double>(value.value_or(0)),
               std::string(name) + "(\"" + text + "\")");
    };
    agrees(&OptionCatalogue::kilobytesPerImage, findValue(kQualities, text), "kilobytesPerImage");
    agrees(&OptionCatalogue::imagesPerSecond, findRate(text), "imagesPerSecond");
    agrees(&OptionCatalogue::audioKilobytesPerSecond, findValue(kAudio, text),
           "audioKilobytesPerSecond");
    agrees(&OptionCatalogue::diskGigabytes, findValue(kDisks, text), "diskGigabytes");
}

// What formatOneDecimal should write, by way of the C library, which prints the exact binary
// value rounded half to even.
std::string printedOneDecimal(double x, std::string_view separator) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.1f", x);
    std::string text = buffer;
    if (text == "-0.0") {
        text = "0.0";
    }
    const std::size_t point = text.find('.');
    if (text.compare(point, std::string::npos, ".0") == 0) {
        text.erase(point);
    } else {
        text.replace(point, 1, separator);
    }
    return text;
}

void checkFormatting(double x, std::string_view separator) {
    if (!std::isfinite(x)) {
        try {
            (void)formatOneDecimal(x, separator);
        } catch (const ArithmeticError&) {
            return;
        }
        fail("formatOneDecimal accepted a value that is not finite");
    }
    const std::string text = formatOneDecimal(x, separator);
    const std::string expected = printedOneDecimal(x, separator);
    char shown[64];
    std::snprintf(shown, sizeof shown, "%.17g", x);
    expect(text == expected, std::string("formatOneDecimal(") + shown + ") gave \"" + text +
                                 "\", expected \"" + expected + "\"");
}

void checkCalculation(const Input& input, std::string_view separator) {
    Selections selections;
    std::optional<ListId> firstMissing;
    for (const ListId id : kAllLists) {
        const std::size_t i = indexOf(id);
        if ((input.chosen & (1U << i)) == 0) {
            if (!firstMissing) {
                firstMissing = id;
            }
            continue;
        }
        // Only the camera position counts; the others get an arbitrary one to show that.
        const int position = id == ListId::cameras ? input.cameraPosition
                                                   : input.cameraPosition ^ static_cast<int>(i);
        const std::string_view text = id == ListId::cameras ? std::string_view("camera text")
                                                            : std::string_view(input.texts[i - 1]);
        selections.at(i) = ChosenEntry{position, text};
    }

    const std::string& quality = input.texts[1];
    const std::string& rate = input.texts[2];
    const std::string& audio = input.texts[3];
    const std::string& disk = input.texts[4];
    const auto expected = oracleRecordingTime(std::int64_t{input.cameraPosition} + 1, quality, rate,
                                              audio, disk, separator);
    CalculationResult result;
    try {
        result = calculateRecordingTime(selections, separator);
    } catch (const ArithmeticError& error) {
        expect(!firstMissing && !expected,
               std::string("ArithmeticError where the figures allow a result: ") + error.what());
        return;
    }
    if (const auto* missing = std::get_if<MissingSelection>(&result)) {
        expect(firstMissing == missing->list, "MissingSelection names the wrong list");
        expect(missing->message == kMissingMessages.at(indexOf(missing->list)),
               "wrong message: " + missing->message);
        return;
    }
    const auto& time = std::get<RecordingTime>(result);
    expect(!firstMissing, "a result although a list has no choice");
    expect(expected.has_value(), "a result although a divisor is zero");
    expect(std::isfinite(time.hours) && time.days == time.hours / 24.0,
           "days are not the unrounded hours over 24");
    // With 1 to 16 cameras every step is exact in doubles, so the texts must equal the exact
    // rational answer. Other counts (no list offers them) make the divisor inexact, and the
    // double result may then round on the other side of a tenth; only the read-back holds.
    const bool listCameraCount = input.cameraPosition >= 0 && input.cameraPosition < 16;
    expect(!listCameraCount ||
               (time.hoursText == expected->hoursText && time.daysText == expected->daysText),
           "texts \"" + time.hoursText + "\" h \"" + time.daysText + "\" d, expected \"" +
               expected->hoursText + "\" h \"" + expected->daysText + "\" d");
    // The texts read back within half a tenth of the unrounded values.
    if (separator == "." || separator == ",") {
        const auto readBack = [&separator](std::string text) {
            const std::size_t at = text.find(separator);
            if (at != std::string::npos) {
                text.replace(at, separator.size(), ".");
            }
            return std::strtod(text.c_str(), nullptr);
        };
        expect(std::fabs(readBack(time.hoursText) - time.hours) <= 0.0500001 &&
                   std::fabs(readBack(time.daysText) - time.days) <= 0.0500001,
               "a text does not read back to its value");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input input = decode(data, size);
    std::string_view separator;
    switch (input.separatorKind) {
        case 0:
            separator = ".";
            break;
        case 1:
            separator = ",";
            break;
        case 2:
            separator = "";
            break;
        default:
            separator = input.texts[5];
            break;
    }
    for (const std::string& text : input.texts) {
        checkLookups(text);
    }
    checkFormatting(input.number, separator);
    checkCalculation(input, separator);
    return 0;
}
