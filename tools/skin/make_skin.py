#!/usr/bin/env python3
"""Draws the toolkit's skin: flat, light, one accent colour.

Writes every PNG into resources/skin/ and the resource script skin.rc that
embeds them. Standard library only; run it again after changing a picture.
"""
import math
import os
import struct
import sys
import zlib

ACCENT = (0x2B, 0x6C, 0xE0)
ACCENT_DARK = (0x1F, 0x55, 0xB8)
ACCENT_LIGHT = (0xC9, 0xDB, 0xFA)
INK = (0x33, 0x3A, 0x45)
MUTED = (0x8A, 0x93, 0xA0)
LINE = (0xD5, 0xDA, 0xE1)
FACE = (0xFF, 0xFF, 0xFF)
PANEL = (0xF4, 0xF6, 0xF9)
HOVER = (0xE8, 0xEC, 0xF2)
PRESS = (0xD8, 0xDE, 0xE8)
DANGER = (0xE0, 0x45, 0x3A)
DISABLED = (0xEE, 0xEF, 0xF1)
SHADOW = 8  # transparent shadow margin of every window frame


class Image:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def blend(self, x, y, rgb, a):
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        out_a = a + p[3] * (1 - a)
        for c in range(3):
            p[c] = (rgb[c] * a + p[c] * p[3] * (1 - a)) / out_a if out_a else 0
        p[3] = out_a

    def fill(self, sdf, rgb, alpha=1.0, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, int(y0) - 1), min(self.h, int(y1) + 2)):
            for x in range(max(0, int(x0) - 1), min(self.w, int(x1) + 2)):
                cov = min(1.0, max(0.0, 0.5 - sdf(x + 0.5, y + 0.5)))
                self.blend(x, y, rgb, cov * alpha)

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                p = other.px[y * other.w + x]
                self.blend(ox + x, oy + y, p[:3], p[3])

    def png(self):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                raw += bytes(max(0, min(255, int(round(v)))) for v in (r, g, b))
                raw.append(max(0, min(255, int(round(a * 255)))))

        def chunk(t, d):
            return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xFFFFFFFF)

        head = struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0)
        return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', head) +
                chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def rrect(x0, y0, x1, y1, r):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def sdf(x, y):
        qx, qy = abs(x - cx) - hw + r, abs(y - cy) - hh + r
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def segment(ax, ay, bx, by, width):
    def sdf(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy or 1)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return sdf


def stroke(img, points, rgb, width=1.5, alpha=1.0):
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        img.fill(segment(ax, ay, bx, by, width), rgb, alpha)


def shadow(img, x0, y0, x1, y1, r, depth):
    inner = rrect(x0, y0, x1, y1, r)
    for y in range(img.h):
        for x in range(img.w):
            d = inner(x + 0.5, y + 0.5)
            if 0 < d < depth:
                img.blend(x, y, (0, 0, 0), 0.16 * (1 - d / depth) ** 2)


def strip(frames):
    out = Image(sum(f.w for f in frames), frames[0].h)
    x = 0
    for f in frames:
        out.paste(f, x, 0)
        x += f.w
    return out


def vstrip(frames):
    out = Image(frames[0].w, sum(f.h for f in frames))
    y = 0
    for f in frames:
        out.paste(f, 0, y)
        y += f.h
    return out


# ---- window frames -------------------------------------------------------

def window_frame(w, h, caption=True):
    """A window with its shadow margin; nine-slice split (20, 45, w-20, h-20)."""
    img = Image(w, h)
    m = SHADOW
    shadow(img, m, m + 1, w - m, h - m + 1, 6, m)
    img.fill(rrect(m, m, w - m, h - m, 6), LINE)
    img.fill(rrect(m + 1, m + 1, w - m - 1, h - m - 1, 5), FACE)
    if caption:
        img.fill(rrect(m + 1, m + 1, w - m - 1, m + 30, 5), PANEL)
        img.fill(lambda x, y: max(m + 1 - x, x - (w - m - 1), m + 20 - y, y - (m + 30)), PANEL)
        img.fill(lambda x, y: max(m + 1 - x, x - (w - m - 1), m + 30 - y, y - (m + 31)), LINE)
    return img


