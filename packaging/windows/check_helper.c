// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// A Windows program for the check scripts, run under Wine:
//   check_helper hold FILE READY      opens FILE without sharing it
//   check_helper hold Local\NAME READY  creates that mutex
//   check_helper window TITLE READY   shows a top-level window with that title
// each creates the file READY once it holds what it was asked for, and keeps it until killed;
//   check_helper minimise TITLE       minimises the visible top-level window with that title as
//                                     a program does (ShowWindow), exit code 1 if there is none.
#include <wchar.h>
#include <windows.h>

static void ready(const wchar_t* path) {
    CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
}

static int hold(const wchar_t* what, const wchar_t* done) {
    HANDLE held = wcsncmp(what, L"Local\\", 6) == 0
                      ? CreateMutexW(NULL, FALSE, what)
                      : CreateFileW(what, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (held == NULL || held == INVALID_HANDLE_VALUE) {
        return 1;
    }
    ready(done);
    Sleep(INFINITE);
    return 0;
}

// Closes only when the user closes it: WM_CLOSE from elsewhere is ignored, so that a window
// closed by somebody else shows as gone only if its process was ended.
static LRESULT CALLBACK stubborn(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

static int window(const wchar_t* title, const wchar_t* done) {
    WNDCLASSW kind = {0};
    kind.lpfnWndProc = stubborn;
    kind.hInstance = GetModuleHandleW(NULL);
    kind.lpszClassName = L"CheckHelperWindow";
    if (RegisterClassW(&kind) == 0) {
        return 1;
    }
    HWND shown = CreateWindowW(kind.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, NULL, NULL,
                               kind.hInstance, NULL);
    if (shown == NULL) {
        return 1;
    }
    ready(done);
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}

static int minimise(const wchar_t* title) {
    HWND found = FindWindowW(NULL, title);
    if (found == NULL || !IsWindowVisible(found)) {
        return 1;
    }
    ShowWindow(found, SW_MINIMIZE);
    return IsIconic(found) ? 0 : 1;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && wcscmp(argv[1], L"hold") == 0) {
        return hold(argv[2], argv[3]);
    }
    if (argc == 4 && wcscmp(argv[1], L"window") == 0) {
        return window(argv[2], argv[3]);
    }
    if (argc == 3 && wcscmp(argv[1], L"minimise") == 0) {
        return minimise(argv[2]);
    }
    return 2;
}
