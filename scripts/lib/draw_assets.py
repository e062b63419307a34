#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Redraw the pictures and the window icon of the MV-4016 Storage Calculator.

Writes into ui/assets/ (or the directory given as the only argument): the
title banner, the maker's logos, the recorder's front panel, each at 1x and
at 2x (drawn at the larger size, not upscaled), plus the window icon as PNG
and SVG. Needs Python 3 with Pillow and the DejaVu fonts: scripts/draw_assets
installs them and runs it.
Output is deterministic: the only noise comes from a fixed seed.
"""

import math
import os
import random
import sys
from pathlib import Path

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:
    sys.exit("draw_assets.py needs Pillow: run it through scripts/draw_assets")

SS = 3  # supersampling factor: draw at 3x the target size, then downscale
FONT_DIRS = ["/usr/share/fonts", "/usr/local/share/fonts",
             "~/.local/share/fonts", "~/.fonts"]
FONTS = {  # role -> candidate file names, first found wins
    "sans": ["DejaVuSans.ttf", "LiberationSans-Regular.ttf", "FreeSans.ttf"],
    "bold": ["DejaVuSans-Bold.ttf", "LiberationSans-Bold.ttf", "FreeSansBold.ttf"],
    "cond": ["DejaVuSansCondensed.ttf", "LiberationSansNarrow-Regular.ttf"],
    "condbold": ["DejaVuSansCondensed-Bold.ttf", "LiberationSansNarrow-Bold.ttf"],
    "mono": ["DejaVuSansMono-Bold.ttf", "LiberationMono-Bold.ttf", "FreeMonoBold.ttf"],
}
_font_cache = {}


def font_file(role):
    if role not in _font_cache:
        found = {}
        for d in FONT_DIRS:
            for root, _, files in os.walk(os.path.expanduser(d)):
                for f in files:
                    found.setdefault(f, os.path.join(root, f))
        path = next((found[n] for n in FONTS[role] if n in found), None)
        if path is None:
            sys.exit(f"no font for '{role}' found: run scripts/draw_assets, which installs them "
                     f"(looked for {', '.join(FONTS[role])} in {', '.join(FONT_DIRS)})")
        _font_cache[role] = path
    return _font_cache[role]


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


class Canvas:
    """An RGBA drawing surface addressed in design pixels (the 1x size)."""

    def __init__(self, w, h, scale=1, supersample=SS, bg=(0, 0, 0, 255)):
        self.k = scale * supersample
        self.out = (w * scale, h * scale)
        self.img = Image.new("RGBA", (w * self.k, h * self.k), bg)
        self.d = ImageDraw.Draw(self.img)

    def p(self, *v):
        return [round(x * self.k) for x in v]

    def font(self, role, px):
        return ImageFont.truetype(font_file(role), max(1, round(px * self.k)))

    def rect(self, box, fill=None, outline=None, width=0, r=0):
        self.d.rounded_rectangle(self.p(*box), round(r * self.k), fill,
                                 outline, round(width * self.k))

    def ellipse(self, cx, cy, rx, ry=None, fill=None, outline=None, width=0):
        ry = rx if ry is None else ry
        self.d.ellipse(self.p(cx - rx, cy - ry, cx + rx, cy + ry), fill, outline,
                       round(width * self.k))

    def poly(self, pts, fill):
        self.d.polygon([tuple(self.p(x, y)) for x, y in pts], fill)

    def line(self, pts, fill, width=1):
        self.d.line([tuple(self.p(x, y)) for x, y in pts], fill, round(width * self.k))

    def fit(self, role, px, s, width, track=0.0):
        """The largest font of at most px design pixels that fits s in width."""
        while px > 4:
            f = self.font(role, px)
            if (sum(map(f.getlength, s)) + track * self.k * (len(s) - 1)) / self.k <= width:
                return f
            px -= 0.25
        return self.font(role, px)

    def text(self, x, y, s, font, fill, anchor="ls", track=0.0):
        """Draw text with optional extra letter spacing (design pixels)."""
        tr = track * self.k
        widths = [font.getlength(ch) for ch in s]
        total = sum(widths) + tr * (len(s) - 1)
        cx = x * self.k - {"l": 0, "m": total / 2, "r": total}[anchor[0]]
        for ch, w in zip(s, widths):
            self.d.text((cx, y * self.k), ch, fill, font, anchor="l" + anchor[1])
            cx += w + tr
        return total / self.k

    def gradient(self, box, top, bottom, r=0, mask=None):
        x0, y0, x1, y1 = self.p(*box)
        size = (x1 - x0, y1 - y0)
        g = Image.linear_gradient("L").resize(size)
        fill = Image.composite(Image.new("RGBA", size, bottom + (255,)),
                               Image.new("RGBA", size, top + (255,)), g)
        if mask is None:
            mask = Image.new("L", size, 0)
            ImageDraw.Draw(mask).rounded_rectangle((0, 0, size[0] - 1, size[1] - 1),
                                                   round(r * self.k), 255)
        self.img.paste(fill, (x0, y0), mask)
        return fill, mask

    def glow(self, cx, cy, radius, color, strength=1.0):
        layer = Image.new("RGBA", self.img.size, color + (0,))
        ImageDraw.Draw(layer).ellipse(self.p(cx - radius, cy - radius,
                                             cx + radius, cy + radius),
                                      color + (round(200 * strength),))
        layer = layer.filter(ImageFilter.GaussianBlur(radius * self.k * 0.8))
        self.img.alpha_composite(layer)

    def result(self, mode="RGB"):
        img = self.img.resize(self.out, Image.LANCZOS)
        return img.convert(mode) if mode != "RGBA" else img


# ---------------------------------------------------------------- emblem ---
# A shield with a camera lens, on a 32 x 32 grid; shared by PNG and SVG.
SHIELD = [("M", 4, 5.5), ("Q", 16, 1.0, 28, 5.5), ("L", 28, 15),
          ("Q", 28, 25.5, 16, 31), ("Q", 4, 25.5, 4, 15), ("Z",)]
LENS = (16, 15.5)


def shield_points(x, y, size, steps=24):
    """Flatten SHIELD into a polygon placed at (x, y) with the given size."""
    f = size / 32.0
    pts, cur = [], None
    for seg in SHIELD:
        if seg[0] in "ML":
            cur = seg[1:]
            pts.append(cur)
        elif seg[0] == "Q":
            (cx, cy), (ex, ey) = seg[1:3], seg[3:5]
            for i in range(1, steps + 1):
                t = i / steps
                pts.append(((1 - t) ** 2 * cur[0] + 2 * (1 - t) * t * cx + t * t * ex,
                            (1 - t) ** 2 * cur[1] + 2 * (1 - t) * t * cy + t * t * ey))
            cur = (ex, ey)
    return [(x + px * f, y + py * f) for px, py in pts]


def emblem(c, x, y, size, body, ring, pupil, glint):
    """Draw the emblem in the size x size square at (x, y)."""
    f = size / 32.0
    c.poly(shield_points(x, y, size), body)
    lx, ly = x + LENS[0] * f, y + LENS[1] * f
    c.ellipse(lx, ly, 8.2 * f, fill=ring)
    c.ellipse(lx, ly, 5.6 * f, fill=body)
    c.ellipse(lx, ly, 4.0 * f, fill=pupil)
    c.ellipse(lx - 1.5 * f, ly - 1.5 * f, 1.3 * f, fill=glint)


def wordmark(c, x, y, px, width, fill=(255, 255, 255), anchor="ls"):
    """The maker's name, letter-spaced, at most px high and width wide."""
    font = c.fit("bold", px, "TALVEX", width, track=px * 0.14)
    return c.text(x, y, "TALVEX", font, fill, anchor, track=font.size / c.k * 0.14)


