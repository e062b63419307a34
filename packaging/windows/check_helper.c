// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// A Windows program for the check scripts, run under Wine:
//   check_helper hold FILE READY      opens FILE without sharing it
//   check_helper hold Local\NAME READY  creates that mutex
//   check_helper scan FILE READY      opens FILE as a virus scanner may: others can still read and
//                                     write it, but neither remove nor rename it
//   check_helper window TITLE READY   shows a top-level window with that title, which stays when
//                                     asked to close and adds a line to READY each time it is
// each creates the file READY once it holds what it was asked for, and keeps it until killed;
//   check_helper minimise TITLE       minimises the visible top-level window with that title as
//                                     a program does (ShowWindow), exit code 1 if there is none.
#include <wchar.h>
#include <windows.h>

static const wchar_t* ready_file;

static void ready(void) {
    CloseHandle(CreateFileW(ready_file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
}

static int hold(const wchar_t* what, DWORD sharing) {
    HANDLE held = wcsncmp(what, L"Local\\", 6) == 0
                      ? CreateMutexW(NULL, FALSE, what)
                      : CreateFileW(what, GENERIC_READ, sharing, NULL, OPEN_EXISTING, 0, NULL);
    if (held == NULL || held == INVALID_HANDLE_VALUE) {
        return 1;
    }
    ready();
    Sleep(INFINITE);
    return 0;
}

// Closes only when the user closes it: WM_CLOSE from elsewhere is ignored, and written down, so
// that the check sees whether anybody asked.
static LRESULT CALLBACK stubborn(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        HANDLE file =
            CreateFileW(ready_file, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
        DWORD written;
        WriteFile(file, "WM_CLOSE\r\n", 10, &written, NULL);
        CloseHandle(file);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

static int window(const wchar_t* title) {
    WNDCLASSW kind = {0};
    kind.lpfnWndProc = stubborn;
    kind.hInstance = GetModuleHandleW(NULL);
    kind.lpszClassName = L"CheckHelperWindow";
    if (RegisterClassW(&kind) == 0) {
        return 1;
    }
    HWND shown =
        CreateWindowW(kind.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                      CW_USEDEFAULT, 320, 200, NULL, NULL, kind.hInstance, NULL);
    if (shown == NULL) {
        return 1;
    }
    ready();
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
    if (argc == 4) {
        ready_file = argv[3];
        if (wcscmp(argv[1], L"hold") == 0) {
            return hold(argv[2], 0);
        }
        if (wcscmp(argv[1], L"scan") == 0) {
            return hold(argv[2], FILE_SHARE_READ | FILE_SHARE_WRITE);
        }
        if (wcscmp(argv[1], L"window") == 0) {
            return window(argv[2]);
        }
    }
    if (argc == 3 && wcscmp(argv[1], L"minimise") == 0) {
        return minimise(argv[2]);
    }
    return 2;
}
