// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Speed of the calculator core: one calculation, one pick and one Calculate through the
// controller, and every combination of choices that the window can reach.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <variant>
#include <vector>

#include "core/calculator_controller.h"
#include "core/option_catalogue.h"
#include "core/rate_table.h"
#include "core/recording_time.h"

namespace {

using storagecalc::CalculatorController;
using storagecalc::ChosenEntry;
using storagecalc::ListId;
using storagecalc::OptionCatalogue;
using storagecalc::RateTable;
using storagecalc::Selections;
using storagecalc::TextList;
using storagecalc::VideoStandard;

constexpr std::size_t kReachableCombinations = 38304;

ChosenEntry entry(const TextList& texts, int position) {
    return {position, texts.at(static_cast<std::size_t>(position))};
}

// Every set of six choices the window can reach: both standards, every camera count and
// resolution, the cell's quality set and each rate the rate table offers for the cell, every
// audio mode and every disk size. The texts are the catalogue's own, so the views stay valid.
std::vector<Selections> reachableSelections() {
    std::vector<Selections> all;
    all.reserve(kReachableCombinations);
    for (const VideoStandard standard : {VideoStandard::NTSC, VideoStandard::PAL}) {
        const TextList& resolutions = OptionCatalogue::resolutionTexts(standard);
        for (int camera = 0; camera < OptionCatalogue::kCameraCount; ++camera) {
            for (int resolution = 0; resolution < OptionCatalogue::kResolutionCount; ++resolution) {
                const TextList& qualities = OptionCatalogue::qualityTexts(resolution);
                const auto rates = RateTable::ratesFor(standard, camera + 1, resolution);
                for (int quality = 0; quality < static_cast<int>(qualities.size()); ++quality) {
                    for (std::size_t rate = 0; rate < rates.size(); ++rate) {
                        for (int audio = 0; audio < 3; ++audio) {
                            for (int disk = 0; disk < 4; ++disk) {
                                Selections chosen;
                                chosen[0] = entry(OptionCatalogue::cameraTexts(), camera);
                                chosen[1] = entry(resolutions, resolution);
                                chosen[2] = entry(qualities, quality);
                                chosen[3] = ChosenEntry{static_cast<int>(rate), rates[rate]};
                                chosen[4] = entry(OptionCatalogue::audioTexts(), audio);
                                chosen[5] = entry(OptionCatalogue::hddTexts(), disk);
                                all.push_back(chosen);
                            }
                        }
                    }
                }
            }
        }
    }
    return all;
}

// 16 cameras, 2CIF, the largest images, the slowest rate offered, 12 kHz audio, 1 TB.
Selections typicalSelections() {
    const TextList& rates = OptionCatalogue::rateTexts(VideoStandard::NTSC);
    Selections chosen;
    chosen[0] = entry(OptionCatalogue::cameraTexts(), 15);
    chosen[1] = entry(OptionCatalogue::resolutionTexts(VideoStandard::NTSC), 0);
    chosen[2] = entry(OptionCatalogue::qualityTexts(0), 0);
    chosen[3] = entry(rates, static_cast<int>(rates.size()) - 3);
    chosen[4] = entry(OptionCatalogue::audioTexts(), 2);
    chosen[5] = entry(OptionCatalogue::hddTexts(), 3);
    return chosen;
}

void BM_CalculateRecordingTime(benchmark::State& state) {
    const Selections chosen = typicalSelections();
    for (auto _ : state) {
        auto result = storagecalc::calculateRecordingTime(chosen);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_CalculateRecordingTime);

// A pick in the camera list while a resolution is chosen: the rate list is refilled.
void BM_ControllerCameraPick(benchmark::State& state) {
    CalculatorController controller;
    controller.Form_Load();
    controller.resolution_Click(0);
    int position = 0;
    for (auto _ : state) {
        auto outcome = controller.cameras_Click(position);
        benchmark::DoNotOptimize(outcome);
        position = (position + 1) % OptionCatalogue::kCameraCount;
    }
}
BENCHMARK(BM_ControllerCameraPick);

// A pick in the resolution list while a camera count is chosen: quality and rates refilled.
void BM_ControllerResolutionPick(benchmark::State& state) {
    CalculatorController controller;
    controller.Form_Load();
    controller.cameras_Click(7);
    int position = 0;
    for (auto _ : state) {
        auto outcome = controller.resolution_Click(position);
        benchmark::DoNotOptimize(outcome);
        position ^= 1;
    }
}
BENCHMARK(BM_ControllerResolutionPick);

// Calculate with all six lists chosen: the selections are gathered, the time is calculated
// and both result texts are stored.
void BM_ControllerCalculate(benchmark::State& state) {
    CalculatorController controller;
    controller.Form_Load();
    controller.cameras_Click(15);
    controller.resolution_Click(0);
    controller.quality_Click(0);
    controller.frameRate_Click(0);
    controller.audio_Click(2);
    controller.hddsize_Click(3);
    for (auto _ : state) {
        auto outcome = controller.cmdCalculate_Click();
        benchmark::DoNotOptimize(outcome);
        benchmark::DoNotOptimize(controller.hoursText().data());
    }
    if (controller.hoursText().empty()) {
        state.SkipWithError("Calculate gave no result");
    }
}
BENCHMARK(BM_ControllerCalculate);

// One iteration evaluates every reachable combination once.
void BM_AllReachableCombinations(benchmark::State& state) {
    const std::vector<Selections> all = reachableSelections();
    if (all.size() != kReachableCombinations) {
        state.SkipWithError("unexpected number of reachable combinations");
        return;
    }
    for (auto _ : state) {
        for (const Selections& chosen : all) {
            auto result = storagecalc::calculateRecordingTime(chosen);
            benchmark::DoNotOptimize(result);
        }
    }
    for (const Selections& chosen : all) {
        if (!std::holds_alternative<storagecalc::RecordingTime>(
                storagecalc::calculateRecordingTime(chosen))) {
            state.SkipWithError("a reachable combination gave no recording time");
            return;
        }
    }
    state.counters["combinations"] = static_cast<double>(all.size());
    state.SetItemsProcessed(state.iterations() *
                            static_cast<benchmark::IterationCount>(all.size()));
}
BENCHMARK(BM_AllReachableCombinations)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