WHITE, GREY = (255, 255, 255), (150, 150, 150)


def draw_logo(s):
    c = Canvas(150, 25, s)
    emblem(c, 6, 1.5, 22, WHITE, (0, 0, 0), WHITE, (0, 0, 0))
    wordmark(c, 34, 19.5, 18.5, 112)
    return c.result()


def draw_small_logo(s):
    c = Canvas(80, 24, s)
    emblem(c, 3, 3, 18, WHITE, (0, 0, 0), WHITE, (0, 0, 0))
    wordmark(c, 24, 17, 11.5, 53)
    return c.result()


def draw_about_logo(s):
    c = Canvas(120, 64, s)
    emblem(c, 6, 6, 26, WHITE, (0, 0, 0), WHITE, (0, 0, 0))
    wordmark(c, 36, 28, 16, 79)
    c.line([(8, 40.5), (112, 40.5)], GREY, 0.6)
    c.text(60, 55, "www.talvex.example", c.font("cond", 10.5), WHITE, "ms")
    return c.result()


def draw_banner(s):
    c = Canvas(300, 47, s)
    c.text(8, 35, "MV-4016", c.fit("condbold", 29, "MV-4016", 106), WHITE)
    c.line([(123.5, 9), (123.5, 38)], GREY, 0.8)
    c.text(132, 21, "16-Channel", c.font("bold", 13.5), WHITE)
    c.text(132, 37, "Digital Video Recorder", c.fit("sans", 13, "Digital Video Recorder",
                                                    160), WHITE)
    return c.result()