def caption_button(glyph, hover_rgb=HOVER, press_rgb=PRESS, glyph_hot=INK):
    frames = []
    for state in range(3):
        f = Image(30, 30)
        if state == 1:
            f.fill(rrect(3, 3, 27, 27, 4), hover_rgb)
        elif state == 2:
            f.fill(rrect(3, 3, 27, 27, 4), press_rgb)
        glyph(f, INK if state == 0 else glyph_hot)
        frames.append(f)
    return strip(frames)


def g_close(f, c):
    stroke(f, [(10.5, 10.5), (19.5, 19.5)], c)
    stroke(f, [(19.5, 10.5), (10.5, 19.5)], c)


def g_min(f, c):
    stroke(f, [(10, 15.5), (20, 15.5)], c)


def g_max(f, c):
    f.fill(lambda x, y: abs(rrect(10.5, 10.5, 19.5, 19.5, 1)(x, y)) - 0.7, c)


def g_restore(f, c):
    f.fill(lambda x, y: abs(rrect(10.5, 12.5, 17.5, 19.5, 1)(x, y)) - 0.7, c)
    stroke(f, [(12.5, 10.5), (19.5, 10.5), (19.5, 17.5)], c, 1.4)


def g_menu(f, c):
    for y in (11, 15, 19):
        stroke(f, [(10, y + 0.5), (20, y + 0.5)], c)


def g_skin(f, c):
    f.fill(ring(15, 15, 4.5, 1.4), c)
    f.fill(circle(15, 15, 2), ACCENT)


# ---- buttons, boxes, bars ----------------------------------------------

def push_button(count, w=80, h=28):
    looks = [(FACE, LINE, 1), (HOVER, ACCENT, 1), (PRESS, ACCENT_DARK, 1), (DISABLED, LINE, 1),
             (FACE, ACCENT, 2)]
    frames = []
    for face, edge, width in looks[:count]:
        f = Image(w, h)
        f.fill(rrect(0.5, 0.5, w - 0.5, h - 0.5, 5), edge)
        f.fill(rrect(0.5 + width, 0.5 + width, w - 0.5 - width, h - 0.5 - width, 5 - width), face)
        frames.append(f)
    return strip(frames)


def accent_button(count, w=80, h=28):
    fills = [ACCENT, (0x3F, 0x7E, 0xEC), ACCENT_DARK, (0xB8, 0xC4, 0xD6), ACCENT]
    frames = []
    for i, fill in enumerate(fills[:count]):
        f = Image(w, h)
        f.fill(rrect(0.5, 0.5, w - 0.5, h - 0.5, 5), fill)
        if i == 4:
            f.fill(lambda x, y: abs(rrect(2.5, 2.5, w - 2.5, h - 2.5, 3)(x, y)) - 0.5, FACE, 0.8)
        frames.append(f)
    return strip(frames)


def check_box(kinds):
    """kinds: list of (mark, hot) with mark in '', 'check', 'partial', 'radio'."""
    frames = []
    for mark, look in kinds:
        f = Image(16, 16)
        edge = {'normal': MUTED, 'hot': ACCENT, 'down': ACCENT_DARK, 'disabled': LINE}[look]
        filled = mark in ('check', 'partial') and look != 'disabled'
        f.fill(rrect(1.5, 1.5, 14.5, 14.5, 3), ACCENT if filled else edge)
        if not filled:
            f.fill(rrect(2.5, 2.5, 13.5, 13.5, 2), DISABLED if look == 'disabled' else FACE)
        tick = FACE if filled else MUTED
        if mark == 'check':
            stroke(f, [(4.5, 8.2), (7, 10.8), (11.8, 5.5)], tick, 1.7)
        elif mark == 'partial':
            stroke(f, [(5, 8), (11, 8)], tick, 2)
        frames.append(f)
    return strip(frames)


def edit_box(count, w=40, h=28):
    edges = [LINE, MUTED, ACCENT, LINE]
    faces = [FACE, FACE, FACE, DISABLED]
    frames = []
    for i in range(count):
        f = Image(w, h)
        f.fill(rrect(0.5, 0.5, w - 0.5, h - 0.5, 4), edges[i])
        width = 1.6 if i == 2 else 1
        f.fill(rrect(0.5 + width, 0.5 + width, w - 0.5 - width, h - 0.5 - width, 3), faces[i])
        frames.append(f)
    return strip(frames)


