#!/usr/bin/python3
"""Draws the client's skin: every PNG of the title strip, the buttons, the message box, the
cache-cleaning overlay, the start picture, the login popup's background bitmap and the icon.

Run from anywhere: /usr/bin/python3 tools/make_skin.py
Needs Debian's python3-pil, fonts-wqy-zenhei (Chinese labels) and fonts-dejavu-core (the logo).
The output is committed under res/, so a build never runs this script. The drawing is seeded, so
running it twice gives the same pixels.
"""
import io
import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
RES = os.path.join(ROOT, 'res')
SKIN = os.path.join(RES, 'skin')

CJK_FONT = '/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc'
SERIF_BOLD = '/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf'

# The house colours: gold of the start window's text, cream of the overlay's text, dark panels.
GOLD = (203, 174, 91)
GOLD_LIGHT = (244, 222, 150)
GOLD_DARK = (128, 100, 44)
CREAM = (255, 245, 211)
PANEL_TOP = (44, 38, 52)
PANEL_BOTTOM = (21, 18, 27)
INK = (10, 8, 14)

SS = 4  # supersampling factor for shapes; text is drawn at its real size so it stays hinted


def cjk(size):
    return ImageFont.truetype(CJK_FONT, size, index=0)


def serif(size):
    return ImageFont.truetype(SERIF_BOLD, size)


def rgba(c, a=255):
    return (c[0], c[1], c[2], a)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def vgradient(w, h, stops):
    """stops: list of (position 0..1, colour). Returns an RGBA image."""
    img = Image.new('RGBA', (w, h))
    px = img.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for i in range(len(stops) - 1):
            if stops[i][0] <= t <= stops[i + 1][0]:
                span = stops[i + 1][0] - stops[i][0]
                c = mix(stops[i][1], stops[i + 1][1], 0 if span == 0 else (t - stops[i][0]) / span)
                break
        else:
            c = stops[-1][1]
        c = rgba(c) if len(c) == 3 else c
        for x in range(w):
            px[x, y] = c
    return img


def big(w, h):
    """A transparent supersampled canvas and its drawer."""
    img = Image.new('RGBA', (w * SS, h * SS), (0, 0, 0, 0))
    return img, ImageDraw.Draw(img)


def small(img, w, h):
    return img.resize((w, h), Image.LANCZOS)


def s(v):
    return v * SS


def text_size(font, text):
    box = font.getbbox(text)
    return box[2] - box[0], box[3] - box[1], box


class Over:
    """Draws on a clear layer and composites it on exit: PIL writes translucent colours straight into
    an RGBA image instead of blending them."""

    def __init__(self, img):
        self.img = img
        self.layer = Image.new('RGBA', img.size, (0, 0, 0, 0))

    def __enter__(self):
        return ImageDraw.Draw(self.layer)

    def __exit__(self, *exc):
        self.img.alpha_composite(self.layer)


def draw_text(img, xy, text, font, fill, shadow=None):
    if shadow:
        with Over(img) as d:
            d.text((xy[0] + 1, xy[1] + 1), text, font=font, fill=shadow)
    with Over(img) as d:
        d.text(xy, text, font=font, fill=fill)


def save(img, name):
    os.makedirs(SKIN, exist_ok=True)
    path = os.path.join(SKIN, name)
    img.save(path, optimize=True)
    return path


# ---- Title strip ---------------------------------------------------------------------------------
STRIP_H = 30


def strip_background(w):
    img = vgradient(w, STRIP_H, [(0.0, (58, 50, 62)), (0.08, (46, 40, 52)), (0.9, (22, 19, 28)),
                                 (1.0, (22, 19, 28))])
    d = ImageDraw.Draw(img)
    d.line([(0, 0), (w, 0)], fill=(88, 76, 80, 255))       # top highlight
    d.line([(0, 27), (w, 27)], fill=(14, 12, 18, 255))     # groove above the gold rule
    d.line([(0, 28), (w, 28)], fill=rgba(GOLD_DARK))
    d.line([(0, 29), (w, 29)], fill=(60, 48, 24, 255))
    return img


def crest(size, rim=True):
    """A gold-rimmed dark diamond with a gem: the client's emblem, used by the strip and the icon."""
    img, d = big(size, size)
    c = s(size) / 2
    r = s(size) / 2 - s(1)
    outer = [(c, c - r), (c + r, c), (c, c + r), (c - r, c)]
    d.polygon(outer, fill=rgba(GOLD_DARK))
    r2 = r - s(size) * 0.09
    d.polygon([(c, c - r2), (c + r2, c), (c, c + r2), (c - r2, c)], fill=rgba(GOLD))
    r3 = r2 - s(size) * 0.08
    d.polygon([(c, c - r3), (c + r3, c), (c, c + r3), (c - r3, c)], fill=(30, 22, 34, 255))
    g = r3 * 0.55
    d.polygon([(c, c - g), (c + g * 0.7, c), (c, c + g), (c - g * 0.7, c)], fill=rgba(GOLD_LIGHT))
    d.polygon([(c, c - g), (c + g * 0.7, c), (c, c)], fill=rgba(CREAM))
    return small(img, size, size)


def make_strip():
    left = strip_background(203)
    left.alpha_composite(crest(20), (8, 5))
    font = cjk(14)
    draw_text(left, (34, 7), '《Vantor》微端', font, rgba(GOLD_LIGHT), shadow=(0, 0, 0, 200))
    # a thin fading gold flourish after the title
    with Over(left) as d:
        for x in range(140, 196):
            a = int(150 * (1 - (x - 140) / 56))
            d.point((x, 15), fill=rgba(GOLD, a))
        d.polygon([(136, 15), (140, 12), (144, 15), (140, 18)], fill=rgba(GOLD))
    save(left, 'strip_left.png')
    save(strip_background(1), 'strip_middle.png')
    right = strip_background(92)
    with Over(right) as d:
        d.line([(3, 5), (3, 24)], fill=(14, 12, 18, 255))
        d.line([(4, 5), (4, 24)], fill=rgba(GOLD_DARK, 200))
    save(right, 'strip_right.png')