# ----------------------------------------------------------- front panel ---
METAL_TOP, METAL_BOTTOM = (78, 82, 88), (34, 36, 40)
SILK, SILK_DIM = (222, 226, 232), (150, 156, 164)


def brushed(c, box, top, bottom, r, seed, amount=14):
    """Brushed-metal plate: vertical gradient plus horizontal streaks."""
    fill, mask = c.gradient(box, top, bottom, r)
    rng = random.Random(seed)
    w, h = max(2, round((box[2] - box[0]) / 25)), round((box[3] - box[1]) * 2)
    noise = Image.frombytes("L", (w, h), bytes(rng.randrange(256) for _ in range(w * h)))
    noise = noise.resize(fill.size, Image.BICUBIC).convert("RGBA")
    up = noise.point(lambda v: max(0, v - 128) * amount // 128)
    down = noise.point(lambda v: max(0, 128 - v) * amount // 128)
    fill = ImageChops.subtract(ImageChops.add(fill, up), down)
    c.img.paste(fill, tuple(c.p(*box[:2])), mask)


def button(c, box, r=2.0, top=(58, 60, 66), bottom=(22, 23, 26)):
    x0, y0, x1, y1 = box
    c.rect((x0 - 0.6, y0 - 0.6, x1 + 0.6, y1 + 1.2), fill=(8, 8, 10), r=r + 0.6)
    c.gradient(box, top, bottom, r)
    c.line([(x0 + r, y0 + 0.4), (x1 - r, y0 + 0.4)], mix(top, WHITE, 0.35), 0.5)


def led(c, cx, cy, color, lit):
    c.ellipse(cx, cy, 2.9, fill=(10, 10, 12))
    if lit:
        c.glow(cx, cy, 3.2, color, 0.9)
        c.ellipse(cx, cy, 2.1, fill=mix(color, WHITE, 0.25))
        c.ellipse(cx - 0.6, cy - 0.6, 0.8, fill=mix(color, WHITE, 0.8))
    else:
        c.ellipse(cx, cy, 2.1, fill=mix(color, (0, 0, 0), 0.7))


def rack_ear(c, x0, x1, seed):
    brushed(c, (x0, 1, x1, 121), (96, 100, 106), (46, 48, 52), 2.5, seed, 10)
    cx = (x0 + x1) / 2
    for cy in (19, 103):
        c.rect((cx - 6, cy - 3.5, cx + 6, cy + 3.5), fill=(0, 0, 0),
               outline=(20, 20, 22), width=0.8, r=3.5)
        c.line([(cx - 4, cy + 3.9), (cx + 4, cy + 3.9)], (130, 134, 140), 0.5)
    c.line([(x0 + 1, 1.5), (x1 - 1, 1.5)], (150, 154, 160), 0.5)


def handle(c, x0, x1):
    c.rect((x0 + 0.8, 11, x1 + 1.6, 112), fill=(6, 6, 8), r=(x1 - x0) / 2)
    c.gradient((x0, 10, x1, 111), (170, 174, 180), (60, 62, 68), (x1 - x0) / 2)
    c.gradient((x0 + 1.6, 16, x1 - 1.6, 105), (120, 124, 130), (84, 88, 94), 1.5)
    for y in (13.5, 107.5):  # fixing screws
        c.ellipse((x0 + x1) / 2, y, 1.4, fill=(30, 30, 34))


def jog_shuttle(c, cx, cy):
    c.ellipse(cx, cy + 1.2, 37.5, fill=(5, 5, 6))
    c.gradient((cx - 37, cy - 37, cx + 37, cy + 37), (110, 114, 120), (28, 30, 33),
               r=37)
    for i in range(60):  # knurled grip of the shuttle ring
        a = 2 * math.pi * i / 60
        ca, sa = math.cos(a), math.sin(a)
        c.line([(cx + 30 * ca, cy + 30 * sa), (cx + 36.5 * ca, cy + 36.5 * sa)],
               (12, 12, 14), 0.8)
    c.ellipse(cx, cy, 29.5, fill=(14, 14, 16))
    c.gradient((cx - 23, cy - 23, cx + 23, cy + 23), (66, 68, 74), (26, 27, 30), r=23)
    c.d.arc(c.p(cx - 21.5, cy - 21.5, cx + 21.5, cy + 21.5), 190, 300, (150, 154, 160),
            max(1, round(0.6 * c.k)))
    c.ellipse(cx, cy, 19, fill=None, outline=(80, 84, 90), width=0.5)
    c.ellipse(cx + 9, cy - 9, 5, fill=(16, 16, 18))  # finger dimple
    c.ellipse(cx + 9, cy - 8.4, 4.2, fill=(44, 46, 50))
    small = c.font("condbold", 6.5)
    arrow = [(-3, -2.5), (-3, 2.5), (0.5, 0)]
    for sgn in (-1, 1):
        x = cx + sgn * 45
        c.poly([(x + sgn * px, cy + py) for px, py in arrow], SILK_DIM)
        c.poly([(x + sgn * (px + 3.5), cy + py) for px, py in arrow], SILK_DIM)
    c.text(cx, cy + 47, "JOG / SHUTTLE", small, SILK_DIM, "ms", track=0.5)


def play_icons(c, x, y, kind, color):
    shapes = {
        "rew": [[(-1, 0), (4, -3.5), (4, 3.5)], [(-6, 0), (-1, -3.5), (-1, 3.5)]],
        "play": [[(-3, -4), (-3, 4), (4, 0)]],
        "ff": [[(1, 0), (-4, -3.5), (-4, 3.5)], [(6, 0), (1, -3.5), (1, 3.5)]],
    }
    if kind in shapes:
        for tri in shapes[kind]:
            c.poly([(x + px, y + py) for px, py in tri], color)
    elif kind == "pause":
        c.rect((x - 3.5, y - 3.5, x - 1, y + 3.5), fill=color)
        c.rect((x + 1, y - 3.5, x + 3.5, y + 3.5), fill=color)
    elif kind == "stop":
        c.rect((x - 3.5, y - 3.5, x + 3.5, y + 3.5), fill=color)
    elif kind == "rec":
        c.ellipse(x, y, 3.8, fill=(225, 40, 40))


def draw_front_panel(s):
    c = Canvas(593, 122, s)
    rack_ear(c, 1, 26, 11)
    rack_ear(c, 567, 592, 12)
    c.rect((25, 1.5, 568, 121.5), fill=(6, 6, 8), r=3)
    brushed(c, (26, 1, 567, 120), METAL_TOP, METAL_BOTTOM, 3, 4016)
    c.line([(29, 1.6), (564, 1.6)], (140, 145, 152), 0.6)
    handle(c, 29, 37)
    handle(c, 556, 564)

    # left block: maker, model, status lights, power button
    emblem(c, 46, 10, 15, SILK, (40, 42, 46), SILK, (40, 42, 46))
    wordmark(c, 64, 22.5, 12.5, 80, SILK)
    c.text(46, 40, "MV-4016", c.font("condbold", 12), SILK, track=0.3)
    tiny = c.font("condbold", 6.5)
    c.text(46, 49, "16CH DIGITAL VIDEO RECORDER",
           c.fit("condbold", 6.5, "16CH DIGITAL VIDEO RECORDER", 100), SILK_DIM)
    for i, (name, col, lit) in enumerate([("POWER", (60, 235, 90), True),
                                          ("HDD", (255, 170, 30), True),
                                          ("NET", (60, 235, 90), True),
                                          ("ALARM", (255, 40, 40), False)]):
        x = 53 + i * 24
        led(c, x, 68, col, lit)
        c.text(x, 80, name, tiny, SILK_DIM, "ms")
    c.ellipse(55, 102, 8, fill=(12, 12, 14))
    c.gradient((47.8, 94.8, 62.2, 109.2), (90, 94, 100), (30, 31, 35), r=7.2)
    c.d.arc(c.p(51.5, 98.5, 58.5, 105.5), -60, 240, SILK, round(1.1 * c.k))
    c.line([(55, 97), (55, 101.5)], SILK, 1.1)
    c.text(67, 104.5, "STANDBY", tiny, SILK_DIM)

    for x in (153, 453):  # engraved dividers
        c.line([(x, 8), (x, 114)], (16, 16, 18), 0.7)
        c.line([(x + 0.8, 8), (x + 0.8, 114)], (96, 100, 106), 0.5)

    # drive bay with tray, eject button and activity light
    c.rect((163, 9, 333, 34), fill=(10, 10, 12), r=1.5)
    c.gradient((164.5, 10.5, 331.5, 32.5), (44, 46, 50), (20, 21, 24), r=1)
    c.line([(168, 27.5), (300, 27.5)], (12, 12, 14), 0.8)
    c.text(170, 22, "DVD±RW", c.font("condbold", 7), SILK_DIM, track=0.4)
    button(c, (306, 15, 326, 22), r=1.5)
    c.poly([(312, 19.8), (320, 19.8), (316, 16.2)], SILK_DIM)
    led(c, 296, 18.5, (60, 235, 90), False)

    # display window
    c.rect((343, 9, 443, 34), fill=(4, 4, 6), r=2)
    c.gradient((344.5, 10.5, 441.5, 32.5), (6, 24, 32), (2, 10, 14), r=1.5)
    cyan = (110, 230, 255)
    c.glow(393, 21, 20, (20, 120, 150), 0.35)
    mono = c.font("mono", 8)
    c.text(349, 20, "CH01", mono, cyan)
    c.ellipse(383, 17.2, 2.1, fill=(255, 70, 60))
    c.text(388, 20, "REC", mono, (255, 110, 100))
    c.text(349, 30, "HDD", mono, cyan)
    for i in range(5):  # disk usage meter
        c.rect((366 + i * 4, 24, 368.8 + i * 4, 29), fill=cyan if i < 3 else (20, 60, 72))
    c.text(437, 30, "12:00:00", mono, cyan, "rs")

    # sixteen channel buttons
    c.text(163, 46, "CHANNEL", tiny, SILK_DIM, track=0.4)
    num = c.font("condbold", 8)
    for i in range(16):
        x = 163 + i * 17.5
        button(c, (x, 50, x + 15, 64), r=2)
        c.text(x + 7.5, 60.5, str(i + 1), num, SILK, "ms")

    # playback keys, menu keys and USB port
    for i, kind in enumerate(["rew", "play", "pause", "stop", "ff", "rec"]):
        x = 163 + i * 28
        button(c, (x, 80, x + 24, 96), r=2.5)
        play_icons(c, x + 12, 88, kind, SILK)
        c.text(x + 12, 105, kind.upper(), tiny, SILK_DIM, "ms")
    for i, name in enumerate(["MENU", "ESC"]):
        x = 334 + i * 30
        button(c, (x, 80, x + 26, 96), r=2.5)
        c.text(x + 13, 91, name, tiny, SILK, "ms")
    c.rect((400, 80, 443, 100), fill=(14, 14, 16), r=2)
    c.rect((408, 85, 435, 94), fill=(170, 174, 180), r=0.5)
    c.rect((409.5, 86.5, 433.5, 92.5), fill=(6, 6, 8))
    c.rect((411, 86.5, 432, 89), fill=(30, 60, 160))
    c.text(421.5, 108, "USB", tiny, SILK_DIM, "ms", track=0.5)

    jog_shuttle(c, 505, 57)
    return c.result()


# ------------------------------------------------------------------ icon ---
BLUE_TOP, BLUE_BOTTOM, NAVY = (77, 150, 255), (12, 64, 170), (6, 30, 92)


def draw_icon():
    c = Canvas(32, 32, 1, supersample=8, bg=(0, 0, 0, 0))
    c.poly(shield_points(0, 0.6, 32), (0, 0, 0, 90))  # soft drop shadow
    c.poly(shield_points(0, 0, 32), NAVY)
    inner = Image.new("L", c.img.size, 0)
    ImageDraw.Draw(inner).polygon([tuple(c.p(x, y)) for x, y in shield_points(1, 1, 30)],
                                  255)
    c.gradient((0, 0, 32, 32), BLUE_TOP, BLUE_BOTTOM, mask=inner)
    lx, ly = LENS
    c.ellipse(lx, ly, 8.2, fill=(255, 255, 255))
    c.ellipse(lx, ly, 5.6, fill=(30, 100, 220))
    c.ellipse(lx, ly, 4.0, fill=NAVY)
    c.ellipse(lx - 1.5, ly - 1.5, 1.3, fill=(255, 255, 255))
    return c.result("RGBA")


def icon_svg():
    hexc = "#{:02x}{:02x}{:02x}".format
    path = " ".join(seg[0] + " " + " ".join(f"{v:g}" for v in seg[1:]) for seg in SHIELD)
    lx, ly = LENS
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <title>TALVEX</title>
  <defs>
    <linearGradient id="body" gradientUnits="userSpaceOnUse" x1="0" y1="1" x2="0" y2="31">
      <stop offset="0" stop-color="{hexc(*BLUE_TOP)}"/>
      <stop offset="1" stop-color="{hexc(*BLUE_BOTTOM)}"/>
    </linearGradient>
  </defs>
  <path d="{path}" fill="url(#body)" stroke="{hexc(*NAVY)}" stroke-width="1"/>
  <circle cx="{lx}" cy="{ly}" r="8.2" fill="#ffffff"/>
  <circle cx="{lx}" cy="{ly}" r="5.6" fill="#1e64dc"/>
  <circle cx="{lx}" cy="{ly}" r="4" fill="{hexc(*NAVY)}"/>
  <circle cx="{lx - 1.5}" cy="{ly - 1.5}" r="1.3" fill="#ffffff"/>
</svg>
"""


# ------------------------------------------------------------------ main ---
PICTURES = [  # name, design size, drawing function
    ("banner", (300, 47), draw_banner),
    ("logo", (150, 25), draw_logo),
    ("front_panel", (593, 122), draw_front_panel),
    ("about_small_logo", (80, 24), draw_small_logo),
    ("about_logo", (120, 64), draw_about_logo),
]


def check(path, size, mode):
    with Image.open(path) as im:
        if im.size != size or im.mode != mode or im.info.get("progressive"):
            sys.exit(f"{path.name}: got {im.size} {im.mode}, want {size} {mode} baseline")


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parent.parent / "ui" / "assets"
    out.mkdir(parents=True, exist_ok=True)
    written = []
    for name, (w, h), draw in PICTURES:
        for scale, suffix in ((1, ""), (2, "@2x")):
            path = out / f"{name}{suffix}.jpg"
            draw(scale).save(path, "JPEG", quality=92, optimize=True,
                             progressive=False, subsampling=0)
            check(path, (w * scale, h * scale), "RGB")
            written.append(path)
    draw_icon().save(out / "icon.png", optimize=True)
    check(out / "icon.png", (32, 32), "RGBA")
    (out / "icon.svg").write_text(icon_svg(), encoding="utf-8")
    written += [out / "icon.png", out / "icon.svg"]
    for path in written:
        print(f"{path.name:24} {path.stat().st_size:7d} bytes")


if __name__ == "__main__":
    main()
