#!/usr/bin/env python3
"""Draws the ten editor images of Lumivane and writes them to resources/.

    python3 tools/artwork/make_artwork.py [output-folder]

Everything is drawn here with cairo; nothing is loaded from elsewhere. Noise comes
from a fixed seed and the PNG files are written by our own encoder (no time stamps,
no gamma chunks), so running the script twice gives byte-identical files.
"""

import math
import os
import random
import struct
import sys
import zlib

try:
    import cairo
except ImportError:
    # A python3 from pyenv or a virtualenv does not see Debian's python3-cairo;
    # the system interpreter does.
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make_artwork: needs Debian's python3-cairo (scripts/setup --extras)")


# ---------------------------------------------------------------- layout
# Rectangles as (left, top, right, bottom), exactly where the editor places its views.
EDITOR_W, EDITOR_H = 752, 160
KNOB_RECTS = [(42, 48, 106, 112), (170, 0, 234, 64), (170, 96, 234, 160),
              (518, 0, 582, 64), (518, 96, 582, 160), (646, 48, 710, 112)]
FIELD_RECTS = [(114, 64, 162, 88), (114, 16, 162, 40), (114, 112, 162, 136),
               (590, 16, 638, 40), (590, 112, 638, 136), (590, 64, 638, 88)]
FIELD_NAMES = ["PreDelay", "Expression", "Wide", "Dry", "Wet", "Mix"]
CORRELATION_RECT = (264, 12, 284, 148)
PEAK_LEFT_RECT = (460, 12, 480, 148)
PEAK_RIGHT_RECT = (488, 12, 508, 148)
GONIOMETER_RECT = (314, 18, 438, 142)
OVERLAY_RECT = (304, 8, 448, 152)

KNOB_SIZE = 64
KNOB_FRAMES = 61
KNOB_MIN_ANGLE = -135.0          # degrees from 12 o'clock, clockwise: value 0
KNOB_MAX_ANGLE = 135.0           # value 1

METER_W, METER_H = 20, 136
METER_SEGMENT_PITCH = 4           # 34 segments over 136 rows
GONIOMETER_SIZE = 124
OVERLAY_SIZE = 144
OVERLAY_MARGIN = (OVERLAY_SIZE - GONIOMETER_SIZE) // 2

# The wells are a little larger than what sits in them.
CORRELATION_WELL = (240, 6, 290, 154)
GONIOMETER_WELL = (300, 4, 452, 156)
PEAK_WELL = (456, 6, 514, 154)

EAR_W = 30
SEED = 0x4C756D69                 # "Lumi"

# ---------------------------------------------------------------- palette
def rgb(hex_text):
    value = int(hex_text.lstrip("#"), 16)
    return ((value >> 16) & 255) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0


LCD_DARK = rgb("#0a2612")         # unlit segments, fields, wells, goniometer
LCD_DEEP = rgb("#061a0c")         # well edges
LED_LIT = rgb("#5cff5c")          # lit segment rows
LED_LIT_CORE = rgb("#b4ffb0")     # centre columns of a lit row
LCD_PRINT = rgb("#5fae6a")        # scale print inside the wells
INK = rgb("#23272d")              # labels on the panel
INK_SOFT = rgb("#4a5058")
EAR_TOP = rgb("#3a3e45")
EAR_BOTTOM = rgb("#1e2024")
ACCENT = rgb("#ff8a1f")           # pointer, logo accent, overlay centre lines
SANS = "Liberation Sans"


# ---------------------------------------------------------------- PNG output
def write_png(path, width, height, pixels, channels):
    """Writes 8-bit non-interlaced RGB (channels 3) or RGBA (channels 4) rows."""
    colour_type = 2 if channels == 3 else 6
    stride = width * channels
    raw = bytearray()
    previous = bytes(stride)
    for y in range(height):
        row = pixels[y * stride:(y + 1) * stride]
        filter_type, filtered = best_filter(row, previous, channels)
        raw.append(filter_type)
        raw += filtered
        previous = row

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(data)


def best_filter(row, previous, bpp):
    """Picks the PNG row filter (none, sub, up) with the smallest absolute sum."""
    row = bytes(row)
    sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(len(row)))
    up = bytes((a - b) & 255 for a, b in zip(row, previous))
    candidates = [(0, row), (1, sub), (2, up)]
    return min(candidates, key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))