def bar(w, h, rgb, radius=None):
    f = Image(w, h)
    f.fill(rrect(0, 0, w, h, h / 2 if radius is None else radius), rgb)
    return f


def bar_v(w, h, rgb):
    f = Image(w, h)
    f.fill(rrect(0, 0, w, h, w / 2), rgb)
    return f


def arrow(f, cx, cy, direction, rgb, size=3.0):
    d = {'up': (0, -1), 'down': (0, 1), 'left': (-1, 0), 'right': (1, 0)}[direction]
    px, py = -d[1], d[0]
    tip = (cx + d[0] * size / 2, cy + d[1] * size / 2)
    a = (cx - d[0] * size / 2 + px * size, cy - d[1] * size / 2 + py * size)
    b = (cx - d[0] * size / 2 - px * size, cy - d[1] * size / 2 - py * size)
    stroke(f, [a, tip, b], rgb, 1.5)


def tree_button():
    """Expand buttons: collapsed, collapsed hot, expanded, expanded hot."""
    frames = []
    for direction in ('right', 'down'):
        for hot in (False, True):
            f = Image(16, 16)
            if hot:
                f.fill(rrect(1.5, 1.5, 14.5, 14.5, 3), HOVER)
            arrow(f, 8, 8, direction, ACCENT if hot else MUTED, 3.0)
            frames.append(f)
    return strip(frames)


def scroll_parts(vertical):
    t = 12
    arrows = ('up', 'down') if vertical else ('left', 'right')
    buttons = []
    for direction in arrows:
        frames = []
        for state in range(3):
            f = Image(t, t)
            if state:
                f.fill(rrect(0.5, 0.5, t - 0.5, t - 0.5, 3), HOVER if state == 1 else PRESS)
            arrow(f, t / 2, t / 2, direction, MUTED if state == 0 else INK, 2.6)
            frames.append(f)
        buttons.append(strip(frames))
    long = 40
    thumbs = [(0xC3, 0xC9, 0xD2), (0xA6, 0xAE, 0xBA), ACCENT]
    if vertical:
        track = Image(t, long)
        track.fill(rrect(3.5, 0, t - 3.5, long, 2.5), (0xEE, 0xF0, 0xF3))
        slider = strip([_thumb(t, long, c, True) for c in thumbs])
        grip = strip([_grip(c) for c in thumbs])
    else:
        track = Image(long, t)
        track.fill(rrect(0, 3.5, long, t - 3.5, 2.5), (0xEE, 0xF0, 0xF3))
        slider = strip([_thumb(long, t, c, False) for c in thumbs])
        grip = strip([_grip(c) for c in thumbs])
    return buttons, track, slider, grip


def _thumb(w, h, rgb, vertical):
    f = Image(w, h)
    if vertical:
        f.fill(rrect(2.5, 0.5, w - 2.5, h - 0.5, (w - 5) / 2), rgb)
    else:
        f.fill(rrect(0.5, 2.5, w - 0.5, h - 2.5, (h - 5) / 2), rgb)
    return f


def _grip(rgb):
    f = Image(6, 6)
    f.fill(circle(3, 3, 1.1), FACE, 0.8 if rgb == ACCENT else 0.0)
    return f


# ---- icons ----------------------------------------------------------------

def logo(size):
    f = Image(size, size)
    s = size / 20
    f.fill(rrect(1 * s, 1 * s, 19 * s, 19 * s, 5 * s), ACCENT)
    f.fill(ring(10 * s, 9.6 * s, 4.6 * s, 2.1 * s), FACE)
    stroke(f, [(12.4 * s, 12.2 * s), (15.2 * s, 15.2 * s)], FACE, 2.2 * s)
    return f


