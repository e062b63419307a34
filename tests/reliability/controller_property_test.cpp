// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Long random runs of user actions against the controller, every rule checked after every action.
// A failure is shrunk to a short sequence that still breaks the same rule, and printed with the
// seed so that it can be replayed by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "controller_checks.h"
#include "controller_model.h"

namespace storagecalc::oracle {
namespace {

// SplitMix64: tiny, and the same sequence with every compiler and standard library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // 0 <= result < bound
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

  private:
    std::uint64_t m_state;
};

// A position the list does not hold.
int outOfRange(Random& random, int size) {
    switch (random.below(7)) {
        case 0:
            return -1;
        case 1:
            return -2 - random.below(1000);
        case 2:
            return size;
        case 3:
            return size + 1 + random.below(5);
        case 4:
            return INT_MAX;
        case 5:
            return INT_MIN;
        default:
            return size + random.below(1 << 20);
    }
}

// The next action, weighted towards picks so that runs often reach a complete set of choices.
// Positions are drawn against the current lists, mostly valid, sometimes not.
Operation nextOperation(Random& random, const ControllerState& state) {
    const int roll = random.below(200);
    if (roll < 2) {
        return {OpKind::cmdClear};
    }
    if (roll < 4) {
        return {OpKind::mnuClear};
    }
    if (roll < 7) {
        return {OpKind::mnuNTSC};
    }
    if (roll < 10) {
        return {OpKind::mnuPAL};
    }
    if (roll < 40) {
        return {OpKind::cmdCalculate};
    }
    const ListId list = kAllLists.at(static_cast<std::size_t>(random.below(6)));
    if (roll < 60) {
        return {OpKind::change, list};
    }
    const int size = static_cast<int>(state.list(list).entries.size());
    const bool valid = size > 0 && random.below(10) != 0;
    return {OpKind::click, list, valid ? random.below(size) : outOfRange(random, size)};
}

// Delta debugging (ddmin) on the complements: drops ever smaller chunks of the sequence as long
// as it still fails. The result is 1-minimal: removing any single element makes it pass.
template <class T, class Fails>
std::vector<T> shrinkSequence(std::vector<T> sequence, Fails fails) {
    std::size_t chunks = 2;
    while (sequence.size() >= 2) {
        const std::size_t n = std::min(chunks, sequence.size());
        bool reduced = false;
        for (std::size_t i = 0; i < n && !reduced; ++i) {
            const std::size_t begin = i * sequence.size() / n;
            const std::size_t end = (i + 1) * sequence.size() / n;
            std::vector<T> candidate(sequence.begin(), sequence.begin() + begin);
            candidate.insert(candidate.end(), sequence.begin() + end, sequence.end());
            if (fails(candidate)) {
                sequence = std::move(candidate);
                chunks = std::max<std::size_t>(n - 1, 2);
                reduced = true;
            }
        }
        if (!reduced) {
            if (n == sequence.size()) {
                break;
            }
            chunks = std::min(n * 2, sequence.size());
        }
    }
    return sequence;
}

std::optional<Violation> replay(const std::vector<Operation>& ops, const std::string& separator,
                                const CheckedRun::ExtraCheck& extra) {
    CheckedRun run(separator, extra);
    if (auto broken = run.start()) {
        return broken;
    }
    for (const Operation& op : ops) {
        if (auto broken = run.step(op)) {
            return broken;
        }
    }
    return std::nullopt;
}

struct Failure {
    std::uint64_t seed = 0;
    int episode = 0;
    std::size_t failingIndex = 0;  // in the original run
    std::string separator;
    std::vector<Operation> shrunk;
    Violation violation;
};

struct SeedResult {
    std::int64_t operations = 0;
    std::int64_t completedCalculations = 0;
    std::optional<Failure> failure;
};

// Several episodes from one seed, each a fresh controller after Form_Load. Stops at the first
// broken rule, which it shrinks.
SeedResult runSeed(std::uint64_t seed, int episodes, int operationsPerEpisode,
                   const CheckedRun::ExtraCheck& extra = {}) {
    SeedResult result;
    Random random(seed);
    for (int episode = 0; episode < episodes; ++episode) {
        const std::string separator = episode % 2 == 0 ? "." : ",";
        CheckedRun run(separator, extra);
        std::vector<Operation> ops;
        std::optional<Violation> broken = run.start();
        while (!broken && static_cast<int>(ops.size()) < operationsPerEpisode) {
            ops.push_back(nextOperation(random, run.state()));
            const bool hadResults = !run.state().hours.empty();
            broken = run.step(ops.back());
            ++result.operations;
            if (!broken && ops.back().kind == OpKind::cmdCalculate && !run.state().hours.empty() &&
                !hadResults) {
                ++result.completedCalculations;
            }
        }
        if (broken) {
            const std::string rule = broken->rule;
            Failure failure{seed, episode, ops.size() - 1, separator, {}, {}};
            failure.shrunk = shrinkSequence(ops, [&](const std::vector<Operation>& candidate) {
                const auto again = replay(candidate, separator, extra);
                return again && again->rule == rule;
            });
            failure.violation = replay(failure.shrunk, separator, extra).value_or(*broken);
            result.failure = failure;
            return result;
        }
    }
    return result;
}

std::string report(const Failure& failure) {
    return "seed " + std::to_string(failure.seed) + ", episode " + std::to_string(failure.episode) +
           ", operation " + std::to_string(failure.failingIndex) + ", separator \"" +
           failure.separator + "\": rule " + failure.violation.rule +
           " broken.\nShortest sequence found (" + std::to_string(failure.shrunk.size()) +
           " operations after Form_Load()):\n" + describe(failure.shrunk) +
           failure.violation.detail;
}

constexpr std::array<std::uint64_t, 8> kSeeds = {1,         2,          3,         20240607,
                                                 0xC0FFEEu, 0xDEADBEEF, 987654321, 42};
constexpr int kEpisodes = 125;
constexpr int kOperationsPerEpisode = 1000;
static_assert(kSeeds.size() * kEpisodes * kOperationsPerEpisode >= 1'000'000);

class ControllerProperty : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(ControllerProperty, EveryRuleHoldsAfterEveryOperation) {
    const SeedResult result = runSeed(GetParam(), kEpisodes, kOperationsPerEpisode);
    if (result.failure) {
        ADD_FAILURE() << report(*result.failure);
        return;
    }
    std::cout << "[ property ] seed " << GetParam() << ": " << result.operations
              << " operations checked, " << result.completedCalculations
              << " calculations with results\n";
    RecordProperty("operations", std::to_string(result.operations));
    EXPECT_EQ(result.operations, std::int64_t{kEpisodes} * kOperationsPerEpisode);
    // The runs must reach complete choices, or the calculation rules are never exercised.
    EXPECT_GT(result.completedCalculations, kEpisodes);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ControllerProperty, ::testing::ValuesIn(kSeeds));

// The shrinker on its own: from 500 numbers to exactly the three the predicate needs.
TEST(Shrinker, FindsTheOneMinimalSubsequence) {
    std::vector<int> numbers;
    for (int i = 0; i < 500; ++i) {
        numbers.push_back(i);
    }
    int calls = 0;
    const auto needsThree = [&calls](const std::vector<int>& candidate) {
        ++calls;
        const auto has = [&candidate](int x) {
            return std::find(candidate.begin(), candidate.end(), x) != candidate.end();
        };
        return has(17) && has(123) && has(400);
    };
    EXPECT_EQ(shrinkSequence(numbers, needsThree), (std::vector<int>{17, 123, 400}));
    EXPECT_LT(calls, 500);
    EXPECT_EQ(shrinkSequence(std::vector<int>{5}, needsThree), (std::vector<int>{5}));
}

// Replaying must fail, and fail no more once any single operation is dropped.
void expectOneMinimal(const Failure& failure, const CheckedRun::ExtraCheck& extra) {
    const auto broken = replay(failure.shrunk, failure.separator, extra);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->rule, failure.violation.rule);
    for (std::size_t i = 0; i < failure.shrunk.size(); ++i) {
        std::vector<Operation> shorter = failure.shrunk;
        shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(i));
        const auto again = replay(shorter, failure.separator, extra);
        EXPECT_FALSE(again && again->rule == broken->rule)
            << "still fails without " << describe(failure.shrunk[i]);
    }
}

