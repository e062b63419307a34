// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/option_catalogue.h"
#include "core/rate_table.h"
#include "core/recording_time.h"

namespace storagecalc {

// The state of one drop-down list. text is the chosen entry, or the list's placeholder.
struct OptionList {
    TextList entries;
    std::optional<int> selection;
    std::string text;
    bool operator==(const OptionList&) const = default;
};

// What an operation asks of the window besides showing the new state: a modal message box,
// then a focus move. Empty for every operation but a Calculate that cannot finish.
struct ControllerOutcome {
    std::optional<std::string> messageTitle;
    std::string messageText;
    std::optional<ListId> focusList;
    bool operator==(const ControllerOutcome&) const = default;
};

// Holds everything the main window shows and reacts to every user action in it. Operations are
// named after the window events that call them. Call Form_Load() before anything else.
class CalculatorController {
  public:
    using CalculateFunction = CalculationResult (*)(const Selections&, std::string_view);

    explicit CalculatorController(std::string decimalSeparator = ".",
                                  CalculateFunction calculate = &calculateRecordingTime);

    ControllerOutcome Form_Load();
    ControllerOutcome cmdClear_Click();
    ControllerOutcome mnuClear_Click();
    ControllerOutcome mnuNTSC_Click();
    ControllerOutcome mnuPAL_Click();
    ControllerOutcome cmdCalculate_Click();

    ControllerOutcome cameras_Click(int position) { return click(ListId::cameras, position); }
    ControllerOutcome resolution_Click(int position) { return click(ListId::resolution, position); }
    ControllerOutcome quality_Click(int position) { return click(ListId::quality, position); }
    ControllerOutcome frameRate_Click(int position) { return click(ListId::frameRate, position); }
    ControllerOutcome audio_Click(int position) { return click(ListId::audio, position); }
    ControllerOutcome hddsize_Click(int position) { return click(ListId::hddsize, position); }

    ControllerOutcome cameras_Change() { return change(ListId::cameras); }
    ControllerOutcome resolution_Change() { return change(ListId::resolution); }
    ControllerOutcome quality_Change() { return change(ListId::quality); }
    ControllerOutcome frameRate_Change() { return change(ListId::frameRate); }
    ControllerOutcome audio_Change() { return change(ListId::audio); }
    ControllerOutcome hddsize_Change() { return change(ListId::hddsize); }

    // The user chose the entry at position in list id. A position the list does not hold
    // changes nothing.
    ControllerOutcome click(ListId id, int position);
    // The user edited the text in the field of list id: the list loses its choice.
    ControllerOutcome change(ListId id);

    VideoStandard standard() const { return m_standard; }
    const OptionList& optionList(ListId list) const { return m_lists.at(indexOf(list)); }
    const std::string& hoursText() const { return m_hoursText; }
    const std::string& daysText() const { return m_daysText; }
    bool ntscChecked() const { return m_ntscChecked; }
    bool palChecked() const { return m_palChecked; }

  private:
    OptionList& list(ListId id) { return m_lists.at(indexOf(id)); }
    void fill(ListId id, TextSpan entries);
    void select(ListId id, std::optional<int> position);
    void clearResults();
    void resetAll();
    void setStandard(VideoStandard standard);
    void apply(const SelectionUpdate& update);

    std::string m_decimalSeparator;
    CalculateFunction m_calculate;
    VideoStandard m_standard = VideoStandard::NTSC;
    std::array<OptionList, kListCount> m_lists;
    std::string m_hoursText;
    std::string m_daysText;
    bool m_ntscChecked = false;
    bool m_palChecked = false;
};

}  // namespace storagecalc