def message_icon(kind, size=32):
    f = Image(size, size)
    c = size / 2
    if kind == 'warning':
        tri = lambda x, y: max(segment(c, 3, 3, size - 4, 0)(x, y) * 0 - 1,
                               _triangle(x, y, size))
        f.fill(tri, (0xF0, 0xA2, 0x1B))
        stroke(f, [(c, 11), (c, 19)], FACE, 3)
        f.fill(circle(c, 24, 1.7), FACE)
        return f
    rgb = {'info': ACCENT, 'question': ACCENT, 'error': DANGER}[kind]
    f.fill(circle(c, c, size / 2 - 1.5), rgb)
    if kind == 'info':
        f.fill(circle(c, 9.5, 2), FACE)
        stroke(f, [(c, 14), (c, 23)], FACE, 3.2)
    elif kind == 'question':
        f.fill(ring(c, 12.5, 4.2, 2.8), FACE, box=(0, 0, size, 13))
        f.fill(lambda x, y: max(ring(c, 12.5, 4.2, 2.8)(x, y), 12.5 - y, c - x), FACE)
        stroke(f, [(c + 2.8, 15.6), (c, 18), (c, 19.5)], FACE, 2.8)
        f.fill(circle(c, 24, 1.8), FACE)
    else:
        stroke(f, [(11, 11), (21, 21)], FACE, 3)
        stroke(f, [(21, 11), (11, 21)], FACE, 3)
    return f


def _triangle(x, y, size):
    # Rounded triangle by distance to its three edges.
    pts = [(size / 2, 2.5), (size - 2, size - 3.5), (2, size - 3.5)]
    d = -1e9
    for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
        nx, ny = by - ay, -(bx - ax)
        n = math.hypot(nx, ny)
        d = max(d, ((x - ax) * nx + (y - ay) * ny) / n)
    return d + 1.5 - 1.5


def folder_icon(size=16):
    f = Image(size, size)
    s = size / 16
    f.fill(rrect(1 * s, 3 * s, 8 * s, 7 * s, 1 * s), (0xE8, 0xA9, 0x3A))
    f.fill(rrect(1 * s, 5 * s, 15 * s, 14 * s, 1.5 * s), (0xF5, 0xC2, 0x4C))
    return f


def file_icon():
    f = Image(16, 16)
    f.fill(rrect(3, 1, 13, 15, 1.5), MUTED)
    f.fill(rrect(4, 2, 12, 14, 1), FACE)
    for y in (5.5, 8.5, 11.5):
        stroke(f, [(6, y), (10, y)], LINE, 1)
    return f


def registry_icon(size=16):
    f = Image(size, size)
    s = size / 16
    for i, (x, y) in enumerate(((1, 1), (8, 1), (1, 8), (8, 8))):
        f.fill(rrect((x + 0.5) * s, (y + 0.5) * s, (x + 6.5) * s, (y + 6.5) * s, 1.2 * s),
               ACCENT if i == 3 else MUTED)
    return f


def group_back():
    """The background of a group row in the leftover review: a panel strip with a line below."""
    f = Image(32, 32)
    f.fill(rrect(0, 0, 32, 32, 0), PANEL)
    f.fill(lambda x, y: max(-x, x - 32, 31 - y, y - 32), LINE)
    return f


def program_icon(size=32):
    f = Image(size, size)
    s = size / 32
    f.fill(rrect(3 * s, 5 * s, 29 * s, 27 * s, 3 * s), MUTED)
    f.fill(rrect(4.5 * s, 9 * s, 27.5 * s, 25.5 * s, 2 * s), FACE)
    f.fill(rrect(7 * s, 12 * s, 16 * s, 22 * s, 1.5 * s), ACCENT_LIGHT)
    return f


def busy_frames(count=12, size=24):
    frames = []
    for k in range(count):
        f = Image(size, size)
        c = size / 2
        for i in range(count):
            ang = 2 * math.pi * i / count - math.pi / 2
            age = (k - i) % count
            a = max(0.15, 1 - age / count * 1.2)
            stroke(f, [(c + 5 * math.cos(ang), c + 5 * math.sin(ang)),
                       (c + 9 * math.cos(ang), c + 9 * math.sin(ang))], ACCENT, 2.2, a)
        frames.append(f)
    return strip(frames)


def row_highlight():
    frames = []
    for rgb in (HOVER, ACCENT_LIGHT):
        f = Image(20, 24)
        f.fill(rrect(0, 0, 20, 24, 0), rgb)
        frames.append(f)
    return strip(frames)


def header_cell():
    frames = []
    for rgb in (PANEL, HOVER, PRESS):
        f = Image(20, 26)
        f.fill(rrect(0, 0, 20, 26, 0), rgb)
        f.fill(lambda x, y: max(-x, x - 20, 25 - y, y - 26), LINE)
        f.fill(lambda x, y: max(19 - x, x - 20, 5 - y, y - 21), LINE)
        frames.append(f)
    return strip(frames)


