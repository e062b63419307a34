// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Types keys and clicks into a KWin session through its fake-input protocol, as a user's
// keyboard and mouse would: the compositor sends them to whichever window it has active.
// Usage: fake_input ACTION...   where ACTION is a key chord such as ctrl+i, return or escape,
// or click:X,Y (the left button at that point of the screen).
#define _POSIX_C_SOURCE 200809L
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input* fake_input;

static void on_global(void* data, struct wl_registry* registry, uint32_t name,
                      const char* interface, uint32_t version) {
    (void)data;
    // Keys came with version 4.
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
        fake_input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
    }
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

struct named_key {
    const char* name;
    uint32_t code;
};

static const struct named_key keys[] = {
    {"ctrl", KEY_LEFTCTRL}, {"shift", KEY_LEFTSHIFT},
    {"alt", KEY_LEFTALT},   {"return", KEY_ENTER},
    {"escape", KEY_ESC},    {"tab", KEY_TAB},
    {"space", KEY_SPACE},   {"down", KEY_DOWN},
    {"up", KEY_UP},         {"left", KEY_LEFT},
    {"right", KEY_RIGHT},   {"a", KEY_A},
    {"c", KEY_C},           {"g", KEY_G},
    {"i", KEY_I},           {"x", KEY_X},
};

static int key_code(const char* name, size_t length, uint32_t* code) {
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
        if (strlen(keys[i].name) == length && strncmp(keys[i].name, name, length) == 0) {
            *code = keys[i].code;
            return 1;
        }
    }
    return 0;
}

// Presses the chord's keys in order and lets them go in reverse order.
static int chord(const char* text) {
    uint32_t codes[4];
    size_t count = 0;
    for (const char* part = text; *part != '\0';) {
        const char* end = strchr(part, '+');
        const size_t length = end != NULL ? (size_t)(end - part) : strlen(part);
        if (count == 4 || !key_code(part, length, &codes[count])) {
            fprintf(stderr, "fake_input: unknown key in %s\n", text);
            return 0;
        }
        ++count;
        part += length + (end != NULL ? 1 : 0);
    }
    for (size_t i = 0; i < count; ++i) {
        org_kde_kwin_fake_input_keyboard_key(fake_input, codes[i], WL_KEYBOARD_KEY_STATE_PRESSED);
    }
    for (size_t i = count; i-- > 0;) {
        org_kde_kwin_fake_input_keyboard_key(fake_input, codes[i], WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    return 1;
}

static struct wl_display* display;

static int click(const char* where) {
    int x = 0;
    int y = 0;
    if (sscanf(where, "%d,%d", &x, &y) != 2) {
        fprintf(stderr, "fake_input: no point in click:%s\n", where);
        return 0;
    }
    org_kde_kwin_fake_input_pointer_motion_absolute(fake_input, wl_fixed_from_int(x),
                                                    wl_fixed_from_int(y));
    org_kde_kwin_fake_input_button(fake_input, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
    // Held as a hand holds it: a menu opens its popup while the button is down.
    wl_display_roundtrip(display);
    nanosleep(&(struct timespec){.tv_nsec = 100000000}, NULL);
    org_kde_kwin_fake_input_button(fake_input, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
    return 1;
}

int main(int argc, char* argv[]) {
    display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "fake_input: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (fake_input == NULL) {
        fprintf(stderr, "fake_input: the compositor offers no fake input (version 4)\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fake_input, "window checks", "types into the program");
    int ok = 1;
    for (int i = 1; i < argc && ok; ++i) {
        ok = strncmp(argv[i], "click:", 6) == 0 ? click(argv[i] + 6) : chord(argv[i]);
        // Each action reaches the compositor before the next one is sent.
        wl_display_roundtrip(display);
    }
    org_kde_kwin_fake_input_destroy(fake_input);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return ok ? 0 : 1;
}