// A deliberately wrong rule, that no rate may be chosen under PAL, must be caught by the random
// run and shrunk to PAL, a camera count, a resolution and a rate.
TEST(Shrinker, ShrinksARandomRunAgainstAWrongRule) {
    const CheckedRun::ExtraCheck noRateUnderPal =
        [](const ControllerState&, const Operation&,
           const ControllerState& after) -> std::optional<Violation> {
        if (after.standard == VideoStandard::PAL && after.list(ListId::frameRate).selection) {
            return Violation{"no-rate-under-pal", "a rate is chosen under PAL"};
        }
        return std::nullopt;
    };
    const SeedResult result = runSeed(7, 50, kOperationsPerEpisode, noRateUnderPal);
    ASSERT_TRUE(result.failure);
    const Failure& failure = *result.failure;
    std::cout << "[ shrinker ] deliberately wrong rule: " << report(failure) << "\n";
    EXPECT_EQ(failure.violation.rule, "no-rate-under-pal");
    ASSERT_EQ(failure.shrunk.size(), 4U) << describe(failure.shrunk);
    EXPECT_EQ(failure.shrunk.front().kind, OpKind::mnuPAL);
    EXPECT_EQ(failure.shrunk.back().kind, OpKind::click);
    EXPECT_EQ(failure.shrunk.back().list, ListId::frameRate);
    expectOneMinimal(failure, noRateUnderPal);
}