def list_header():
    """Header cells of the column list: normal, hot, pressed, disabled; flat, so they scale."""
    frames = []
    for rgb in (PANEL, HOVER, PRESS, DISABLED):
        f = Image(4, 26)
        f.fill(rrect(0, 0, 4, 26, 0), rgb)
        f.fill(lambda x, y: max(25 - y, y - 26), LINE)
        frames.append(f)
    return strip(frames)


def selection_box():
    f = Image(4, 4)
    f.fill(rrect(0, 0, 4, 4, 0), ACCENT, 0.25)
    return f


def sort_arrows():
    frames = []
    for direction in ('up', 'down'):
        f = Image(9, 6)
        arrow(f, 4.5, 3, direction, MUTED, 2.5)
        frames.append(f)
    return frames


def separator(w, h, vertical=False):
    f = Image(w, h)
    if vertical:
        f.fill(lambda x, y: abs(x - w / 2) - 0.5, LINE)
    else:
        f.fill(lambda x, y: abs(y - h / 2) - 0.5, LINE)
    return f


def menu_background():
    f = Image(40, 40)
    shadow(f, 4, 5, 36, 37, 5, 4)
    f.fill(rrect(4, 4, 36, 36, 5), LINE)
    f.fill(rrect(5, 5, 35, 35, 4), FACE)
    return f


def menu_item():
    """Frames: hot, pressed, highlighted."""
    frames = []
    for rgb in (HOVER, PRESS, ACCENT_LIGHT):
        f = Image(40, 24)
        f.fill(rrect(2, 1, 38, 23, 4), rgb)
        frames.append(f)
    return strip(frames)


def menu_marks(kind):
    """Check or radio mark, frames: enabled, disabled."""
    frames = []
    for rgb in (ACCENT, MUTED):
        f = Image(16, 16)
        if kind == 'check':
            stroke(f, [(4, 8.2), (7, 11), (12.2, 5.2)], rgb, 1.9)
        else:
            f.fill(circle(8, 8, 3.2), rgb)
        frames.append(f)
    return strip(frames)


def menu_arrows():
    """Submenu arrow, frames: normal, hot, disabled."""
    frames = []
    for rgb in (INK, ACCENT, LINE):
        f = Image(8, 8)
        arrow(f, 4, 4, 'right', rgb, 2.5)
        frames.append(f)
    return strip(frames)


def menu_scroll_buttons():
    """Frames: up normal, hot, pressed; down normal, hot, pressed."""
    frames = []
    for direction in ('up', 'down'):
        for face, rgb in ((None, MUTED), (HOVER, INK), (PRESS, INK)):
            f = Image(32, 12)
            if face:
                f.fill(rrect(1, 0.5, 31, 11.5, 3), face)
            arrow(f, 16, 6, direction, rgb, 3.0)
            frames.append(f)
    return strip(frames)


def message_buttons():
    """Frames: normal, hot, pressed, focused."""
    fills = [ACCENT, (0x3F, 0x7E, 0xEC), ACCENT_DARK, ACCENT]
    frames = []
    w, h = 80, 28
    for i, fill in enumerate(fills):
        f = Image(w, h)
        f.fill(rrect(0.5, 0.5, w - 0.5, h - 0.5, 5), fill)
        if i == 3:
            f.fill(lambda x, y: abs(rrect(2.5, 2.5, w - 2.5, h - 2.5, 3)(x, y)) - 0.5, FACE, 0.8)
        frames.append(f)
    return strip(frames)


def panel_back():
    f = Image(20, 30)
    f.fill(rrect(0, 0, 20, 30, 0), PANEL)
    f.fill(lambda x, y: max(-x, x - 20, -y, y - 1), LINE)
    return f


def search_icon():
    f = Image(16, 16)
    f.fill(ring(6.5, 6.5, 4.3, 1.7), MUTED)
    stroke(f, [(9.8, 9.8), (14, 14)], MUTED, 2.2)
    return f


