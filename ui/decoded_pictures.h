// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <span>

namespace storagecalc {

// A picture of the built-in resources, decoded when the program was built: width x height
// pixels of 32 bits (QImage::Format_RGB32), row after row.
struct DecodedPicture {
    const char* resource;
    int width;
    int height;
    const char* pixels;
};

// The pictures of the main window, decoded at build time from their JPEG resources.
std::span<const DecodedPicture> decodedPictures();

}  // namespace storagecalc
