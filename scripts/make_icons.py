#!/usr/bin/python3
"""Draws the programs' icons and button bitmaps into resources/images.

Every image is drawn from fixed shapes and colours, so a run always writes the
same bytes. Run it again after changing a drawing and commit the output;
--check [FOLDER] draws into a temporary folder (under FOLDER when given) and fails
when the committed files differ.
"""
import filecmp
import os
import sys
import tempfile

from PIL import Image, ImageDraw

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")


def moon_clock(size, face, ring, hand):
    """A round clock face with a crescent: the scheduler's sign."""
    scale = 4
    big = size * scale
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    m = big // 16
    d.ellipse([m, m, big - m - 1, big - m - 1], fill=face, outline=ring, width=max(scale, big // 14))
    c = big // 2
    w = max(scale, big // 16)
    d.line([c, c, c, big // 4], fill=hand, width=w)
    d.line([c, c, c + big // 5, c + big // 8], fill=hand, width=w)
    r = big // 18
    d.ellipse([c - r, c - r, c + r, c + r], fill=hand)
    # A crescent in the upper right corner.
    cr = big // 5
    cx, cy = big - cr - m, cr + m
    d.ellipse([cx - cr, cy - cr, cx + cr, cy + cr], fill=(255, 214, 64, 255))
    d.ellipse([cx - cr + cr // 2, cy - cr - cr // 4, cx + cr + cr // 2, cy + cr - cr // 4], fill=(0, 0, 0, 0))
    return img.resize((size, size), Image.LANCZOS)


def hourglass(size):
    """The countdown program's sign."""
    scale = 4
    big = size * scale
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    m = big // 8
    d.rectangle([m, m // 2, big - m - 1, m + m // 2], fill=(90, 60, 30, 255))
    d.rectangle([m, big - m - m // 2 - 1, big - m - 1, big - m // 2 - 1], fill=(90, 60, 30, 255))
    top, bottom = m + m // 2, big - m - m // 2 - 1
    c = big // 2
    d.polygon([(m + m // 2, top), (big - m - m // 2, top), (c + m // 4, c), (c - m // 4, c)], fill=(170, 210, 250, 255))
    d.polygon([(c - m // 4, c), (c + m // 4, c), (big - m - m // 2, bottom), (m + m // 2, bottom)], fill=(170, 210, 250, 255))
    d.polygon([(c - big // 6, bottom), (c + big // 6, bottom), (c, bottom - big // 5)], fill=(230, 180, 60, 255))
    return img.resize((size, size), Image.LANCZOS)


def application(size):
    """A plain window: the icon of an application whose file is missing."""
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    m = size // 8
    d.rectangle([m, m, size - m - 1, size - m - 1], fill=(255, 255, 255, 255), outline=(80, 80, 80, 255))
    d.rectangle([m, m, size - m - 1, m + size // 6], fill=(60, 110, 190, 255))
    d.line([m + 3, size // 2, size - m - 4, size // 2], fill=(160, 160, 160, 255))
    d.line([m + 3, size // 2 + 4, size - m - 8, size // 2 + 4], fill=(160, 160, 160, 255))
    return img


def save_icon(folder, name, draw, sizes):
    images = [draw(s) for s in sizes]
    path = os.path.join(folder, name)
    images[-1].save(path, format="ICO", sizes=[(s, s) for s in sizes], append_images=images[:-1], bitmap_format="bmp")


def gradient_button(width, height, top, bottom, border):
    img = Image.new("RGB", (width, height))
    d = ImageDraw.Draw(img)
    for y in range(height):
        t = y / max(1, height - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        d.line([0, y, width - 1, y], fill=colour)
    d.rectangle([0, 0, width - 1, height - 1], outline=border)
    return img


def save_bitmap(folder, name, img):
    img.convert("RGB").save(os.path.join(folder, name), format="BMP")


def draw_all(folder):
    os.makedirs(folder, exist_ok=True)
    scheduler = lambda s: moon_clock(s, (40, 70, 140, 255), (220, 230, 250, 255), (255, 255, 255, 255))
    save_icon(folder, "scheduler.ico", scheduler, [16, 32, 48])          # 218
    save_icon(folder, "scheduler_about.ico", scheduler, [32])            # 219
    save_icon(folder, "countdown.ico", hourglass, [16, 32, 48])          # 183
    save_icon(folder, "application.ico", application, [32])              # 185

    # Weekday buttons 164-168, 28 x 28.
    save_bitmap(folder, "weekday_up.bmp", gradient_button(28, 28, (250, 250, 250), (215, 220, 228), (150, 155, 165)))
    save_bitmap(folder, "weekday_down.bmp", gradient_button(28, 28, (200, 206, 216), (236, 238, 242), (120, 125, 135)))
    save_bitmap(folder, "weekday_current_up.bmp", gradient_button(28, 28, (235, 245, 255), (170, 205, 245), (70, 120, 190)))
    save_bitmap(folder, "weekday_current_down.bmp", gradient_button(28, 28, (150, 190, 240), (220, 236, 252), (50, 100, 170)))
    save_bitmap(folder, "weekday_disabled.bmp", gradient_button(28, 28, (238, 238, 238), (238, 238, 238), (200, 200, 200)))
    # Main dialog: wide buttons 169 and 182 (81 x 32), shadow 183 (1 x 7), band 216 (383 x 38).
    save_bitmap(folder, "wide_button.bmp", gradient_button(81, 32, (252, 252, 252), (214, 219, 227), (140, 146, 156)))
    save_bitmap(folder, "wide_button_pressed.bmp", gradient_button(81, 32, (196, 203, 214), (236, 238, 242), (110, 116, 126)))
    shadow = Image.new("RGB", (1, 7))
    for y in range(7):
        v = 160 + y * 15
        shadow.putpixel((0, y), (v, v, v))
    save_bitmap(folder, "shadow_line.bmp", shadow)
    save_bitmap(folder, "top_band.bmp", gradient_button(383, 38, (64, 96, 160), (32, 56, 112), (24, 40, 90)))
    # Countdown settings dialog: buttons 147 and 148 (77 x 28), separator 149
    # (1 x 7), header 150 (294 x 39).
    save_bitmap(folder, "timer_button.bmp", gradient_button(77, 28, (252, 252, 250), (222, 226, 216), (146, 152, 140)))
    save_bitmap(folder, "timer_button_pressed.bmp", gradient_button(77, 28, (204, 210, 196), (240, 242, 236), (116, 122, 110)))
    separator = Image.new("RGB", (1, 7))
    for y in range(7):
        v = 150 + y * 16
        separator.putpixel((0, y), (v, v, v - 6))
    save_bitmap(folder, "timer_separator.bmp", separator)
    save_bitmap(folder, "timer_header.bmp", gradient_button(294, 39, (96, 132, 72), (48, 84, 40), (36, 64, 30)))


def main():
    if sys.argv[1:2] == ["--check"] and len(sys.argv) <= 3:
        # --check [FOLDER]: draws afresh under FOLDER (a test's build tree), else
        # in the system's temporary folder, and compares.
        scratch = sys.argv[2] if len(sys.argv) == 3 else None
        if scratch:
            os.makedirs(scratch, exist_ok=True)
        with tempfile.TemporaryDirectory(dir=scratch) as fresh:
            draw_all(fresh)
            names = sorted(os.listdir(fresh))
            _, mismatch, errors = filecmp.cmpfiles(fresh, OUT, names, shallow=False)
            for name in mismatch + errors:
                print("out of date: resources/images/" + name)
            return 1 if mismatch or errors else 0
    draw_all(OUT)
    return 0


if __name__ == "__main__":
    sys.exit(main())