def vendor_badge():
    """The link to the vendor's site: a pill with the logo and an outward arrow."""
    f = Image(116, 28)
    f.fill(rrect(0.5, 0.5, 115.5, 27.5, 13.5), ACCENT_LIGHT)
    f.fill(rrect(1.5, 1.5, 114.5, 26.5, 12.5), FACE)
    f.paste(logo(20), 6, 4)
    for i in range(3):
        f.fill(rrect(32 + i * 20, 12, 48 + i * 20, 16, 2), ACCENT if i == 0 else LINE)
    stroke(f, [(97, 18), (105, 10)], ACCENT, 1.8)
    stroke(f, [(100, 10), (105, 10), (105, 15)], ACCENT, 1.8)
    return f


def polygon(points):
    """Signed distance to a closed polygon: negative inside."""
    def sdf(x, y):
        d, inside = 1e9, False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            d = min(d, segment(ax, ay, bx, by, 0)(x, y))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    return sdf


GOLD = (0xF5, 0xB3, 0x1B)


def rating_stars(count=5, size=24, width=135):
    """Five gold stars spread over the rating link's width."""
    f = Image(width, size)
    gap = (width - count * size) / (count - 1)
    for i in range(count):
        cx, cy = i * (size + gap) + size / 2, size / 2 + 0.8
        pts = []
        for k in range(10):
            r = 11 if k % 2 == 0 else 4.6
            a = -math.pi / 2 + k * math.pi / 5
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        f.fill(polygon(pts), GOLD)
    return f


def share_badge(rgb, glyph):
    """A 24 x 24 rounded square in one colour with a white glyph."""
    f = Image(24, 24)
    f.fill(rrect(0.5, 0.5, 23.5, 23.5, 5), rgb)
    glyph(f)
    return f


def g_mail(f):
    f.fill(rrect(4.5, 7, 19.5, 17.5, 1.5), FACE)
    stroke(f, [(5.5, 8.2), (12, 13), (18.5, 8.2)], ACCENT_DARK, 1.4)


def g_letter_f(f):
    # A lower-case "f": stem, rounded top and a cross bar.
    stroke(f, [(12.5, 20.5), (12.5, 9.5)], FACE, 2.6)
    f.fill(lambda x, y: max(ring(15.5, 9.5, 3, 2.6)(x, y), y - 9.5, 12.5 - x), FACE)
    stroke(f, [(9.5, 12.5), (16.5, 12.5)], FACE, 2.2)


def g_bird(f):
    # A small round bird: body, head, beak and tail.
    f.fill(lambda x, y: min(circle(10.5, 13.5, 5.5)(x, y), circle(15.5, 9.5, 3.4)(x, y)), FACE)
    f.fill(polygon([(18.5, 8.6), (21.5, 9.8), (18.5, 11)]), FACE)
    f.fill(polygon([(6, 13.5), (2.5, 8.5), (8.5, 10.5)]), FACE)


def busy_window():
    w, h = 260, 56
    img = Image(w, h)
    shadow(img, 4, 5, w - 4, h - 3, 6, 4)
    img.fill(rrect(4, 4, w - 4, h - 4, 6), LINE)
    img.fill(rrect(5, 5, w - 5, h - 5, 5), FACE)
    return img


