// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

// What must hold of the controller after every operation, and how each operation may change it.
// Shared by the tests and the fuzz targets, so it reports through return values rather than
// through a test framework. The expected texts are our own copy, never the catalogue's.

#include <array>
#include <climits>
#include <cstddef>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue_facts.h"
#include "core/calculator_controller.h"

namespace storagecalc::oracle {

inline const char* nameOf(ListId list) {
    static const std::array<const char*, kListCount> names = {"cameras",   "resolution", "quality",
                                                              "frameRate", "audio",      "hddsize"};
    return names.at(indexOf(list));
}

// Whether the list holds an entry at the position.
inline bool offers(const OptionList& list, int position) {
    return position >= 0 && static_cast<std::size_t>(position) < list.entries.size();
}

// A copy of everything the window shows, so states can be compared before and after.
struct ControllerState {
    VideoStandard standard = VideoStandard::NTSC;
    bool ntscChecked = false;
    bool palChecked = false;
    std::array<OptionList, kListCount> lists;
    std::string hours;
    std::string days;
    bool operator==(const ControllerState&) const = default;

    const OptionList& list(ListId id) const { return lists.at(indexOf(id)); }
    OptionList& list(ListId id) { return lists.at(indexOf(id)); }
};

inline ControllerState capture(const CalculatorController& controller) {
    ControllerState state;
    state.standard = controller.standard();
    state.ntscChecked = controller.ntscChecked();
    state.palChecked = controller.palChecked();
    for (const ListId id : kAllLists) {
        state.list(id) = controller.optionList(id);
    }
    state.hours = controller.hoursText();
    state.days = controller.daysText();
    return state;
}

// One user action, as the window would forward it. Form_Load is not among them: it runs once,
// before any of these.
enum class OpKind { cmdClear, mnuClear, mnuNTSC, mnuPAL, cmdCalculate, click, change };

struct Operation {
    OpKind kind = OpKind::cmdCalculate;
    ListId list = ListId::cameras;  // click and change only
    int position = 0;               // click only
    bool operator==(const Operation&) const = default;
};

// Through the named handlers the window calls, so that each of them is exercised.
inline ControllerOutcome apply(CalculatorController& controller, const Operation& op) {
    using C = CalculatorController;
    using Command = ControllerOutcome (C::*)();
    using Click = ControllerOutcome (C::*)(int);
    // By OpKind, then by ListId.
    static constexpr std::array<Command, 5> commands = {&C::cmdClear_Click, &C::mnuClear_Click,
                                                        &C::mnuNTSC_Click, &C::mnuPAL_Click,
                                                        &C::cmdCalculate_Click};
    static constexpr std::array<Click, kListCount> clicks = {
        &C::cameras_Click,   &C::resolution_Click, &C::quality_Click,
        &C::frameRate_Click, &C::audio_Click,      &C::hddsize_Click};
    static constexpr std::array<Command, kListCount> changes = {
        &C::cameras_Change,   &C::resolution_Change, &C::quality_Change,
        &C::frameRate_Change, &C::audio_Change,      &C::hddsize_Change};
    switch (op.kind) {
        case OpKind::click:
            return (controller.*clicks.at(indexOf(op.list)))(op.position);
        case OpKind::change:
            return (controller.*changes.at(indexOf(op.list)))();
        default:
            return (controller.*commands.at(static_cast<std::size_t>(op.kind)))();
    }
}

// The operation as a line of code that repeats it.
inline std::string describe(const Operation& op) {
    static const std::array<const char*, 5> commands = {"cmdClear", "mnuClear", "mnuNTSC", "mnuPAL",
                                                        "cmdCalculate"};
    switch (op.kind) {
        case OpKind::click: {
            std::string position = std::to_string(op.position);
            if (op.position == INT_MIN) {
                position = "INT_MIN";
            } else if (op.position == INT_MAX) {
                position = "INT_MAX";
            }
            return std::string(nameOf(op.list)) + "_Click(" + position + ")";
        }
        case OpKind::change:
            return std::string(nameOf(op.list)) + "_Change()";
        default:
            return std::string(commands.at(static_cast<std::size_t>(op.kind))) + "_Click()";
    }
}

inline std::string describe(const std::vector<Operation>& ops) {
    std::string text;
    for (const Operation& op : ops) {
        text += "  " + describe(op) + ";\n";
    }
    return text;
}

inline std::string describe(const OptionList& list) {
    std::ostringstream out;
    out << "{";
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        out << (i == 0 ? "" : ", ") << '"' << list.entries[i] << '"';
    }
    out << "} selection ";
    if (list.selection) {
        out << *list.selection;
    } else {
        out << "none";
    }
    out << " text \"" << list.text << '"';
    return out.str();
}

