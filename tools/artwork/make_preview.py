#!/usr/bin/env python3
"""Composes the editor images the way the editor places them, for judging the artwork.

    python3 tools/artwork/make_preview.py [output.png] [scale]

Reads resources/*.png, puts a knob frame in each seat, a value in each field, the
meters cut at sample levels and a goniometer trace under the overlay, and writes an
enlarged picture (default /tmp/lumivane-preview.png, scale 2).
"""

import math
import os
import sys

try:
    import cairo
except ImportError:
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make_preview: needs Debian's python3-cairo (scripts/setup --extras)")

sys.dont_write_bytecode = True  # keep the source folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_artwork as art  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.normpath(os.path.join(HERE, "..", "..", "resources"))

KNOB_VALUES = [0.0, 0.25, 0.5, 0.75, 0.999, 1.0]
FIELD_TEXTS = ["0.00", "25", "50", "75", "99", "100"]


def image(name):
    return cairo.ImageSurface.create_from_png(os.path.join(RESOURCES, name))


def blit(ctx, surface, dest_rect, source_x, source_y):
    left, top, right, bottom = dest_rect
    ctx.save()
    ctx.rectangle(left, top, right - left, bottom - top)
    ctx.clip()
    ctx.set_source_surface(surface, left - source_x, top - source_y)
    ctx.paint()
    ctx.restore()


def draw_meter(ctx, rect, off, on, level):
    """Cuts the two images at a whole segment, lit part at the bottom."""
    dark = int(34 * (1.0 - level) + 0.5)
    cut = int(dark / 34.0 * on.get_height())
    left, top, right, bottom = rect
    blit(ctx, off, (left, top, right, top + cut), 0, 0)
    blit(ctx, on, (left, top + cut, right, bottom), 0, cut)


def draw_trace(ctx, rect):
    left, top = rect[0], rect[1]
    ctx.set_source_rgb(0, 1, 0)
    for n in range(900):
        t = n / 44100.0 * 3.0
        l = 0.55 * math.sin(2 * math.pi * 220 * t) + 0.2 * math.sin(2 * math.pi * 330 * t)
        r = 0.45 * math.sin(2 * math.pi * 220 * t + 0.9) + 0.2 * math.sin(2 * math.pi * 331 * t)
        column = min(123, max(0, int(124 * (0.5 + (l - r) * 0.5))))
        row = min(123, max(0, int(124 * (0.5 - (l + r) * 0.5 * 0.7))))
        ctx.rectangle(left + column, top + row, 1, 1)
        ctx.fill()


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "/tmp/lumivane-preview.png"
    scale = int(sys.argv[2]) if len(sys.argv) > 2 else 2
    editor = cairo.ImageSurface(cairo.FORMAT_RGB24, art.EDITOR_W, art.EDITOR_H)
    ctx = cairo.Context(editor)
    ctx.set_source_surface(image("128-background.png"), 0, 0)
    ctx.paint()
    strip = image("129-knob.png")
    for rect, value in zip(art.KNOB_RECTS, KNOB_VALUES):
        frame = int(value * 60)
        blit(ctx, strip, rect, 0, frame * 64)
    ctx.select_font_face("Arial")
    ctx.set_font_size(11)
    ctx.set_source_rgb(0, 1, 0)
    for rect, text in zip(art.FIELD_RECTS, FIELD_TEXTS):
        extents = ctx.text_extents(text)
        ctx.move_to((rect[0] + rect[2] - extents.x_advance) / 2.0, (rect[1] + rect[3]) / 2.0 + 4)
        ctx.show_text(text)
    draw_meter(ctx, art.PEAK_LEFT_RECT, image("130-peak-left-off.png"),
               image("131-peak-left-on.png"), 0.72)
    draw_meter(ctx, art.PEAK_RIGHT_RECT, image("132-peak-right-off.png"),
               image("133-peak-right-on.png"), 0.55)
    draw_meter(ctx, art.CORRELATION_RECT, image("134-correlation-off.png"),
               image("135-correlation-on.png"), 0.8)
    blit(ctx, image("136-goniometer.png"), art.GONIOMETER_RECT, 0, 0)
    draw_trace(ctx, art.GONIOMETER_RECT)
    overlay = image("137-goniometer-overlay.png")
    ctx.set_source_surface(overlay, art.OVERLAY_RECT[0], art.OVERLAY_RECT[1])
    ctx.paint()

    big = cairo.ImageSurface(cairo.FORMAT_RGB24, art.EDITOR_W * scale, art.EDITOR_H * scale)
    big_ctx = cairo.Context(big)
    big_ctx.scale(scale, scale)
    big_ctx.set_source_surface(editor, 0, 0)
    big_ctx.get_source().set_filter(cairo.FILTER_NEAREST)
    big_ctx.paint()
    big.write_to_png(out)
    print("make_preview: wrote " + out)


if __name__ == "__main__":
    main()