def build():
    out = {}
    out['form'] = window_frame(100, 100)
    out['form_dialog'] = window_frame(100, 100)
    out['message_frame'] = window_frame(340, 160)
    out['btn_close'] = caption_button(g_close, DANGER, (0xC0, 0x33, 0x2A), FACE)
    out['btn_single_close'] = caption_button(g_close, DANGER, (0xC0, 0x33, 0x2A), FACE)
    out['btn_min'] = caption_button(g_min)
    out['btn_single_min'] = caption_button(g_min)
    out['btn_max'] = caption_button(g_max)
    out['btn_restore'] = caption_button(g_restore)
    out['btn_menu'] = caption_button(g_menu)
    out['btn_skin'] = caption_button(g_skin)
    out['logo'] = logo(20)
    out['logo_large'] = logo(48)
    out['button'] = push_button(4)
    out['button_accent'] = accent_button(4)
    out['std_button'] = push_button(5)
    out['message_button'] = message_buttons()
    # Frame order of the check strips: every mark normal, then hot, then disabled;
    # the marks in the order clear, ticked, partial.
    out['check4'] = check_box([(m, l) for l in ('normal', 'hot') for m in ('', 'check')])
    out['check6'] = check_box([(m, l) for l in ('normal', 'hot') for m in ('', 'check', 'partial')])
    out['check9'] = check_box([(m, l) for l in ('normal', 'hot', 'disabled')
                               for m in ('', 'check', 'partial')])
    out['tree_button'] = tree_button()
    for vertical, tag in ((True, 'v'), (False, 'h')):
        (lt, rb), track, slider, grip = scroll_parts(vertical)
        out['scroll_%s_lt' % tag] = lt
        out['scroll_%s_rb' % tag] = rb
        out['scroll_%s_back' % tag] = track
        out['scroll_%s_slider' % tag] = slider
        out['scroll_%s_center' % tag] = grip
    out['progress_back'] = bar(40, 8, (0xE4, 0xE8, 0xEE))
    out['progress_front'] = bar(40, 8, ACCENT)
    out['progress_load'] = bar(40, 8, ACCENT_LIGHT)
    out['progress_warning'] = bar(40, 8, ACCENT_DARK)
    out['progress_pass'] = bar(40, 8, (0x5A, 0x92, 0xF0))
    out['edit'] = edit_box(4)
    caret = Image(1, 16)
    caret.fill(lambda x, y: -1, INK)
    out['edit_caret'] = caret
    dot = Image(8, 8)
    dot.fill(circle(4, 4, 2.6), INK)
    out['edit_password'] = dot
    out['row_highlight'] = row_highlight()
    out['header_cell'] = header_cell()
    up, down = sort_arrows()
    out['sort_up'], out['sort_down'] = up, down
    out['header_separator'] = separator(2, 26, True)
    out['list_header'] = list_header()
    out['sort_arrows'] = strip([up, down])
    out['list_selbox'] = selection_box()
    out['menu_back'] = menu_background()
    out['menu_item'] = menu_item()
    out['menu_separator'] = separator(40, 7)
    out['menu_arrow'] = menu_arrows()
    out['menu_check'] = menu_marks('check')
    out['menu_radio'] = menu_marks('radio')
    out['menu_updown'] = menu_scroll_buttons()
    for kind in ('info', 'question', 'warning', 'error'):
        out['icon_' + kind] = message_icon(kind)
    # The message box's icons by kind: warning, error, information, confirmation.
    out['message_icons'] = strip([message_icon(k) for k in ('warning', 'error', 'info', 'question')])
    out['busy_back'] = busy_window()
    out['busy_ani'] = busy_frames()
    out['program_default'] = program_icon(32)
    out['program_default_small'] = program_icon(16)
    out['icon_folder'] = folder_icon()
    out['icon_file'] = file_icon()
    out['icon_registry'] = registry_icon()
    out['item_icons'] = strip([folder_icon(), file_icon(), registry_icon()])
    out['group_icons'] = strip([folder_icon(24), registry_icon(24)])
    out['group_back'] = group_back()
    out['panel_back'] = panel_back()
    out['search_icon'] = search_icon()
    out['vendor_badge'] = vendor_badge()
    out['like_rate'] = rating_stars()
    out['like_mail'] = share_badge(ACCENT, g_mail)
    out['like_facebook'] = share_badge((0x3B, 0x59, 0x98), g_letter_f)
    out['like_twitter'] = share_badge((0x1D, 0x9B, 0xD9), g_bird)
    return out


def ico(images):
    """An .ico holding PNG images (Windows Vista and later read them)."""
    head = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b'', b''
    for img in images:
        data = img.png()
        entries += struct.pack('<BBBBHHII', img.w % 256, img.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        blobs += data
    return head + entries + blobs


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
    out_dir = os.path.join(root, 'resources', 'skin')
    os.makedirs(out_dir, exist_ok=True)
    images = build()
    lines = ['// Generated by tools/skin/make_skin.py: the skin images as RCDATA resources.']
    for name in sorted(images):
        with open(os.path.join(out_dir, name + '.png'), 'wb') as f:
            f.write(images[name].png())
        lines.append('SKIN_%s RCDATA "%s.png"' % (name.upper(), name))
    with open(os.path.join(out_dir, 'quor.ico'), 'wb') as f:
        f.write(ico([logo(16), logo(32), logo(48)]))
    lines.append('1 ICON "quor.ico"')
    with open(os.path.join(out_dir, 'skin.rc'), 'w') as f:
        f.write('\n'.join(lines) + '\n')
    print('wrote %d images to %s' % (len(images), out_dir), file=sys.stderr)


if __name__ == '__main__':
    main()