inline std::string describe(const ControllerState& state) {
    std::ostringstream out;
    out << (state.standard == VideoStandard::PAL ? "PAL" : "NTSC")
        << " marks NTSC=" << state.ntscChecked << " PAL=" << state.palChecked << "\n";
    for (const ListId id : kAllLists) {
        out << "  " << nameOf(id) << ": " << describe(state.list(id)) << "\n";
    }
    out << "  hours \"" << state.hours << "\" days \"" << state.days << "\"";
    return out.str();
}

inline std::ostream& operator<<(std::ostream& out, const ControllerState& state) {
    return out << describe(state);
}

// A broken rule: a short name that stays the same for the same fault (the shrinker relies on it)
// and the particulars.
struct Violation {
    std::string rule;
    std::string detail;
};

inline bool isTailOf(const Texts& list, const Texts& sequence) {
    if (list.empty() || list.size() > sequence.size()) {
        return false;
    }
    const std::size_t start = sequence.size() - list.size();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] != sequence[start + i]) {
            return false;
        }
    }
    return true;
}

inline bool validClick(const ControllerState& before, const Operation& op) {
    return op.kind == OpKind::click && offers(before.list(op.list), op.position);
}

inline bool isReset(const Operation& op) {
    return op.kind == OpKind::cmdClear || op.kind == OpKind::mnuClear ||
           op.kind == OpKind::mnuNTSC || op.kind == OpKind::mnuPAL;
}

// The rules that hold in every state from Form_Load on.
inline std::optional<Violation> checkInvariants(const ControllerState& s) {
    const auto fail = [&s](const char* rule, const std::string& what) {
        return std::optional<Violation>(Violation{rule, what + "\nstate: " + describe(s)});
    };
    if (s.ntscChecked != (s.standard == VideoStandard::NTSC) ||
        s.palChecked != (s.standard == VideoStandard::PAL)) {
        return fail("marks-match-standard", "menu marks disagree with the standard");
    }
    if (s.list(ListId::cameras).entries != kCameraTexts) {
        return fail("fixed-cameras", "cameras list does not hold 1..16");
    }
    if (s.list(ListId::resolution).entries != resolutionsOf(s.standard)) {
        return fail("fixed-resolution", "resolution list is not the current standard's");
    }
    if (s.list(ListId::audio).entries != kAudioTexts) {
        return fail("fixed-audio", "audio list does not hold the three audio texts");
    }
    if (s.list(ListId::hddsize).entries != kDiskTexts) {
        return fail("fixed-hddsize", "hddsize list does not hold the four disk texts");
    }
    const Texts& quality = s.list(ListId::quality).entries;
    if (!quality.empty() && quality != kTwoCifQualities && quality != kCifQualities) {
        return fail("quality-set", "quality list is neither empty nor one quality set");
    }
    const Texts& rates = s.list(ListId::frameRate).entries;
    if (!rates.empty() && !isTailOf(rates, ratesOf(s.standard))) {
        return fail("rate-tail", "frameRate list is not a tail of the standard's sequence");
    }
    for (const ListId id : kAllLists) {
        const OptionList& list = s.list(id);
        if (list.selection) {
            if (!offers(list, *list.selection)) {
                return fail("selection-valid", std::string(nameOf(id)) + " selection out of range");
            }
            if (list.text != list.entries[static_cast<std::size_t>(*list.selection)]) {
                return fail("text-is-choice",
                            std::string(nameOf(id)) + " text is not the chosen entry");
            }
        } else if (list.text != kPlaceholders.at(indexOf(id))) {
            return fail("text-is-placeholder",
                        std::string(nameOf(id)) + " shows no placeholder without a choice");
        }
    }
    if (s.hours.empty() != s.days.empty()) {
        return fail("results-paired", "one result is empty and the other is not");
    }
    return std::nullopt;
}