def surface_pixels(surface, channels):
    """Cairo's native-endian BGRA words as straight (not premultiplied) RGB or RGBA bytes."""
    surface.flush()
    width, height, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = bytes(surface.get_data())
    out = bytearray(width * height * channels)
    little = sys.byteorder == "little"
    for y in range(height):
        line = data[y * stride:y * stride + width * 4]
        if little:
            b, g, r, a = line[0::4], line[1::4], line[2::4], line[3::4]
        else:
            a, r, g, b = line[0::4], line[1::4], line[2::4], line[3::4]
        base = y * width * channels
        if channels == 3:
            out[base:base + width * 3:3] = r
            out[base + 1:base + width * 3:3] = g
            out[base + 2:base + width * 3:3] = b
            continue
        for x in range(width):
            alpha = a[x]
            i = base + x * 4
            if alpha == 0:
                continue
            if alpha == 255:
                out[i:i + 4] = bytes((r[x], g[x], b[x], 255))
            else:
                out[i:i + 4] = bytes((min(255, (r[x] * 255 + alpha // 2) // alpha),
                                      min(255, (g[x] * 255 + alpha // 2) // alpha),
                                      min(255, (b[x] * 255 + alpha // 2) // alpha), alpha))
    return out


def save(surface, path, channels):
    write_png(path, surface.get_width(), surface.get_height(),
              surface_pixels(surface, channels), channels)


# ---------------------------------------------------------------- drawing helpers
def new_context(surface):
    ctx = cairo.Context(surface)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    ctx.set_font_options(options)
    return ctx


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def set_font(ctx, size, bold=True):
    ctx.select_font_face(SANS, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)


def text_width(ctx, text, spacing=0.0):
    return sum(ctx.text_extents(ch).x_advance for ch in text) + spacing * (len(text) - 1) \
        if spacing else ctx.text_extents(text).x_advance


def show_text(ctx, text, x, baseline, spacing=0.0):
    """Draws text from x on a baseline, with optional extra letter spacing."""
    if not spacing:
        ctx.move_to(x, baseline)
        ctx.show_text(text)
        return
    for ch in text:
        ctx.move_to(x, baseline)
        ctx.show_text(ch)
        x += ctx.text_extents(ch).x_advance + spacing


def centred_text(ctx, text, cx, baseline, spacing=0.0):
    show_text(ctx, text, cx - text_width(ctx, text, spacing) / 2.0, baseline, spacing)


def engraved_text(ctx, text, cx, baseline, colour, spacing=0.0):
    """Print on brushed metal: a one-pixel light edge under dark ink."""
    ctx.set_source_rgba(1, 1, 1, 0.45)
    centred_text(ctx, text, cx, baseline + 1, spacing)
    ctx.set_source_rgb(*colour)
    centred_text(ctx, text, cx, baseline, spacing)


def knob_centre(rect):
    return (rect[0] + rect[2]) / 2.0, (rect[1] + rect[3]) / 2.0


def angle_of(value):
    """Pointer angle in radians for a value 0..1, measured clockwise from 12 o'clock."""
    return math.radians(KNOB_MIN_ANGLE + (KNOB_MAX_ANGLE - KNOB_MIN_ANGLE) * value)


def polar(cx, cy, radius, angle):
    return cx + radius * math.sin(angle), cy - radius * math.cos(angle)


# ---------------------------------------------------------------- 128 background
def brushed_panel(rng):
    """Light silver with horizontal brush streaks and a soft top-to-bottom falloff."""
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, EDITOR_W, EDITOR_H)
    stride = surface.get_stride()
    data = surface.get_data()
    streak = 28
    for y in range(EDITOR_H):
        noise = [rng.gauss(0.0, 1.0) for _ in range(EDITOR_W + streak)]
        running = sum(noise[:streak])
        row_shift = rng.gauss(0.0, 1.4)
        base = 214.0 - 22.0 * (y / (EDITOR_H - 1.0)) ** 1.3
        line = bytearray(EDITOR_W * 4)
        for x in range(EDITOR_W):
            brushed = running / math.sqrt(streak) * 2.6
            running += noise[x + streak] - noise[x]
            grain = rng.gauss(0.0, 0.9)
            v = base + brushed + row_shift + grain
            r, g, b = v - 1.0, v, v + 3.0
            px = [int(max(0, min(255, round(c)))) for c in (b, g, r)]
            line[x * 4:x * 4 + 4] = bytes(px + [255])
        data[y * stride:y * stride + EDITOR_W * 4] = bytes(line)
    surface.mark_dirty()
    return surface


def draw_panel_edges(ctx):
    # A faint bevel so the panel reads as a milled plate between the ears.
    ctx.set_line_width(1)
    ctx.set_source_rgba(1, 1, 1, 0.55)
    ctx.move_to(EAR_W, 0.5)
    ctx.line_to(EDITOR_W - EAR_W, 0.5)
    ctx.stroke()
    ctx.set_source_rgba(0, 0, 0, 0.25)
    ctx.move_to(EAR_W, EDITOR_H - 0.5)
    ctx.line_to(EDITOR_W - EAR_W, EDITOR_H - 0.5)
    ctx.stroke()


def draw_ear(ctx, left):
    x0 = 0 if left else EDITOR_W - EAR_W
    gradient = cairo.LinearGradient(0, 0, 0, EDITOR_H)
    gradient.add_color_stop_rgb(0, *EAR_TOP)
    gradient.add_color_stop_rgb(1, *EAR_BOTTOM)
    ctx.rectangle(x0, 0, EAR_W, EDITOR_H)
    ctx.set_source(gradient)
    ctx.fill()
    # Satin sheen across the ear.
    sheen = cairo.LinearGradient(x0, 0, x0 + EAR_W, 0)
    sheen.add_color_stop_rgba(0, 1, 1, 1, 0.02)
    sheen.add_color_stop_rgba(0.45, 1, 1, 1, 0.08)
    sheen.add_color_stop_rgba(1, 1, 1, 1, 0.0)
    ctx.rectangle(x0, 0, EAR_W, EDITOR_H)
    ctx.set_source(sheen)
    ctx.fill()
    # Edge where the ear meets the panel: a shadow line on the panel side, a highlight on the ear.
    seam = x0 + EAR_W if left else x0
    ctx.set_line_width(1)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.move_to(seam + (0.5 if left else -0.5), 0)
    ctx.line_to(seam + (0.5 if left else -0.5), EDITOR_H)
    ctx.stroke()
    ctx.set_source_rgba(1, 1, 1, 0.12)
    ctx.move_to(seam + (-0.5 if left else 0.5), 0)
    ctx.line_to(seam + (-0.5 if left else 0.5), EDITOR_H)
    ctx.stroke()
    for cy in (20, EDITOR_H - 20):
        draw_screw_slot(ctx, x0 + EAR_W / 2.0, cy)


def draw_screw_slot(ctx, cx, cy):
    """A rack slot with a screw seated in it."""
    slot_w, slot_h = 9.0, 15.0
    rounded_rect(ctx, cx - slot_w / 2, cy - slot_h / 2, slot_w, slot_h, slot_w / 2)
    ctx.set_source_rgb(0.05, 0.055, 0.06)
    ctx.fill_preserve()
    ctx.set_line_width(1)
    ctx.set_source_rgba(1, 1, 1, 0.16)
    ctx.stroke()
    # Screw head: a small brushed dome with a cross recess.
    head = cairo.RadialGradient(cx - 1.5, cy - 1.8, 0.5, cx, cy, 4.6)
    head.add_color_stop_rgb(0, 0.93, 0.94, 0.95)
    head.add_color_stop_rgb(0.6, 0.62, 0.64, 0.67)
    head.add_color_stop_rgb(1, 0.32, 0.33, 0.35)
    ctx.arc(cx, cy, 4.2, 0, 2 * math.pi)
    ctx.set_source(head)
    ctx.fill()
    ctx.set_source_rgba(0.12, 0.13, 0.14, 0.85)
    ctx.set_line_width(1.1)
    for angle in (math.radians(30), math.radians(120)):
        dx, dy = 2.6 * math.cos(angle), 2.6 * math.sin(angle)
        ctx.move_to(cx - dx, cy - dy)
        ctx.line_to(cx + dx, cy + dy)
    ctx.stroke()


def draw_knob_seat(ctx, rect):
    cx, cy = knob_centre(rect)
    # A shallow turned disc, lit from above: darker rim at the top, bright rim at the bottom.
    disc = cairo.RadialGradient(cx, cy - 6, 4, cx, cy, 31)
    disc.add_color_stop_rgba(0, 0, 0, 0, 0.0)
    disc.add_color_stop_rgba(0.75, 0, 0, 0, 0.04)
    disc.add_color_stop_rgba(1, 0, 0, 0, 0.10)
    ctx.arc(cx, cy, 31, 0, 2 * math.pi)
    ctx.set_source(disc)
    ctx.fill()
    rim = cairo.LinearGradient(0, cy - 31, 0, cy + 31)
    rim.add_color_stop_rgba(0, 0, 0, 0, 0.35)
    rim.add_color_stop_rgba(0.5, 0, 0, 0, 0.08)
    rim.add_color_stop_rgba(1, 1, 1, 1, 0.75)
    ctx.set_line_width(1)
    ctx.arc(cx, cy, 30.5, 0, 2 * math.pi)
    ctx.set_source(rim)
    ctx.stroke()
    # Scale: eleven ticks from the minimum to the maximum, the ends and the centre longer.
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    for i in range(11):
        angle = angle_of(i / 10.0)
        major = i in (0, 5, 10)
        inner, outer = (25.5, 29.5) if major else (26.5, 29.0)
        ctx.set_line_width(1.5 if major else 1.0)
        ctx.set_source_rgba(*INK, 0.9 if major else 0.7)
        ctx.move_to(*polar(cx, cy, inner, angle))
        ctx.line_to(*polar(cx, cy, outer, angle))
        ctx.stroke()
    # The cavity the knob sits in.
    cavity = cairo.RadialGradient(cx, cy + 1, 20, cx, cy, 25)
    cavity.add_color_stop_rgba(0, 0.05, 0.05, 0.06, 0.95)
    cavity.add_color_stop_rgba(0.8, 0.10, 0.11, 0.12, 0.85)
    cavity.add_color_stop_rgba(1, 0.10, 0.11, 0.12, 0.0)
    ctx.arc(cx, cy, 25, 0, 2 * math.pi)
    ctx.set_source(cavity)
    ctx.fill()


def draw_field_box(ctx, rect, name):
    left, top, right, bottom = rect
    w, h = right - left, bottom - top
    # Recessed bezel just outside the box; the box itself stays plain for the value text.
    ctx.set_line_width(1)
    ctx.rectangle(left - 1.5, top - 1.5, w + 3, h + 3)
    bezel = cairo.LinearGradient(0, top - 2, 0, bottom + 2)
    bezel.add_color_stop_rgba(0, 0, 0, 0, 0.55)
    bezel.add_color_stop_rgba(1, 1, 1, 1, 0.85)
    ctx.set_source(bezel)
    ctx.stroke()
    ctx.rectangle(left - 0.5, top - 0.5, w + 1, h + 1)
    ctx.set_source_rgb(*LCD_DEEP)
    ctx.stroke()
    ctx.rectangle(left, top, w, h)
    ctx.set_source_rgb(*LCD_DARK)
    ctx.fill()
    set_font(ctx, 9.5)
    engraved_text(ctx, name, (left + right) / 2.0, bottom + 11, INK)


def draw_well(ctx, well):
    left, top, right, bottom = well
    w, h = right - left, bottom - top
    # Outer bevel: shadow above, highlight below, as if cut into the plate.
    rounded_rect(ctx, left - 1.5, top - 1.5, w + 3, h + 3, 4)
    bevel = cairo.LinearGradient(0, top - 2, 0, bottom + 2)
    bevel.add_color_stop_rgba(0, 0, 0, 0, 0.5)
    bevel.add_color_stop_rgba(0.5, 0, 0, 0, 0.25)
    bevel.add_color_stop_rgba(1, 1, 1, 1, 0.9)
    ctx.set_line_width(1)
    ctx.set_source(bevel)
    ctx.stroke()
    rounded_rect(ctx, left, top, w, h, 3)
    ctx.set_source_rgb(*LCD_DEEP)
    ctx.fill()
    # The glass: flat dark green with a soft inner shadow along the top and sides.
    ctx.rectangle(left + 1, top + 1, w - 2, h - 2)
    ctx.set_source_rgb(*LCD_DARK)
    ctx.fill()
    shade = cairo.LinearGradient(0, top + 1, 0, top + 6)
    shade.add_color_stop_rgba(0, 0, 0, 0, 0.45)
    shade.add_color_stop_rgba(1, 0, 0, 0, 0.0)
    ctx.rectangle(left + 1, top + 1, w - 2, 5)
    ctx.set_source(shade)
    ctx.fill()


def draw_correlation_scale(ctx):
    left, top, right, bottom = CORRELATION_RECT
    set_font(ctx, 9)
    ctx.set_source_rgb(*LCD_PRINT)
    middle = (top + bottom) / 2.0
    for label, y in (("1", top + 4), ("0", middle), ("-1", bottom - 4)):
        width = text_width(ctx, label)
        ctx.move_to(left - 8 - width, y + 3.5)
        ctx.show_text(label)
        ctx.rectangle(left - 6, round(y) - 0.5 - 0.5, 4, 1)
        ctx.fill()
    # Minor ticks every fourth segment on both halves.
    ctx.set_source_rgba(*LCD_PRINT, 0.6)
    for segment in range(4, 34, 4):
        if segment == 17:
            continue
        y = top + segment * METER_SEGMENT_PITCH
        ctx.rectangle(left - 4, y - 1, 2, 1)
        ctx.fill()


def draw_peak_ticks(ctx):
    top, bottom = PEAK_LEFT_RECT[1], PEAK_LEFT_RECT[3]
    gap_left, gap_right = PEAK_LEFT_RECT[2], PEAK_RIGHT_RECT[0]
    ctx.set_source_rgb(*LCD_PRINT)
    # A tick on every second segment boundary, longer ones at the ends and the middle;
    # the outer edges carry the long ticks too, so both bars read against the same scale.
    for segment in range(0, 35, 2):
        y = top + segment * METER_SEGMENT_PITCH
        y = min(y, bottom - 1) if segment == 34 else y
        major = segment in (0, 16, 34) or segment % 8 == 0
        if major:
            ctx.rectangle(gap_left + 1, y, gap_right - gap_left - 2, 1)
            ctx.rectangle(PEAK_LEFT_RECT[0] - 3, y, 2, 1)
            ctx.rectangle(PEAK_RIGHT_RECT[2] + 1, y, 2, 1)
        else:
            ctx.rectangle(gap_left + 2, y, gap_right - gap_left - 4, 1)
        ctx.fill()


def draw_brand(ctx):
    # Product name at the top left, with a small mark: a vane of three rays.
    left = EAR_W + 7
    set_font(ctx, 15)
    name = "Lumivane"
    ctx.set_source_rgba(1, 1, 1, 0.5)
    show_text(ctx, name, left, 24 + 1)
    ctx.set_source_rgb(*INK)
    show_text(ctx, name, left, 24)
    set_font(ctx, 6.5)
    ctx.set_source_rgb(*INK_SOFT)
    show_text(ctx, "STEREO WIDENER", left + 1, 35, 0.6)
    ctx.set_source_rgb(*ACCENT)
    ctx.rectangle(left + 1, 38, 22, 1.5)
    ctx.fill()


def draw_version_badge(ctx):
    x, y, w, h = EAR_W + 9, EDITOR_H - 22, 26, 12
    rounded_rect(ctx, x, y, w, h, 3)
    ctx.set_source_rgb(*EAR_TOP)
    ctx.fill_preserve()
    ctx.set_source_rgba(1, 1, 1, 0.5)
    ctx.set_line_width(1)
    ctx.stroke()
    set_font(ctx, 8)
    ctx.set_source_rgb(0.92, 0.93, 0.94)
    centred_text(ctx, "2.0", x + w / 2.0, y + 9)


def draw_vendor(ctx):
    # The maker's name runs up the right ear, between its two screws.
    cx = EDITOR_W - EAR_W / 2.0
    ctx.save()
    ctx.translate(cx, EDITOR_H / 2.0)
    ctx.rotate(-math.pi / 2)
    set_font(ctx, 11)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    centred_text(ctx, "VELMORA", 0, 4 + 1, 1.6)
    ctx.set_source_rgb(0.86, 0.87, 0.89)
    centred_text(ctx, "VELMORA", 0, 4, 1.6)
    ctx.restore()


def make_background(path):
    rng = random.Random(SEED)
    surface = brushed_panel(rng)
    ctx = new_context(surface)
    draw_panel_edges(ctx)
    draw_ear(ctx, True)
    draw_ear(ctx, False)
    for rect in KNOB_RECTS:
        draw_knob_seat(ctx, rect)
    for rect, name in zip(FIELD_RECTS, FIELD_NAMES):
        draw_field_box(ctx, rect, name)
    for well in (CORRELATION_WELL, GONIOMETER_WELL, PEAK_WELL):
        draw_well(ctx, well)
    draw_correlation_scale(ctx)
    draw_peak_ticks(ctx)
    draw_brand(ctx)
    draw_version_badge(ctx)
    draw_vendor(ctx)
    save(surface, path, 3)


# ---------------------------------------------------------------- 129 knob strip
def draw_knob(ctx, cx, cy, value):
    angle = angle_of(value)
    skirt_r, cap_r = 23.0, 17.5
    # Soft contact shadow below the knob.
    shadow = cairo.RadialGradient(cx + 0.5, cy + 2, skirt_r - 3, cx + 0.5, cy + 2, skirt_r + 4)
    shadow.add_color_stop_rgba(0, 0, 0, 0, 0.55)
    shadow.add_color_stop_rgba(1, 0, 0, 0, 0.0)
    ctx.arc(cx + 0.5, cy + 2, skirt_r + 4, 0, 2 * math.pi)
    ctx.set_source(shadow)
    ctx.fill()
    # Skirt: dark anodised body, lit from the top.
    body = cairo.LinearGradient(0, cy - skirt_r, 0, cy + skirt_r)
    body.add_color_stop_rgb(0, 0.36, 0.38, 0.42)
    body.add_color_stop_rgb(0.5, 0.17, 0.18, 0.20)
    body.add_color_stop_rgb(1, 0.07, 0.075, 0.08)
    ctx.arc(cx, cy, skirt_r, 0, 2 * math.pi)
    ctx.set_source(body)
    ctx.fill()
    # Knurled grip: fine ribs that turn with the knob.
    ribs = 40
    ctx.save()
    ctx.arc(cx, cy, skirt_r - 0.6, 0, 2 * math.pi)
    ctx.arc_negative(cx, cy, cap_r + 1.6, 2 * math.pi, 0)
    ctx.clip()
    ctx.set_line_width(1.0)
    for i in range(ribs):
        a = angle + 2 * math.pi * i / ribs
        # Ribs facing the light catch it; the others stay dark.
        facing = 0.5 + 0.5 * math.cos(a)
        ctx.set_source_rgba(1, 1, 1, 0.05 + 0.16 * facing)
        ctx.move_to(*polar(cx, cy, cap_r + 1, a))
        ctx.line_to(*polar(cx, cy, skirt_r, a))
        ctx.stroke()
        b = a + math.pi / ribs
        ctx.set_source_rgba(0, 0, 0, 0.35)
        ctx.move_to(*polar(cx, cy, cap_r + 1, b))
        ctx.line_to(*polar(cx, cy, skirt_r, b))
        ctx.stroke()
    ctx.restore()
    # Outline of the skirt and the chamfer up to the cap.
    ctx.set_line_width(1)
    ctx.arc(cx, cy, skirt_r - 0.5, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.stroke()
    chamfer = cairo.LinearGradient(cx - cap_r, cy - cap_r, cx + cap_r, cy + cap_r)
    chamfer.add_color_stop_rgb(0, 0.80, 0.82, 0.85)
    chamfer.add_color_stop_rgb(0.5, 0.38, 0.40, 0.43)
    chamfer.add_color_stop_rgb(1, 0.10, 0.11, 0.12)
    ctx.arc(cx, cy, cap_r + 1.5, 0, 2 * math.pi)
    ctx.set_source(chamfer)
    ctx.fill()
    # Cap: spun aluminium, dark satin, with the spin sheen fixed to the light.
    cap = cairo.LinearGradient(0, cy - cap_r, 0, cy + cap_r)
    cap.add_color_stop_rgb(0, 0.34, 0.36, 0.39)
    cap.add_color_stop_rgb(1, 0.16, 0.17, 0.19)
    ctx.arc(cx, cy, cap_r, 0, 2 * math.pi)
    ctx.set_source(cap)
    ctx.fill()
    wedges = 72
    for i in range(wedges):
        a0 = 2 * math.pi * i / wedges
        a1 = 2 * math.pi * (i + 1) / wedges
        mid = (a0 + a1) / 2
        # Two bright lobes, as light streaks across concentric machining.
        strength = abs(math.cos(mid + math.radians(35))) ** 6
        ctx.move_to(cx, cy)
        ctx.arc(cx, cy, cap_r, a0 - math.pi / 2, a1 - math.pi / 2 + 0.002)
        ctx.close_path()
        ctx.set_source_rgba(1, 1, 1, 0.22 * strength)
        ctx.fill()
    for r in (5.0, 9.0, 13.0):
        ctx.arc(cx, cy, r, 0, 2 * math.pi)
        ctx.set_source_rgba(0, 0, 0, 0.08)
        ctx.set_line_width(0.6)
        ctx.stroke()
    gloss = cairo.RadialGradient(cx - 5, cy - 8, 1, cx - 3, cy - 5, cap_r)
    gloss.add_color_stop_rgba(0, 1, 1, 1, 0.22)
    gloss.add_color_stop_rgba(1, 1, 1, 1, 0.0)
    ctx.arc(cx, cy, cap_r, 0, 2 * math.pi)
    ctx.set_source(gloss)
    ctx.fill()
    ctx.arc(cx, cy, cap_r - 0.5, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.set_line_width(1)
    ctx.stroke()
    # Pointer: an orange line from near the centre over the chamfer, with a dark groove.
    start, end = polar(cx, cy, 6.0, angle), polar(cx, cy, skirt_r - 1.5, angle)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.set_line_width(4.2)
    ctx.move_to(*start)
    ctx.line_to(*end)
    ctx.stroke()
    ctx.set_source_rgb(*ACCENT)
    ctx.set_line_width(2.4)
    ctx.move_to(*start)
    ctx.line_to(*end)
    ctx.stroke()
    tip = polar(cx, cy, skirt_r - 3.5, angle)
    ctx.set_source_rgba(1, 0.93, 0.78, 0.9)
    ctx.arc(tip[0], tip[1], 0.9, 0, 2 * math.pi)
    ctx.fill()


def make_knob_strip(path):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, KNOB_SIZE, KNOB_SIZE * KNOB_FRAMES)
    ctx = new_context(surface)
    for frame in range(KNOB_FRAMES):
        ctx.save()
        ctx.rectangle(0, frame * KNOB_SIZE, KNOB_SIZE, KNOB_SIZE)
        ctx.clip()
        draw_knob(ctx, KNOB_SIZE / 2.0, frame * KNOB_SIZE + KNOB_SIZE / 2.0,
                  frame / (KNOB_FRAMES - 1.0))
        ctx.restore()
    save(surface, path, 4)


# ---------------------------------------------------------------- 130..135 meters
def meter_surface():
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, METER_W, METER_H)
    ctx = cairo.Context(surface)
    ctx.set_source_rgb(*LCD_DARK)
    ctx.paint()
    return surface, ctx


def lit_row(ctx, y):
    """One bright LED row across the bar, a little hotter in its middle columns."""
    ctx.rectangle(1, y, METER_W - 2, 1)
    ctx.set_source_rgb(*LED_LIT)
    ctx.fill()
    ctx.rectangle(4, y, METER_W - 8, 1)
    ctx.set_source_rgba(*LED_LIT_CORE, 0.35)
    ctx.fill()


def make_meter_off(path):
    surface, _ = meter_surface()
    save(surface, path, 3)


def make_meter_on(path, dense_lower_half=False):
    surface, ctx = meter_surface()
    for y in range(METER_H):
        phase = y % METER_SEGMENT_PITCH
        if dense_lower_half and y >= METER_H // 2:
            bright = phase != METER_SEGMENT_PITCH - 1
        else:
            bright = phase % 2 == 0
        if bright:
            lit_row(ctx, y)
    save(surface, path, 3)


# ---------------------------------------------------------------- 136, 137 goniometer
def make_goniometer(path):
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, GONIOMETER_SIZE, GONIOMETER_SIZE)
    ctx = cairo.Context(surface)
    ctx.set_source_rgb(*LCD_DARK)
    ctx.paint()
    save(surface, path, 3)


def barred_line(ctx, x0, y0, x1, y1, bar_alpha, line_alpha):
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    ctx.set_source_rgba(0, 0, 0, bar_alpha)
    ctx.set_line_width(3)
    ctx.move_to(x0, y0)
    ctx.line_to(x1, y1)
    ctx.stroke()
    ctx.set_source_rgba(*ACCENT, line_alpha)
    ctx.set_line_width(1)
    ctx.move_to(x0, y0)
    ctx.line_to(x1, y1)
    ctx.stroke()


def make_overlay(path):
    size, m = OVERLAY_SIZE, OVERLAY_MARGIN
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = new_context(surface)
    inner_lo, inner_hi = m, size - m            # the goniometer's cells: 10..133
    centre = m + GONIOMETER_SIZE // 2 + 0.5     # cell 62, where a value of 0.5 lands
    # Diagonals first, so the axes cross over them.
    ctx.save()
    ctx.rectangle(inner_lo, inner_lo, GONIOMETER_SIZE, GONIOMETER_SIZE)
    ctx.clip()
    barred_line(ctx, inner_lo, inner_lo, inner_hi, inner_hi, 0.45, 0.55)
    barred_line(ctx, inner_hi, inner_lo, inner_lo, inner_hi, 0.45, 0.55)
    barred_line(ctx, inner_lo, centre, inner_hi, centre, 0.55, 0.7)
    barred_line(ctx, centre, inner_lo, centre, inner_hi, 0.55, 0.7)
    ctx.restore()
    # Square border in the margin, just outside the cells, so no point is hidden.
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    ctx.rectangle(m - 5, m - 5, GONIOMETER_SIZE + 10, GONIOMETER_SIZE + 10)
    ctx.rectangle(m, m, GONIOMETER_SIZE, GONIOMETER_SIZE)
    ctx.set_source_rgba(0, 0, 0, 0.92)
    ctx.fill()
    ctx.rectangle(m - 3, m - 3, GONIOMETER_SIZE + 6, GONIOMETER_SIZE + 6)
    ctx.rectangle(m - 2, m - 2, GONIOMETER_SIZE + 4, GONIOMETER_SIZE + 4)
    ctx.set_source_rgba(*ACCENT, 0.9)
    ctx.fill()
    ctx.set_fill_rule(cairo.FILL_RULE_WINDING)
    # Channel letters beside the upper ends of the diagonals.
    set_font(ctx, 12)
    for letter, cx in (("L", m + 20), ("R", size - m - 20)):
        x = cx - text_width(ctx, letter) / 2.0
        ctx.move_to(x, m + 14)
        ctx.text_path(letter)
        ctx.set_source_rgba(0, 0, 0, 0.85)
        ctx.set_line_width(2.5)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.stroke_preserve()
        ctx.set_source_rgb(*ACCENT)
        ctx.fill()
    save(surface, path, 4)


# ---------------------------------------------------------------- main
def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    out = os.path.normpath(out)
    os.makedirs(out, exist_ok=True)

    def target(name):
        return os.path.join(out, name)

    make_background(target("128-background.png"))
    make_knob_strip(target("129-knob.png"))
    make_meter_off(target("130-peak-left-off.png"))
    make_meter_on(target("131-peak-left-on.png"))
    make_meter_off(target("132-peak-right-off.png"))
    make_meter_on(target("133-peak-right-on.png"))
    make_meter_off(target("134-correlation-off.png"))
    make_meter_on(target("135-correlation-on.png"), dense_lower_half=True)
    make_goniometer(target("136-goniometer.png"))
    make_overlay(target("137-goniometer-overlay.png"))
    print("make_artwork: wrote ten images to " + out)


if __name__ == "__main__":
    main()