// Another wrong rule, that results are never shown: the shortest way to break it is the six
// picks and Calculate.
TEST(Shrinker, ShrinksToTheSixPicksAndCalculate) {
    const CheckedRun::ExtraCheck neverAResult =
        [](const ControllerState&, const Operation&,
           const ControllerState& after) -> std::optional<Violation> {
        if (!after.hours.empty()) {
            return Violation{"never-a-result", "a result is shown"};
        }
        return std::nullopt;
    };
    const SeedResult result = runSeed(11, 50, kOperationsPerEpisode, neverAResult);
    ASSERT_TRUE(result.failure);
    const Failure& failure = *result.failure;
    ASSERT_EQ(failure.shrunk.size(), 7U) << describe(failure.shrunk);
    EXPECT_EQ(failure.shrunk.back().kind, OpKind::cmdCalculate);
    for (std::size_t i = 0; i + 1 < failure.shrunk.size(); ++i) {
        EXPECT_EQ(failure.shrunk[i].kind, OpKind::click) << describe(failure.shrunk);
    }
    expectOneMinimal(failure, neverAResult);
}

// The shared checks themselves must notice a broken controller state; here the states are
// doctored by hand, one fault at a time.
TEST(SharedChecks, InvariantsNoticeDoctoredStates) {
    CalculatorController controller;
    controller.Form_Load();
    controller.cameras_Click(3);
    controller.resolution_Click(1);
    const ControllerState good = capture(controller);
    ASSERT_FALSE(checkInvariants(good));

    const auto expectRule = [](ControllerState state, const char* rule) {
        const auto broken = checkInvariants(state);
        ASSERT_TRUE(broken) << rule;
        EXPECT_EQ(broken->rule, rule);
    };
    ControllerState s = good;
    s.palChecked = true;
    expectRule(s, "marks-match-standard");
    s = good;
    s.standard = VideoStandard::PAL;
    s.ntscChecked = false;
    s.palChecked = true;
    expectRule(s, "fixed-resolution");
    s = good;
    s.list(ListId::cameras).entries.pop_back();
    expectRule(s, "fixed-cameras");
    s = good;
    s.list(ListId::quality).entries.pop_back();
    expectRule(s, "quality-set");
    s = good;
    s.list(ListId::frameRate).entries.erase(s.list(ListId::frameRate).entries.begin() + 1);
    expectRule(s, "rate-tail");
    s = good;
    s.list(ListId::frameRate).entries = kPalRates;
    expectRule(s, "rate-tail");
    s = good;
    s.list(ListId::audio).selection = 3;
    expectRule(s, "selection-valid");
    s = good;
    s.list(ListId::cameras).text = "5";
    expectRule(s, "text-is-choice");
    s = good;
    s.list(ListId::hddsize).text = "";
    expectRule(s, "text-is-placeholder");
    s = good;
    s.hours = "1";
    expectRule(s, "results-paired");
}

TEST(SharedChecks, TransitionRulesNoticeWrongChanges) {
    CalculatorController controller;
    controller.Form_Load();
    for (const ListId list : kAllLists) {
        controller.click(list, 0);  // the first entry of each list, in the window's order
    }
    controller.cmdCalculate_Click();
    const ControllerState before = capture(controller);
    const auto expectRule = [&before](const Operation& op, const ControllerState& after,
                                      const char* rule) {
        const auto broken = checkTransition(before, op, {}, after);
        ASSERT_TRUE(broken) << rule;
        EXPECT_EQ(broken->rule, rule);
    };
    ControllerState after = before;
    EXPECT_FALSE(checkTransition(before, {OpKind::cmdCalculate}, {}, after));
    expectRule({OpKind::click, ListId::audio, 1}, after, "pick-empties-results");
    after.list(ListId::quality).selection.reset();
    after.list(ListId::quality).text = kPlaceholders[2];
    expectRule({OpKind::cmdCalculate}, after, "calculate-only-results");
    expectRule({OpKind::change, ListId::audio}, after, "change-drops-only-its-choice");
    expectRule({OpKind::click, ListId::audio, 7}, after, "out-of-range-click-no-change");
    after = before;
    after.list(ListId::quality).entries = kCifQualities;
    expectRule({OpKind::click, ListId::cameras, 3}, after, "quality-changes-by-resolution");
    after = before;
    after.hours.clear();
    after.days.clear();
    after.list(ListId::frameRate).selection = 1;
    after.list(ListId::frameRate).text = after.list(ListId::frameRate).entries[1];
    expectRule({OpKind::click, ListId::audio, 0}, after, "pick-touches-only-its-lists");
}

}  // namespace
}  // namespace storagecalc::oracle
