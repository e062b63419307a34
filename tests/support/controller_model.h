// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

// A small model of the controller: the state it should be in after each operation, written
// straight from the rules of the window rather than from the core's code. The results come from
// the exact oracle, the recording rates from our own copy of the availability grid.

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "catalogue_facts.h"
#include "controller_checks.h"
#include "recording_oracle.h"

namespace storagecalc::oracle {

class ControllerModel {
  public:
    explicit ControllerModel(std::string separator = ".") : m_separator(std::move(separator)) {}

    void formLoad() { setStandard(VideoStandard::NTSC); }

    const ControllerState& state() const { return m_state; }

    ControllerOutcome apply(const Operation& op) {
        switch (op.kind) {
            case OpKind::cmdClear:
            case OpKind::mnuClear:
                reset();
                return {};
            case OpKind::mnuNTSC:
                setStandard(VideoStandard::NTSC);
                return {};
            case OpKind::mnuPAL:
                setStandard(VideoStandard::PAL);
                return {};
            case OpKind::cmdCalculate:
                return calculate();
            case OpKind::click:
                pick(op.list, op.position);
                return {};
            case OpKind::change:
                choose(op.list, std::nullopt);
                return {};
        }
        return {};
    }

  private:
    void setStandard(VideoStandard standard) {
        m_state.standard = standard;
        m_state.ntscChecked = standard == VideoStandard::NTSC;
        m_state.palChecked = standard == VideoStandard::PAL;
        reset();
    }

    void reset() {
        refill(ListId::cameras, kCameraTexts);
        refill(ListId::resolution, resolutionsOf(m_state.standard));
        refill(ListId::quality, {});
        refill(ListId::frameRate, {});
        refill(ListId::audio, kAudioTexts);
        refill(ListId::hddsize, kDiskTexts);
        m_state.hours.clear();
        m_state.days.clear();
    }

    void refill(ListId id, const Texts& entries) {
        m_state.list(id).entries = entries;
        choose(id, std::nullopt);
    }

    void choose(ListId id, std::optional<int> position) {
        OptionList& list = m_state.list(id);
        list.selection = position;
        list.text = position ? list.entries.at(static_cast<std::size_t>(*position))
                             : kPlaceholders.at(indexOf(id));
    }

    void pick(ListId id, int position) {
        if (!offers(m_state.list(id), position)) {
            return;  // nothing to choose there
        }
        choose(id, position);
        m_state.hours.clear();
        m_state.days.clear();
        const std::optional<int> cameras = m_state.list(ListId::cameras).selection;
        const std::optional<int> resolution = m_state.list(ListId::resolution).selection;
        if (id == ListId::resolution) {
            refill(ListId::quality, qualitiesOf(position));
        }
        if ((id == ListId::cameras || id == ListId::resolution) && cameras && resolution) {
            refill(ListId::frameRate, expectedRates(m_state.standard, *cameras, *resolution));
        }
    }

    ControllerOutcome calculate() {
        for (const ListId id : kAllLists) {
            if (!m_state.list(id).selection) {
                return {std::string("Missing Data"), kMissingMessages.at(indexOf(id)), id};
            }
        }
        const auto time = oracleRecordingTime(
            *m_state.list(ListId::cameras).selection + 1, m_state.list(ListId::quality).text,
            m_state.list(ListId::frameRate).text, m_state.list(ListId::audio).text,
            m_state.list(ListId::hddsize).text, m_separator);
        if (!time) {
            // Cannot happen with the catalogue's texts; the model has no answer for it.
            return {std::string("(no result)"), {}, std::nullopt};
        }
        m_state.hours = time->hoursText;
        m_state.days = time->daysText;
        return {};
    }

    std::string m_separator;
    ControllerState m_state;
};

// Compares the controller with the model after an operation.
inline std::optional<Violation> checkAgainstModel(const ControllerModel& model,
                                                  const ControllerOutcome& expected,
                                                  const ControllerOutcome& outcome,
                                                  const ControllerState& actual) {
    if (outcome != expected) {
        return Violation{"model-outcome", "expected message \"" +
                                              expected.messageTitle.value_or("(none)") + "\": \"" +
                                              expected.messageText + "\", got \"" +
                                              outcome.messageTitle.value_or("(none)") + "\": \"" +
                                              outcome.messageText + "\""};
    }
    if (actual != model.state()) {
        return Violation{"model-state", "expected:\n" + describe(model.state()) + "\nactual:\n" +
                                            describe(actual)};
    }
    return std::nullopt;
}

// A controller and its model driven side by side, every rule checked after every operation.
class CheckedRun {
  public:
    // An extra rule to check after each step, besides the shared ones.
    using ExtraCheck = std::function<std::optional<Violation>(
        const ControllerState& before, const Operation& op, const ControllerState& after)>;

    explicit CheckedRun(const std::string& separator = ".", ExtraCheck extra = {})
        : m_controller(separator), m_model(separator), m_extra(std::move(extra)) {}

    // Form_Load on both, then the start-up state is checked.
    std::optional<Violation> start() {
        const ControllerOutcome outcome = m_controller.Form_Load();
        m_model.formLoad();
        m_state = capture(m_controller);
        if (auto broken = checkInvariants(m_state)) {
            return broken;
        }
        return checkAgainstModel(m_model, {}, outcome, m_state);
    }

    std::optional<Violation> step(const Operation& op) {
        ControllerState before = std::move(m_state);
        const ControllerOutcome outcome = oracle::apply(m_controller, op);
        const ControllerOutcome expected = m_model.apply(op);
        m_state = capture(m_controller);
        if (auto broken = checkInvariants(m_state)) {
            return broken;
        }
        if (auto broken = checkTransition(before, op, outcome, m_state)) {
            return broken;
        }
        if (auto broken = checkAgainstModel(m_model, expected, outcome, m_state)) {
            return broken;
        }
        if (m_extra) {
            return m_extra(before, op, m_state);
        }
        return std::nullopt;
    }

    const ControllerState& state() const { return m_state; }

  private:
    CalculatorController m_controller;
    ControllerModel m_model;
    ExtraCheck m_extra;
    ControllerState m_state;
};

}  // namespace storagecalc::oracle
