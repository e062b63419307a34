// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <array>

#include "ui/session_platform.h"

namespace storagecalc::testing {
namespace {

struct OfferCase {
    const char* name;
    SessionOffer offer;
    const char* platforms;
    bool activatesWindows;
};

// The offer: the user's choice, a Wayland compositor, its title bars, Xwayland, its activation.
TEST(SessionPlatformTest, ChoosesByWhatTheSessionOffers) {
    const OfferCase cases[] = {
        {"X11 session", {std::nullopt, false, false, true, false}, "", true},
        {"no display at all", {std::nullopt, false, false, false, false}, "", true},
        {"KWin, with Xwayland", {std::nullopt, true, true, true, true}, "wayland;xcb", true},
        {"KWin without Xwayland", {std::nullopt, true, true, false, true}, "wayland;xcb", true},
        {"mutter, with Xwayland", {std::nullopt, true, false, true, true}, "xcb;wayland", true},
        {"weston, with Xwayland", {std::nullopt, true, false, true, false}, "xcb;wayland", false},
        {"weston without Xwayland", {std::nullopt, true, false, false, false}, "", false},
        {"the user's choice on weston",
         {QByteArray("wayland"), true, false, true, false},
         "",
         false},
        {"the user's choice on KWin", {QByteArray("xcb"), true, true, true, true}, "", true},
    };
    for (const OfferCase& c : cases) {
        EXPECT_EQ(chooseQtPlatform(c.offer), QByteArray(c.platforms)) << c.name;
        EXPECT_EQ(desktopActivatesWindows(c.offer), c.activatesWindows) << c.name;
    }
}

// Runs the choice in an environment of the case's own, and gives back QT_QPA_PLATFORM.
class SessionEnvironment {
  public:
    SessionEnvironment() {
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            m_saved.at(i) = qgetenv(kNames.at(i));
            m_had.at(i) = qEnvironmentVariableIsSet(kNames.at(i));
            qunsetenv(kNames.at(i));
        }
    }
    ~SessionEnvironment() {
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (m_had.at(i)) {
                qputenv(kNames.at(i), m_saved.at(i));
            } else {
                qunsetenv(kNames.at(i));
            }
        }
    }
    SessionEnvironment(const SessionEnvironment&) = delete;
    SessionEnvironment& operator=(const SessionEnvironment&) = delete;

  private:
    static constexpr std::array<const char*, 4> kNames = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY",
                                                          "DISPLAY", "XDG_SESSION_TYPE"};
    std::array<QByteArray, 4> m_saved;
    std::array<bool, 4> m_had{};
};

struct EnvironmentCase {
    const char* name;
    const char* userPlatform;   // QT_QPA_PLATFORM before, or nullptr
    const char* sessionType;    // XDG_SESSION_TYPE, or nullptr
    bool platformOption;        // -platform offscreen on the command line
    const char* platformAfter;  // QT_QPA_PLATFORM after, or nullptr for none
};

// The user's choice stays as it is, and a compositor that does not answer leaves the choice to
// Qt, even where one is named.
TEST(SessionPlatformTest, LeavesTheUsersChoiceAndAnAbsentCompositorAlone) {
    const EnvironmentCase cases[] = {
        {"QT_QPA_PLATFORM", "wayland", nullptr, false, "wayland"},
        {"-platform on the command line", nullptr, nullptr, true, nullptr},
        {"a compositor that does not answer", nullptr, "wayland", false, nullptr},
    };
    for (const EnvironmentCase& c : cases) {
        SessionEnvironment session;
        if (c.userPlatform != nullptr) {
            qputenv("QT_QPA_PLATFORM", c.userPlatform);
        }
        if (c.sessionType != nullptr) {
            qputenv("XDG_SESSION_TYPE", c.sessionType);
        }
        qputenv("WAYLAND_DISPLAY", "storagecalc-test-no-such-compositor");
        qputenv("DISPLAY", ":999");
        char program[] = "mv4016-calculator";
        char option[] = "-platform";
        char value[] = "offscreen";
        char* argv[] = {program, option, value, nullptr};
        char* plain[] = {program, nullptr};
        if (c.platformOption) {
            chooseSessionPlatform(3, argv);
        } else {
            chooseSessionPlatform(1, plain);
        }
        if (c.platformAfter != nullptr) {
            EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), c.platformAfter) << c.name;
        } else {
            EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) << c.name;
        }
    }
}

}  // namespace
}  // namespace storagecalc::testing
