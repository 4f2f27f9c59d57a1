#!/usr/bin/python3
"""Draws the count window's built-in images and the sample skin.

Writes, the same bytes on every run (Debian's python3-pil):
  resources/countwindow/text_background_<i>.png  84 x 18, behind the action name
  resources/countwindow/type_<i>.png            121 x 44, the frame (transparent
                                                 surround, hole for the label
                                                 background, near-white digit field)
  resources/countwindow/swatches.bmp            90 x 15, six 15 x 15 swatches
  resources/skin/Sample/data.ini, image.png     a sample skin folder

Usage: scripts/make_images.py [repository root]
"""
import os
import sys

from PIL import Image, ImageDraw

SCALE = 4  # drawn large and reduced, for smooth edges

# One theme per index: (dark, light) accent colours.
THEMES = [
    ((38, 92, 168), (92, 150, 222)),    # blue
    ((34, 128, 84), (86, 186, 128)),    # green
    ((196, 104, 24), (240, 160, 70)),   # orange
    ((176, 48, 78), (226, 104, 128)),   # rose
    ((98, 64, 160), (150, 118, 210)),   # violet
    ((60, 66, 76), (118, 126, 138)),    # graphite
]
FIELD = (250, 250, 247, 255)   # near white: the digits' white key stays visible
LABEL_BOX = (25, 5, 109, 23)   # where the text-1 background lies in the frame


def blend(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def reduce(big, size):
    # Premultiplied reduction, so transparent pixels do not darken the edges.
    return big.convert("RGBa").resize(size, Image.LANCZOS).convert("RGBA")


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGBA", size)
    px = img.load()
    for y in range(h):
        c = blend(top, bottom, y / max(1, h - 1)) + (255,)
        for x in range(w):
            px[x, y] = c
    return img


def rounded_mask(size, box, radius):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=radius, fill=255)
    return mask


def text_background(index):
    dark, light = THEMES[index]
    w, h = 84 * SCALE, 18 * SCALE
    # Dark enough everywhere for the white label.
    grad = vertical_gradient((w, h), blend(light, dark, 0.45), blend(dark, (0, 0, 0), 0.2))
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    img.paste(grad, (0, 0), rounded_mask((w, h), (0, 0, w - 1, h - 1), 4 * SCALE))
    # A soft highlight along the top edge.
    shine = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(shine).rounded_rectangle((2 * SCALE, 1 * SCALE, w - 2 * SCALE, 6 * SCALE),
                                            radius=3 * SCALE, fill=(255, 255, 255, 40))
    img = Image.alpha_composite(img, shine)
    return reduce(img, (84, 18))


def type_frame(index):
    dark, light = THEMES[index]
    w, h = 121 * SCALE, 44 * SCALE
    s = SCALE
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    body = vertical_gradient((w, h), blend(light, (255, 255, 255), 0.55), blend(dark, (255, 255, 255), 0.25))
    img.paste(body, (0, 0), rounded_mask((w, h), (0, 0, w - 1, h - 1), 8 * s))
    draw = ImageDraw.Draw(img)
    draw.rounded_rectangle((0, 0, w - 1, h - 1), radius=8 * s, outline=dark + (255,), width=s + s // 2)
    # Near-white field under the digits (the static lies at 17,22 94 x 15).
    draw.rounded_rectangle((6 * s, 24 * s, 115 * s, 40 * s), radius=4 * s, fill=FIELD,
                           outline=blend(dark, (255, 255, 255), 0.5) + (255,), width=s)
    # A small clock at the left of the label.
    cx, cy, r = 14.5 * s, 14 * s, 6.5 * s
    draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(255, 255, 255, 255), outline=dark + (255,), width=s)
    draw.line((cx, cy, cx, cy - 4.2 * s), fill=dark + (255,), width=s)
    draw.line((cx, cy, cx + 3.2 * s, cy + 1.2 * s), fill=dark + (255,), width=s)
    # A thin rim around the label background, then the hole it shows through.
    x0, y0, x1, y1 = LABEL_BOX
    draw.rounded_rectangle(((x0 - 1) * s, (y0 - 1) * s, (x1 + 1) * s - 1, (y1 + 1) * s - 1),
                           radius=5 * s, fill=dark + (255,))
    frame = reduce(img, (121, 44))
    # The hole follows the background's rounded corners; the rim covers the rest.
    hole = Image.new("L", (121 * s, 44 * s), 0)
    ImageDraw.Draw(hole).rounded_rectangle((x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), radius=4 * s, fill=255)
    hole = hole.resize((121, 44), Image.LANCZOS)
    alpha = frame.getchannel("A")
    alpha = Image.composite(Image.new("L", (121, 44), 0), alpha, hole.point(lambda v: 255 if v >= 128 else 0))
    frame.putalpha(alpha)
    return frame


def swatch_strip():
    strip = Image.new("RGB", (90, 15), (255, 255, 255))
    draw = ImageDraw.Draw(strip)
    for i, (dark, light) in enumerate(THEMES):
        x = i * 15
        draw.rectangle((x + 1, 1, x + 13, 13), fill=blend(dark, light, 0.4), outline=dark)
    return strip


def sample_skin():
    w, h = 168, 60
    s = SCALE
    big = Image.new("RGBA", (w * s, h * s), (0, 0, 0, 0))
    body = vertical_gradient((w * s, h * s), (54, 70, 96), (24, 32, 48))
    big.paste(body, (0, 0), rounded_mask((w * s, h * s), (0, 0, w * s - 1, h * s - 1), 12 * s))
    draw = ImageDraw.Draw(big)
    draw.rounded_rectangle((0, 0, w * s - 1, h * s - 1), radius=12 * s, outline=(140, 170, 220, 255), width=s)
    draw.rounded_rectangle((8 * s, 24 * s, (w - 8) * s, (h - 7) * s), radius=7 * s, fill=(236, 242, 250, 255))
    draw.ellipse((12 * s, 7 * s, 22 * s, 17 * s), fill=(120, 200, 140, 255))
    return reduce(big, (w, h))


SAMPLE_INI = """\
; Sample skin for the count window: the image and where its two texts go.
[skin]
Image=image.png

; The action name.
[Text1]
Font=Meiryo UI
FontSize=12
Bold=1
Align=0
LocationX=28
LocationY=5
Width=130
Height=18
ColorR=235
ColorG=242
ColorB=255

; The time left.
[Text2]
Font=Verdana
FontSize=22
Bold=1
Align=1
LocationX=8
LocationY=25
Width=152
Height=28
ColorR=28
ColorG=44
ColorB=72
"""


def save_png(img, path):
    img.save(path, format="PNG", optimize=False, compress_level=9)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    out = os.path.join(root, "resources", "countwindow")
    skin = os.path.join(root, "resources", "skin", "Sample")
    os.makedirs(out, exist_ok=True)
    os.makedirs(skin, exist_ok=True)
    for i in range(len(THEMES)):
        save_png(text_background(i), os.path.join(out, "text_background_%d.png" % i))
        save_png(type_frame(i), os.path.join(out, "type_%d.png" % i))
    swatch_strip().save(os.path.join(out, "swatches.bmp"), format="BMP")
    save_png(sample_skin(), os.path.join(skin, "image.png"))
    with open(os.path.join(skin, "data.ini"), "w", encoding="utf-8", newline="\r\n") as f:
        f.write(SAMPLE_INI)


if __name__ == "__main__":
    main()