// How a single operation may change the state, stated per operation rather than by re-running it.
inline std::optional<Violation> checkTransition(const ControllerState& before, const Operation& op,
                                                const ControllerOutcome& outcome,
                                                const ControllerState& after) {
    const auto fail = [&](const char* rule, const std::string& what) {
        return std::optional<Violation>(Violation{rule, what + " after " + describe(op) +
                                                            "\nbefore: " + describe(before) +
                                                            "\nafter: " + describe(after)});
    };
    if (op.kind != OpKind::cmdCalculate && (outcome.messageTitle || outcome.focusList)) {
        return fail("outcome-only-from-calculate",
                    "an operation other than Calculate asked for a "
                    "message or a focus move");
    }
    // The quality and rate lists get entries from resolution and camera picks only.
    const bool qualityRefillAllowed = validClick(before, op) && op.list == ListId::resolution;
    const bool rateRefillAllowed =
        validClick(before, op) && (op.list == ListId::resolution || op.list == ListId::cameras);
    if (!qualityRefillAllowed && !isReset(op) &&
        after.list(ListId::quality).entries != before.list(ListId::quality).entries) {
        return fail("quality-changes-by-resolution", "quality entries changed");
    }
    if (!rateRefillAllowed && !isReset(op) &&
        after.list(ListId::frameRate).entries != before.list(ListId::frameRate).entries) {
        return fail("rates-change-by-pick", "frameRate entries changed");
    }
    if (after.standard != before.standard && op.kind != OpKind::mnuNTSC &&
        op.kind != OpKind::mnuPAL) {
        return fail("standard-by-menu", "standard changed");
    }

    switch (op.kind) {
        case OpKind::cmdClear:
        case OpKind::mnuClear:
        case OpKind::mnuNTSC:
        case OpKind::mnuPAL: {
            VideoStandard expected = before.standard;
            if (op.kind == OpKind::mnuNTSC) {
                expected = VideoStandard::NTSC;
            } else if (op.kind == OpKind::mnuPAL) {
                expected = VideoStandard::PAL;
            }
            if (after.standard != expected) {
                return fail("reset-standard", "wrong standard");
            }
            for (const ListId id : kAllLists) {
                if (after.list(id).selection) {
                    return fail("reset-drops-choices", std::string(nameOf(id)) + " kept a choice");
                }
            }
            if (!after.list(ListId::quality).entries.empty() ||
                !after.list(ListId::frameRate).entries.empty()) {
                return fail("reset-empties-lists", "quality or frameRate not emptied");
            }
            if (!after.hours.empty() || !after.days.empty()) {
                return fail("reset-empties-results", "results kept");
            }
            break;
        }
        case OpKind::cmdCalculate: {
            ControllerState expected = before;
            expected.hours = after.hours;
            expected.days = after.days;
            if (after != expected) {
                return fail("calculate-only-results", "Calculate changed more than the results");
            }
            if (outcome.messageTitle) {
                if (after.hours != before.hours || after.days != before.days) {
                    return fail("failed-calculate-keeps-results", "results changed");
                }
            } else if (after.hours.empty() || after.days.empty()) {
                return fail("calculate-sets-results", "no message and no results");
            }
            break;
        }
        case OpKind::click: {
            if (!validClick(before, op)) {
                if (after != before) {
                    return fail("out-of-range-click-no-change", "state changed");
                }
                break;
            }
            if (!after.hours.empty() || !after.days.empty()) {
                return fail("pick-empties-results", "results not emptied");
            }
            if (after.list(op.list).selection != op.position) {
                return fail("pick-selects", "the picked position is not chosen");
            }
            if (after.standard != before.standard || after.ntscChecked != before.ntscChecked ||
                after.palChecked != before.palChecked) {
                return fail("pick-keeps-standard", "standard or marks changed");
            }
            // Only the picked list and, for camera and resolution picks, the lists they refill.
            for (const ListId id : kAllLists) {
                if (id == op.list) {
                    continue;
                }
                const bool refillable = (id == ListId::quality && qualityRefillAllowed) ||
                                        (id == ListId::frameRate && rateRefillAllowed);
                if (after.list(id) == before.list(id)) {
                    continue;
                }
                if (!refillable) {
                    return fail("pick-touches-only-its-lists",
                                std::string(nameOf(id)) + " changed");
                }
                if (after.list(id).selection) {
                    return fail("refill-drops-choice",
                                std::string(nameOf(id)) + " refilled but kept a choice");
                }
            }
            if (op.list == ListId::resolution) {
                const OptionList& quality = after.list(ListId::quality);
                if (quality.entries != qualitiesOf(op.position) || quality.selection) {
                    return fail("resolution-pick-loads-quality",
                                "quality list not refilled with the resolution's set");
                }
            }
            const bool cellChosen =
                after.list(ListId::cameras).selection && after.list(ListId::resolution).selection;
            if ((op.list == ListId::cameras || op.list == ListId::resolution) && cellChosen) {
                const OptionList& rates = after.list(ListId::frameRate);
                if (rates.entries.empty() || rates.selection) {
                    return fail("cell-pick-loads-rates",
                                "frameRate not refilled although cameras and resolution are "
                                "chosen");
                }
            }
            break;
        }
        case OpKind::change: {
            ControllerState expected = before;
            expected.list(op.list).selection.reset();
            expected.list(op.list).text = kPlaceholders.at(indexOf(op.list));
            if (after != expected) {
                return fail("change-drops-only-its-choice",
                            "Change did more than drop the list's choice");
            }
            break;
        }
    }
    return std::nullopt;
}

}  // namespace storagecalc::oracle