# ---- Window buttons (28 x 26) and the labelled strip buttons (24 high) -----------------------------
def plate(w, h, look, radius=4, danger=False):
    """The button's plate for one look; transparent corners let the strip show through."""
    img, d = big(w, h)
    box = [0, 0, s(w) - 1, s(h) - 1]
    r = s(radius)
    if look == 'normal':
        d.rounded_rectangle(box, r, fill=(255, 255, 255, 10), outline=rgba(GOLD, 60), width=s(1))
    elif look == 'hover':
        if danger:
            d.rounded_rectangle(box, r, fill=(178, 44, 36, 225), outline=(236, 120, 100, 255),
                                width=s(1))
        else:
            d.rounded_rectangle(box, r, fill=rgba(GOLD, 76), outline=rgba(GOLD_LIGHT, 210), width=s(1))
            with Over(img) as o:
                o.rounded_rectangle([s(1), s(1), s(w) - s(1) - 1, s(h) // 2], r, fill=(255, 240, 200, 34))
    else:
        fill = (120, 26, 22, 240) if danger else (6, 4, 8, 150)
        d.rounded_rectangle(box, r, fill=fill, outline=rgba(GOLD, 170), width=s(1))
        with Over(img) as o:
            o.line([s(2), s(1) + s(1) // 2, s(w) - s(3), s(1) + s(1) // 2], fill=(0, 0, 0, 120), width=s(1))
    return img


def glyph_colour(look, danger=False):
    if look == 'normal':
        return (226, 214, 182, 255)
    if look == 'hover':
        return (255, 255, 255, 255) if danger else rgba(CREAM)
    return rgba(GOLD_LIGHT) if not danger else (255, 220, 210, 255)


def window_glyph(kind, d, ox, oy, col):
    lw = int(s(1.6))
    cx, cy = s(14) + ox, s(13) + oy
    if kind == 'close':
        k = s(4.5)
        d.line([cx - k, cy - k, cx + k, cy + k], fill=col, width=lw)
        d.line([cx - k, cy + k, cx + k, cy - k], fill=col, width=lw)
    elif kind == 'minimize':
        d.line([cx - s(5), cy + s(4), cx + s(5), cy + s(4)], fill=col, width=lw)
    elif kind == 'maximize':
        d.rectangle([cx - s(5), cy - s(4.5), cx + s(5), cy + s(4.5)], outline=col, width=lw)
        d.line([cx - s(5), cy - s(4), cx + s(5), cy - s(4)], fill=col, width=s(2))
    else:  # restore: two overlapping windows
        d.rectangle([cx - s(2), cy - s(6), cx + s(6), cy + s(1)], outline=col, width=lw)
        d.rectangle([cx - s(6), cy - s(2), cx + s(2), cy + s(6)], fill=(0, 0, 0, 0))
        d.rectangle([cx - s(6), cy - s(2), cx + s(2), cy + s(6)], outline=col, width=lw)
        d.line([cx - s(6), cy - s(1.5), cx + s(2), cy - s(1.5)], fill=col, width=s(2))


def make_window_buttons():
    names = {'close': ('close', 'close_hover', 'close_down'),
             'maximize': ('maximize', 'maximize_hover', 'maximize_down'),
             'restore': ('restore', 'restore_hover', 'restore_down'),
             'minimize': ('minimize', 'minimize_hover', 'minimize_down')}
    for kind, files in names.items():
        danger = kind == 'close'
        for look, fname in zip(('normal', 'hover', 'pressed'), files):
            img = plate(28, 26, look, radius=4, danger=danger)
            if look == 'normal':  # the window buttons sit bare on the strip until touched
                img = Image.new('RGBA', img.size, (0, 0, 0, 0))
            d = ImageDraw.Draw(img)
            off = s(1) if look == 'pressed' else 0
            # a dark halo keeps the glyph readable on any part of the strip
            halo = Image.new('RGBA', img.size, (0, 0, 0, 0))
            window_glyph(kind, ImageDraw.Draw(halo), off, off, (0, 0, 0, 170))
            halo = halo.filter(ImageFilter.GaussianBlur(s(1)))
            img.alpha_composite(halo)
            window_glyph(kind, d, off, off, glyph_colour(look, danger))
            save(small(img, 28, 26), fname + '.png')


def icon_globe(d, cx, cy, r, col):
    lw = int(s(1.3))
    d.ellipse([cx - r, cy - r, cx + r, cy + r], outline=col, width=lw)
    d.ellipse([cx - r * 0.45, cy - r, cx + r * 0.45, cy + r], outline=col, width=lw)
    d.line([cx - r, cy, cx + r, cy], fill=col, width=lw)
    d.line([cx - r * 0.85, cy - r * 0.5, cx + r * 0.85, cy - r * 0.5], fill=col, width=int(s(1)))
    d.line([cx - r * 0.85, cy + r * 0.5, cx + r * 0.85, cy + r * 0.5], fill=col, width=int(s(1)))


def icon_key(d, cx, cy, r, col):
    lw = int(s(1.6))
    kr = r * 0.58
    kx = cx - r * 0.4
    d.ellipse([kx - kr, cy - kr, kx + kr, cy + kr], outline=col, width=lw)
    d.line([kx + kr, cy, cx + r, cy], fill=col, width=lw)
    d.line([cx + r * 0.55, cy, cx + r * 0.55, cy + r * 0.5], fill=col, width=lw)
    d.line([cx + r * 0.95, cy, cx + r * 0.95, cy + r * 0.62], fill=col, width=lw)


def icon_fullscreen(d, cx, cy, r, col):
    lw = int(s(1.6))
    k = r * 0.5
    for sx in (-1, 1):
        for sy in (-1, 1):
            x, y = cx + sx * r, cy + sy * r
            d.line([x, y, x - sx * k, y], fill=col, width=lw)
            d.line([x, y, x, y - sy * k], fill=col, width=lw)
    d.rectangle([cx - r * 0.3, cy - r * 0.3, cx + r * 0.3, cy + r * 0.3], fill=col)


def icon_refresh(d, cx, cy, r, col):
    lw = int(s(1.6))
    d.arc([cx - r, cy - r, cx + r, cy + r], start=-60, end=240, fill=col, width=lw)
    # arrow head at the arc's open end (angle -60 degrees)
    a = math.radians(-60)
    ex, ey = cx + r * math.cos(a), cy + r * math.sin(a)
    h = r * 0.62
    d.polygon([(ex + h * 0.55, ey - h * 0.95), (ex + h * 0.75, ey + h * 0.55), (ex - h * 0.8, ey + h * 0.1)],
              fill=col)


def icon_bin(d, cx, cy, r, col):
    lw = int(s(1.4))
    d.line([cx - r, cy - r * 0.62, cx + r, cy - r * 0.62], fill=col, width=lw)          # lid
    d.rectangle([cx - r * 0.3, cy - r, cx + r * 0.3, cy - r * 0.62], outline=col, width=int(s(1.1)))
    d.polygon([(cx - r * 0.72, cy - r * 0.35), (cx + r * 0.72, cy - r * 0.35), (cx + r * 0.55, cy + r),
               (cx - r * 0.55, cy + r)], outline=col, fill=None, width=lw)
    for k in (-0.27, 0.27):
        d.line([cx + r * k, cy - r * 0.1, cx + r * k * 0.85, cy + r * 0.72], fill=col, width=int(s(1.1)))


STRIP_BUTTONS = [
    # file stem, width, label, icon
    ('select_server', 59, '选服', icon_globe),
    ('bosskey', 97, '老板键', icon_key),
    ('fullscreen', 86, '全屏', icon_fullscreen),
    ('refresh', 78, '刷新', icon_refresh),
    ('clear_cache', 78, '清除缓存', icon_bin),
]


def make_strip_buttons():
    font = cjk(13)
    h = 24
    for stem, w, label, icon in STRIP_BUTTONS:
        # the full-screen button is laid out one pixel narrower than its image, and the clear-cache
        # button overlaps the refresh image's last columns: keep each plate inside what shows
        plate_w = {'fullscreen': 85, 'refresh': 72}.get(stem, w)
        for look, suffix in (('normal', ''), ('hover', '_hover'), ('pressed', '_down')):
            canvas, _ = big(w, h)
            canvas.alpha_composite(plate(plate_w, h, look, radius=5))
            img = small(canvas, w, h)
            off = 1 if look == 'pressed' else 0
            tw, th, box = text_size(font, label)
            icon_px = 14
            gap = 3 if len(label) > 3 else 4
            total = icon_px + gap + tw
            x0 = (plate_w - total) // 2
            # icon, drawn large and brought down
            ic, idraw = big(w, h)
            col = rgba(GOLD_LIGHT) if look != 'normal' else rgba(GOLD)
            shade = Image.new('RGBA', ic.size, (0, 0, 0, 0))
            icon(ImageDraw.Draw(shade), s(x0 + icon_px / 2 + off), s(12 + off), s(6), (0, 0, 0, 200))
            shade = shade.filter(ImageFilter.GaussianBlur(s(0.8)))
            ic.alpha_composite(shade)
            icon(idraw, s(x0 + icon_px / 2 + off), s(12 + off), s(6), col)
            img.alpha_composite(small(ic, w, h))
            text_col = {'normal': (236, 226, 198, 255), 'hover': rgba(CREAM),
                        'pressed': rgba(GOLD_LIGHT)}[look]
            ty = (h - th) // 2 - box[1] + off
            draw_text(img, (x0 + icon_px + gap + off, ty), label, font, text_col, shadow=(0, 0, 0, 190))
            save(img, stem + suffix + '.png')


# ---- Cache-cleaning overlay -----------------------------------------------------------------------
def make_overlay():
    save(Image.new('RGBA', (1, 1), (18, 16, 24, 255)), 'mask_texture.png')
    # eight beads on a ring; a bright head with a fading tail turns a quarter per frame
    n = 8
    for frame in range(4):
        img, d = big(23, 23)
        c, r, br = s(11.5), s(8.2), s(2.3)
        head = frame * 2  # bead 0 is at the top, counting clockwise
        for i in range(n):
            a = math.radians(-90 + i * 360 / n)
            x, y = c + r * math.cos(a), c + r * math.sin(a)
            age = (head - i) % n
            if age == 0:
                col, rad = rgba(CREAM), br * 1.25
            elif age == 1:
                col, rad = rgba(GOLD_LIGHT), br * 1.05
            elif age == 2:
                col, rad = rgba(GOLD), br * 0.9
            else:
                col, rad = rgba(GOLD_DARK, 150), br * 0.75
            d.ellipse([x - rad, y - rad, x + rad, y + rad], fill=col)
        save(small(img, 23, 23), 'mask_frame%d.png' % (frame + 1))


# ---- Message box --------------------------------------------------------------------------------
def corner_ornament(d, x, y, sx, sy, col):
    d.polygon([(x, y), (x + sx * 7, y), (x, y + sy * 7)], fill=col)
    d.line([(x + sx * 9, y), (x + sx * 16, y)], fill=col)
    d.line([(x, y + sy * 9), (x, y + sy * 16)], fill=col)


def make_message_box():
    w, h = 256, 110
    # The box is drawn at (-2, -2) into a 253 x 106 window: the visible frame runs from 2 to 254
    # across and 2 to 107 down.
    l, t, r, b = 2, 2, 254, 107
    img = Image.new('RGBA', (w, h), rgba(INK))
    body = vgradient(r - l + 1, b - t + 1, [(0.0, (50, 43, 56)), (0.25, (34, 30, 42)), (1.0, (18, 16, 24))])
    img.alpha_composite(body, (l, t))
    d = ImageDraw.Draw(img)
    # title band
    band = vgradient(r - l - 3, 25, [(0.0, (72, 60, 58)), (1.0, (40, 34, 44))])
    img.alpha_composite(band, (l + 2, t + 2))
    with Over(img) as o:
        for x in range(l + 8, r - 7):
            dist = abs(x - (l + r) / 2) / ((r - l) / 2)
            o.point((x, 29), fill=rgba(GOLD, int(230 * (1 - dist ** 2))))
            o.point((x, 30), fill=(0, 0, 0, int(90 * (1 - dist ** 2))))
        o.rectangle([l + 3, t + 3, r - 3, b - 3], outline=rgba(GOLD, 90))
    d.polygon([(130, 26), (134, 29), (130, 32), (126, 29)], fill=rgba(GOLD_LIGHT))
    # frame: dark gold outer line, bright inner line
    d.rectangle([l, t, r, b], outline=rgba(GOLD_DARK))
    d.rectangle([l + 1, t + 1, r - 1, b - 1], outline=(12, 10, 14, 255))
    for (x, y, sx, sy) in ((l + 3, t + 3, 1, 1), (r - 3, t + 3, -1, 1), (l + 3, b - 3, 1, -1),
                           (r - 3, b - 3, -1, -1)):
        corner_ornament(d, x, y, sx, sy, rgba(GOLD))
    # a faint emblem behind the message line
    em = crest(40).copy()
    em.putalpha(em.getchannel('A').point(lambda a: a * 18 // 255))
    img.alpha_composite(em, (108, 40))
    save(img, 'msgbox_bg.png')

    font = cjk(15)
    for stem, label, primary in (('msgbox_ok', '确定', True), ('msgbox_cancel', '取消', False)):
        for look in ('normal', 'hover'):
            bw, bh = 82, 34
            canvas, d = big(bw, bh)
            box = [s(1), s(2), s(bw - 1) - 1, s(bh - 2) - 1]
            if primary:
                stops = ([(0, (238, 210, 128)), (0.5, (204, 168, 82)), (1, (146, 112, 46))] if look == 'normal'
                         else [(0, (255, 232, 160)), (0.5, (232, 196, 104)), (1, (176, 138, 58))])
                edge = (92, 70, 26, 255)
                text_col, shadow = (48, 32, 10, 255), (255, 240, 190, 150)
            else:
                stops = ([(0, (70, 62, 78)), (1, (34, 30, 40))] if look == 'normal'
                         else [(0, (96, 84, 104)), (1, (48, 42, 56))])
                edge = rgba(GOLD if look == 'normal' else GOLD_LIGHT)
                text_col, shadow = rgba(CREAM), (0, 0, 0, 200)
            grad = vgradient(s(bw), s(bh), stops)
            mask = Image.new('L', canvas.size, 0)
            ImageDraw.Draw(mask).rounded_rectangle(box, s(5), fill=255)
            canvas.paste(grad, (0, 0), mask)
            d.rounded_rectangle(box, s(5), outline=edge, width=s(1))
            with Over(canvas) as o:
                o.rounded_rectangle([box[0] + s(2), box[1] + s(2), box[2] - s(2), box[3] - s(2)], s(3),
                                    outline=(255, 255, 255, 60 if look == 'hover' else 36), width=s(1))
            if look == 'hover':  # a soft glow ring around the plate
                glow = Image.new('RGBA', canvas.size, (0, 0, 0, 0))
                ImageDraw.Draw(glow).rounded_rectangle(box, s(6), outline=rgba(GOLD_LIGHT, 140), width=s(2))
                glow = glow.filter(ImageFilter.GaussianBlur(s(1.2)))
                canvas = Image.alpha_composite(glow, canvas)
            img = small(canvas, bw, bh)
            tw, th, tb = text_size(font, label)
            draw_text(img, ((bw - tw) // 2 - tb[0], (bh - th) // 2 - tb[1]), label, font, text_col,
                      shadow=shadow)
            save(img, stem + ('_hover' if look == 'hover' else '') + '.png')

    close, d = big(9, 8)
    d.line([s(0.8), s(0.6), s(8.2), s(7.4)], fill=rgba(CREAM), width=int(s(1.5)))
    d.line([s(0.8), s(7.4), s(8.2), s(0.6)], fill=rgba(CREAM), width=int(s(1.5)))
    save(small(close, 9, 8), 'msgbox_close.png')


# ---- Login popup: background bitmap and its two buttons ---------------------------------------------
def make_popup():
    w, h = 739, 471
    rnd = random.Random(318)
    img = vgradient(w, h, [(0.0, (52, 44, 52)), (0.15, (30, 26, 36)), (0.16, (24, 21, 30)), (1.0, (16, 14, 21))])
    with Over(img) as o:
        # faint diagonal weave below the header
        for x in range(-h, w, 12):
            o.line([(x, 72), (x + h, 72 + h)], fill=(255, 255, 255, 7))
        for _ in range(900):
            x, y = rnd.randrange(w), rnd.randrange(74, h)
            o.point((x, y), fill=(0, 0, 0, rnd.randrange(20, 60)))
    d = ImageDraw.Draw(img)
    # header rule
    d.line([(0, 68), (w, 68)], fill=(14, 12, 18))
    d.line([(0, 69), (w, 69)], fill=GOLD_DARK)
    d.line([(0, 70), (w, 70)], fill=GOLD)
    d.line([(0, 71), (w, 71)], fill=(70, 56, 28))
    img.alpha_composite(crest(40), (18, 15))
    draw_text(img, (68, 14), '《Vantor》', cjk(22), rgba(GOLD_LIGHT), shadow=(0, 0, 0, 220))
    draw_text(img, (70, 43), '账号登录 · 欢迎回到大陆', cjk(13), rgba(CREAM), shadow=(0, 0, 0, 200))
    with Over(img) as o:
        for x in range(300, 560):
            a = int(120 * math.sin(math.pi * (x - 300) / 260))
            o.point((x, 35), fill=rgba(GOLD, a))
    out = img.convert('RGB')
    # pure green is the popup's transparent colour: make sure no pixel is exactly that
    px = out.load()
    for y in range(h):
        for x in range(w):
            if px[x, y] == (0, 255, 0):
                px[x, y] = (0, 254, 0)
    out.save(os.path.join(RES, 'popup_bg.bmp'))

    for stem, (bw, bh), kind in (('popup_min', (27, 30), 'min'), ('popup_close', (28, 31), 'close')):
        for look, suffix in (('normal', ''), ('hover', '_hover'), ('pressed', '_down')):
            canvas, d = big(bw, bh)
            # the buttons are placed 27 and 28 pixels high: the round plate stays in that square
            side = min(bw, 27 if kind == 'min' else 28)
            c = s(side) / 2
            rr = s(side) / 2 - s(1.5)
            ring = rgba(GOLD) if look == 'normal' else rgba(GOLD_LIGHT)
            fill = {'normal': (30, 26, 36, 235), 'hover': (70, 58, 54, 245), 'pressed': (12, 10, 16, 245)}[look]
            if kind == 'close' and look == 'hover':
                fill = (160, 42, 34, 245)
            d.ellipse([c - rr, c - rr, c + rr, c + rr], fill=fill, outline=ring, width=int(s(1.4)))
            off = s(1) if look == 'pressed' else 0
            col = rgba(CREAM) if look != 'pressed' else rgba(GOLD_LIGHT)
            k = s(4.3)
            if kind == 'min':
                d.line([c - k + off, c + off + s(1), c + k + off, c + off + s(1)], fill=col, width=int(s(1.8)))
            else:
                d.line([c - k + off, c - k + off, c + k + off, c + k + off], fill=col, width=int(s(1.8)))
                d.line([c - k + off, c + k + off, c + k + off, c - k + off], fill=col, width=int(s(1.8)))
            save(small(canvas, bw, bh), stem + suffix + '.png')


# ---- The icon -------------------------------------------------------------------------------------
def icon_image(size):
    img, d = big(size, size)
    c = s(size) / 2
    r = s(size) / 2 - s(size) * 0.03
    d.ellipse([c - r, c - r, c + r, c + r], fill=rgba(GOLD_DARK))
    r2 = r - s(size) * 0.05
    d.ellipse([c - r2, c - r2, c + r2, c + r2], fill=rgba(GOLD))
    r3 = r2 - s(size) * (0.06 if size >= 32 else 0.08)
    disc = vgradient(int(2 * r3) + 1, int(2 * r3) + 1, [(0, (66, 52, 74)), (1, (16, 12, 22))])
    mask = Image.new('L', disc.size, 0)
    ImageDraw.Draw(mask).ellipse([0, 0, disc.size[0] - 1, disc.size[1] - 1], fill=255)
    img.paste(disc, (int(c - r3), int(c - r3)), mask)
    # the letter V, as a bevelled gold chevron
    top, bot = c - r3 * 0.55, c + r3 * 0.62
    half, thick = r3 * 0.62, r3 * (0.30 if size >= 32 else 0.38)
    outer = [(c - half, top), (c - half + thick, top), (c, bot - thick * 1.25), (c + half - thick, top),
             (c + half, top), (c, bot)]
    d.polygon(outer, fill=rgba(GOLD_LIGHT))
    d.polygon([(c - half, top), (c - half + thick, top), (c, bot - thick * 1.25), (c, bot)], fill=rgba(CREAM))
    if size >= 48:
        for k in range(4):  # four small stars around the letter
            a = math.radians(45 + 90 * k)
            x, y = c + r3 * 0.78 * math.cos(a), c + r3 * 0.78 * math.sin(a)
            q = r3 * 0.06
            d.polygon([(x, y - q * 2), (x + q, y), (x, y + q * 2), (x - q, y)], fill=rgba(GOLD_LIGHT))
    return small(img, size, size)


def ico_dib(img):
    """One icon directory entry as a 32-bit DIB with its AND mask (what every Windows reads)."""
    w, h = img.size
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def make_icon():
    sizes = [16, 24, 32, 48, 64, 128, 256]
    blobs = []
    for size in sizes:
        img = icon_image(size)
        if size == 256:
            buf = io.BytesIO()
            img.save(buf, 'PNG', optimize=True)
            blobs.append((size, buf.getvalue()))
        else:
            blobs.append((size, ico_dib(img)))
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, data in blobs:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in blobs:
        out += data
    with open(os.path.join(RES, 'app.ico'), 'wb') as f:
        f.write(out)


# ---- Start picture (1115 x 723; its alpha channel is the start window's shape) ---------------------
START_W, START_H = 1115, 723
BODY = (22, 112, 1093, 703)          # the framed panel; the login popup covers (359, 197)-(1059, 657)
MOON = (1000, 150, 46)


def ridge(rnd, w, base, rough):
    """A mountain ridge by midpoint displacement: a list of y values, one per x from 0 to w."""
    n = 1
    while n < w:
        n *= 2
    ys = [0.0] * (n + 1)
    ys[0], ys[n] = base + rnd.uniform(-rough, rough), base + rnd.uniform(-rough, rough)
    size, amp = n, rough
    while size > 1:
        half = size // 2
        for x0 in range(0, n, size):
            ys[x0 + half] = (ys[x0] + ys[x0 + size]) / 2 + rnd.uniform(-amp, amp)
        size, amp = half, amp * 0.62
    return ys[:w + 1]


def fill_ridge(img, ys, colour, bottom=None):
    d = ImageDraw.Draw(img)
    bottom = img.size[1] if bottom is None else bottom
    poly = [(x, y) for x, y in enumerate(ys)] + [(len(ys) - 1, bottom), (0, bottom)]
    d.polygon(poly, fill=colour)


def castle_shape(d, col):
    """The keep on the cliff at the left; spires rise above the frame."""
    def tower(x0, x1, top, spire_top, crenel=False):
        d.rectangle([x0, top, x1, 640], fill=col)
        if spire_top is not None:
            d.polygon([(x0 - 6, top + 2), ((x0 + x1) / 2, spire_top), (x1 + 6, top + 2)], fill=col)
        if crenel:
            for x in range(x0, x1, 10):
                d.rectangle([x, top - 7, x + 5, top], fill=col)
    tower(118, 172, 140, 24)           # the high tower
    tower(190, 232, 210, 116)
    tower(62, 102, 300, 236)
    tower(256, 292, 330, 272)
    tower(104, 246, 262, None, crenel=True)   # the keep between them
    tower(30, 300, 430, None, crenel=True)    # the curtain wall
    tower(296, 334, 404, 356)                 # and its corner turret
    # flag poles and pennants
    for (x, y) in ((145, 24), (211, 116), (82, 236)):
        d.line([(x, y), (x, y - 18)], fill=col, width=2)
        d.polygon([(x + 1, y - 18), (x + 16, y - 14), (x + 1, y - 10)], fill=col)


def castle_windows(img, rnd):
    glow = Image.new('RGBA', img.size, (0, 0, 0, 0))
    gd = ImageDraw.Draw(glow)
    d = ImageDraw.Draw(img)
    spots = [(140, 180), (140, 220), (150, 300), (206, 250), (206, 290), (80, 340), (130, 330), (170, 360),
             (220, 340), (272, 370), (60, 470), (100, 480), (160, 470), (240, 480), (300, 470), (200, 420)]
    for (x, y) in spots:
        gd.ellipse([x - 12, y - 12, x + 16, y + 20], fill=(255, 190, 90, 70))
        d.rectangle([x, y + 3, x + 4, y + 9], fill=(255, 214, 120, 255))
        d.ellipse([x, y, x + 4, y + 5], fill=(255, 214, 120, 255))
    img.alpha_composite(glow.filter(ImageFilter.GaussianBlur(6)))
    for (x, y) in ((145, 6), (211, 98), (82, 218)):
        d.polygon([(x + 1, y), (x + 16, y + 4), (x + 1, y + 8)], fill=rgba(GOLD))


def logo_plaque():
    """The game's name on a gold-rimmed banner that breaks through the top of the frame."""
    layer = Image.new('RGBA', (START_W, START_H), (0, 0, 0, 0))
    cx = 709
    poly = [(cx - 209, 118), (cx - 169, 66), (cx - 29, 66), (cx, 30), (cx + 29, 66), (cx + 169, 66),
            (cx + 209, 118), (cx + 169, 172), (cx - 169, 172)]
    shadow = Image.new('RGBA', layer.size, (0, 0, 0, 0))
    ImageDraw.Draw(shadow).polygon([(x, y + 6) for x, y in poly], fill=(0, 0, 0, 170))
    layer.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(7)))
    fill = vgradient(START_W, START_H, [(0, (70, 56, 70)), (0.13, (44, 34, 52)), (0.25, (18, 14, 24)),
                                        (1, (18, 14, 24))])
    mask = Image.new('L', layer.size, 0)
    ImageDraw.Draw(mask).polygon(poly, fill=255)
    layer.paste(fill, (0, 0), mask)
    d = ImageDraw.Draw(layer)
    d.line(poly + [poly[0]], fill=rgba(GOLD_DARK), width=5, joint='curve')
    d.line(poly + [poly[0]], fill=rgba(GOLD), width=2, joint='curve')
    inner = [(x + (cx - x) * 0.05, y + (118 - y) * 0.14) for x, y in poly]
    with Over(layer) as o:
        o.line(inner + [inner[0]], fill=rgba(GOLD, 120), width=1)
    # the gem in the crest
    d.polygon([(cx, 46), (cx + 10, 60), (cx, 74), (cx - 10, 60)], fill=(150, 30, 40, 255), outline=rgba(GOLD_LIGHT))
    d.polygon([(cx, 48), (cx + 7, 60), (cx, 60)], fill=(236, 110, 110, 255))
    # the name: gold gradient letters with a dark edge and a warm glow
    font = serif(60)
    text = 'VANTOR'
    spacing = 8
    widths = [font.getbbox(ch)[2] - font.getbbox(ch)[0] for ch in text]
    total = sum(widths) + spacing * (len(text) - 1)
    tmask = Image.new('L', layer.size, 0)
    td = ImageDraw.Draw(tmask)
    x = cx - total // 2
    for ch, cw in zip(text, widths):
        td.text((x - font.getbbox(ch)[0], 76), ch, font=font, fill=255)
        x += cw + spacing
    edge = tmask.filter(ImageFilter.MaxFilter(5))
    glow = Image.new('RGBA', layer.size, (255, 200, 110, 0))
    glow.putalpha(edge.filter(ImageFilter.GaussianBlur(6)).point(lambda a: a * 150 // 255))
    layer.alpha_composite(glow)
    layer.paste(Image.new('RGBA', layer.size, (26, 16, 8, 255)), (0, 0), edge)
    letters = vgradient(START_W, START_H, [(0, CREAM), (0.115, GOLD_LIGHT), (0.155, GOLD), (0.185, GOLD_DARK),
                                           (1, GOLD_DARK)])
    layer.paste(letters, (0, 0), tmask)
    sub = cjk(15)
    label = '— 微  端 —'
    tw, th, tb = text_size(sub, label)
    draw_text(layer, (cx - tw // 2 - tb[0], 146), label, sub, rgba(CREAM), shadow=(0, 0, 0, 220))
    return layer, poly


def frame_ornaments(d):
    l, t, r, b = BODY
    d.rounded_rectangle([l, t, r, b], 26, outline=rgba(GOLD_DARK), width=4)
    d.rounded_rectangle([l + 1, t + 1, r - 1, b - 1], 25, outline=rgba(GOLD), width=1)
    d.rounded_rectangle([l + 8, t + 8, r - 8, b - 8], 20, outline=rgba(GOLD, 110), width=1)
    for (x, y) in ((l + 14, t + 14), (r - 14, t + 14), (l + 14, b - 14), (r - 14, b - 14)):
        d.polygon([(x, y - 9), (x + 9, y), (x, y + 9), (x - 9, y)], fill=rgba(GOLD_DARK))
        d.polygon([(x, y - 6), (x + 6, y), (x, y + 6), (x - 6, y)], fill=rgba(GOLD_LIGHT))


def make_start_picture():
    rnd = random.Random(319)
    W, H = START_W, START_H
    scene = vgradient(W, H, [(0.0, (8, 10, 30)), (0.4, (30, 28, 70)), (0.7, (96, 56, 92)), (0.78, (60, 40, 66)),
                             (1.0, (18, 14, 24))])
    with Over(scene) as o:
        for _ in range(520):
            x, y = rnd.randrange(W), int(rnd.random() ** 1.6 * 500)
            a = rnd.randrange(60, 255)
            o.point((x, y), fill=(255, 250, 230, a))
            if rnd.random() < 0.04:
                o.line([(x - 3, y), (x + 3, y)], fill=(255, 250, 230, a // 2))
                o.line([(x, y - 3), (x, y + 3)], fill=(255, 250, 230, a // 2))
    d = ImageDraw.Draw(scene)
    # the moon and its halo
    mx, my, mr = MOON
    halo = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    ImageDraw.Draw(halo).ellipse([mx - mr * 2.4, my - mr * 2.4, mx + mr * 2.4, my + mr * 2.4],
                                 fill=(255, 230, 170, 60))
    scene.alpha_composite(halo.filter(ImageFilter.GaussianBlur(40)))
    d.ellipse([mx - mr, my - mr, mx + mr, my + mr], fill=(255, 244, 214, 255))
    for (ox, oy, rr) in ((-14, -10, 11), (12, 8, 8), (-4, 20, 6), (20, -18, 5)):
        d.ellipse([mx + ox - rr, my + oy - rr, mx + ox + rr, my + oy + rr], fill=(236, 222, 190, 255))
    # three ranges of mountains, lighter far away
    ranges = (
        ([(0, 470), (180, 380), (330, 440), (520, 330), (700, 450), (860, 360), (1000, 420), (1115, 390)], 80,
         (40, 32, 64, 255)),
        ([(0, 560), (260, 500), (450, 560), (640, 480), (820, 545), (1115, 500)], 50, (28, 23, 44, 255)),
        ([(0, 620), (400, 600), (700, 630), (1115, 600)], 22, (19, 15, 28, 255)),
    )
    for peaks, rough, col in ranges:
        detail = ridge(rnd, W, 0, rough)
        ys = []
        for x in range(W + 1):
            k = max(i for i in range(len(peaks)) if peaks[i][0] <= x) if x < peaks[-1][0] else len(peaks) - 2
            (x0, y0), (x1, y1) = peaks[k], peaks[min(k + 1, len(peaks) - 1)]
            t = 0 if x1 == x0 else (x - x0) / (x1 - x0)
            ys.append(y0 + (y1 - y0) * t + detail[x])
        fill_ridge(scene, [y - 1 for y in ys], (150, 120, 170, 255))   # moonlight on the crest
        fill_ridge(scene, ys, col)
    # mist in the valleys
    mist = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    md = ImageDraw.Draw(mist)
    for _ in range(40):
        x, y = rnd.randrange(-100, W), rnd.randrange(520, 660)
        md.ellipse([x, y, x + rnd.randrange(120, 320), y + rnd.randrange(14, 30)], fill=(210, 190, 230, 26))
    scene.alpha_composite(mist.filter(ImageFilter.GaussianBlur(10)))
    # the cliff and castle at the left, with a cool rim light from the moon's side
    sil = Image.new('L', (W, H), 0)
    sd = ImageDraw.Draw(sil)
    castle_shape(sd, 255)
    # the crag the castle stands on falls away to the right in a rough slope
    crag = [(0, 560)]
    for i in range(1, 25):
        x = 300 + i * 9
        crag.append((x + rnd.uniform(-4, 4), 560 + (i / 24) ** 1.6 * 110 + rnd.uniform(-9, 9)))
    sd.polygon([(0, 600), (300, 600)] + crag[1:] + [(540, H), (0, H)], fill=255)
    rim = ImageChops.subtract(sil, ImageChops.offset(sil, -2, 0))
    scene.paste(Image.new('RGBA', (W, H), (15, 12, 21, 255)), (0, 0), sil)
    scene.paste(Image.new('RGBA', (W, H), (128, 110, 160, 255)), (0, 0), rim.point(lambda a: a * 150 // 255))
    castle_windows(scene, rnd)
    # the ground in front
    fill_ridge(scene, ridge(rnd, W, 668, 12), (12, 10, 16, 255))
    # a short health notice at the bottom left, as game start screens carry
    notice = ['抵制不良游戏，拒绝盗版游戏。', '注意自我保护，谨防受骗上当。', '适度游戏益脑，沉迷游戏伤身。',
              '合理安排时间，享受健康生活。']
    nf = cjk(12)
    for i, line in enumerate(notice):
        draw_text(scene, (48, 600 + i * 20), line, nf, rgba(CREAM, 200), shadow=(0, 0, 0, 220))

    # the frame, then what breaks through it
    frame = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    frame_ornaments(ImageDraw.Draw(frame))
    scene.alpha_composite(frame)
    # the spires stand in front of the frame's top edge
    spires = Image.new('L', (W, H), 0)
    spires.paste(sil.crop((0, 0, W, BODY[1] + 12)), (0, 0))
    scene.paste(Image.new('RGBA', (W, H), (15, 12, 21, 255)), (0, 0), spires)
    scene.paste(Image.new('RGBA', (W, H), (128, 110, 160, 255)), (0, 0),
                ImageChops.multiply(rim, spires).point(lambda a: a * 150 // 255))
    castle_windows_top = ImageDraw.Draw(scene)
    for (x, y) in ((145, 6), (211, 98)):
        castle_windows_top.polygon([(x + 1, y), (x + 16, y + 4), (x + 1, y + 8)], fill=rgba(GOLD))
    # the moon, too, rises in front of the frame
    d.ellipse([mx - mr, my - mr, mx + mr, my + mr], fill=(255, 244, 214, 255))
    for (ox, oy, rr) in ((-14, -10, 11), (12, 8, 8), (-4, 20, 6), (20, -18, 5)):
        d.ellipse([mx + ox - rr, my + oy - rr, mx + ox + rr, my + oy + rr], fill=(236, 222, 190, 255))
    plaque, plaque_poly = logo_plaque()
    scene.alpha_composite(plaque)

    # the shape: panel, spires, flags, the moon's upper rim and the banner
    big_mask = Image.new('L', (W * 2, H * 2), 0)
    bd = ImageDraw.Draw(big_mask)
    l, t, r, b = BODY
    bd.rounded_rectangle([l * 2, t * 2, r * 2 + 1, b * 2 + 1], 52, fill=255)
    bd.ellipse([(mx - mr - 1) * 2, (my - mr - 1) * 2, (mx + mr + 1) * 2, (my + mr + 1) * 2], fill=255)
    bd.polygon([(x * 2, y * 2) for x, y in plaque_poly], fill=255)
    shape = big_mask.resize((W, H), Image.LANCZOS)
    top = sil.crop((0, 0, W, t + 4)).filter(ImageFilter.MaxFilter(3))
    shape.paste(ImageChops.lighter(shape.crop((0, 0, W, t + 4)), top), (0, 0))
    for (x, y) in ((145, 6), (211, 98)):
        ImageDraw.Draw(shape).polygon([(x + 1, y), (x + 16, y + 4), (x + 1, y + 8)], fill=255)
    # a faint gold aura around the whole shape, so it sits softly on any desktop
    aura = shape.filter(ImageFilter.MaxFilter(9)).filter(ImageFilter.GaussianBlur(6))
    aura = aura.point(lambda a: a * 70 // 255)
    out = Image.new('RGBA', (W, H), rgba(GOLD, 0))
    out.putalpha(aura)
    body = scene.copy()
    body.putalpha(shape)
    out.alpha_composite(body)
    save(out, 'start_bg.png')


# ---- Resource script ------------------------------------------------------------------------------
PNG_RESOURCES = [
    ('IDB_STRIP_MIDDLE', 'strip_middle'), ('IDB_STRIP_LEFT', 'strip_left'), ('IDB_STRIP_RIGHT', 'strip_right'),
    ('IDB_CLOSE', 'close'), ('IDB_CLOSE_HOVER', 'close_hover'), ('IDB_CLOSE_DOWN', 'close_down'),
    ('IDB_MINIMIZE', 'minimize'), ('IDB_MINIMIZE_HOVER', 'minimize_hover'), ('IDB_MINIMIZE_DOWN', 'minimize_down'),
    ('IDB_MAXIMIZE', 'maximize'), ('IDB_MAXIMIZE_HOVER', 'maximize_hover'), ('IDB_MAXIMIZE_DOWN', 'maximize_down'),
    ('IDB_RESTORE', 'restore'), ('IDB_RESTORE_HOVER', 'restore_hover'), ('IDB_RESTORE_DOWN', 'restore_down'),
    ('IDB_SELECT_SERVER', 'select_server'), ('IDB_SELECT_SERVER_HOVER', 'select_server_hover'),
    ('IDB_SELECT_SERVER_DOWN', 'select_server_down'),
    ('IDB_BOSSKEY', 'bosskey'), ('IDB_BOSSKEY_HOVER', 'bosskey_hover'), ('IDB_BOSSKEY_DOWN', 'bosskey_down'),
    ('IDB_FULLSCREEN', 'fullscreen'), ('IDB_FULLSCREEN_HOVER', 'fullscreen_hover'),
    ('IDB_FULLSCREEN_DOWN', 'fullscreen_down'),
    ('IDB_REFRESH', 'refresh'), ('IDB_REFRESH_HOVER', 'refresh_hover'), ('IDB_REFRESH_DOWN', 'refresh_down'),
    ('IDB_CLEAR_CACHE', 'clear_cache'), ('IDB_CLEAR_CACHE_HOVER', 'clear_cache_hover'),
    ('IDB_CLEAR_CACHE_DOWN', 'clear_cache_down'),
    ('IDB_MASK_TEXTURE', 'mask_texture'), ('IDB_MASK_FRAME1', 'mask_frame1'), ('IDB_MASK_FRAME2', 'mask_frame2'),
    ('IDB_MASK_FRAME3', 'mask_frame3'), ('IDB_MASK_FRAME4', 'mask_frame4'),
    ('IDB_MSGBOX_BACKGROUND', 'msgbox_bg'),
    ('IDB_MSGBOX_BTN_311', 'msgbox_cancel_hover'), ('IDB_MSGBOX_BTN_312', 'msgbox_cancel'),
    ('IDB_MSGBOX_BTN_313', 'msgbox_ok_hover'), ('IDB_MSGBOX_BTN_314', 'msgbox_ok'),
    ('IDB_MSGBOX_CLOSE', 'msgbox_close'),
    ('IDB_START_BACKGROUND', 'start_bg'),
    ('IDB_POPUP_BTN_320', 'popup_min'), ('IDB_POPUP_BTN_321', 'popup_min_hover'),
    ('IDB_POPUP_BTN_322', 'popup_min_down'),
    ('IDB_POPUP_BTN_323', 'popup_close'), ('IDB_POPUP_BTN_324', 'popup_close_hover'),
    ('IDB_POPUP_BTN_325', 'popup_close_down'),
]


def write_rc():
    lines = ['// Skin images, written by tools/make_skin.py. Type "PNG" is what the widgets look up.', '']
    for name, stem in PNG_RESOURCES:
        lines.append('%-26s PNG    "skin/%s.png"' % (name, stem))
    lines += ['', '// The login popup\'s patterned strip; a 24-bit bitmap for a pattern brush.',
              '%-26s BITMAP "popup_bg.bmp"' % 'IDB_POPUP_BACKGROUND', '']
    with open(os.path.join(RES, 'skin.rc'), 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines))


def main():
    make_strip()
    make_window_buttons()
    make_strip_buttons()
    make_overlay()
    make_message_box()
    make_popup()
    make_icon()
    make_start_picture()
    write_rc()
    missing = [stem for _, stem in PNG_RESOURCES if not os.path.exists(os.path.join(SKIN, stem + '.png'))]
    if missing:
        sys.exit('not drawn: ' + ', '.join(missing))


if __name__ == '__main__':
    main()
