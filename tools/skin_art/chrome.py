"""The main window's title strip, its window buttons and its labelled strip buttons."""
import math

from PIL import Image, ImageDraw, ImageFilter

from skin_art.common import (CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, Over, big, cjk, dot, draw_text, hline, k, kp, rgba,
                             s, save, small, text_size, vgradient, vline)


# ---- Title strip ---------------------------------------------------------------------------------
STRIP_H = 30


def strip_background(w):
    img = vgradient(k(w), k(STRIP_H), [(0.0, (58, 50, 62)), (0.08, (46, 40, 52)), (0.9, (22, 19, 28)),
                                       (1.0, (22, 19, 28))])
    d = ImageDraw.Draw(img)
    hline(d, 0, 0, w, (88, 76, 80, 255))       # top highlight
    hline(d, 27, 0, w, (14, 12, 18, 255))      # groove above the gold rule
    hline(d, 28, 0, w, rgba(GOLD_DARK))
    hline(d, 29, 0, w, (60, 48, 24, 255))
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
    left.alpha_composite(crest(20), (k(8), k(5)))
    font = cjk(14)
    draw_text(left, (k(34), k(7)), '《Vantor》微端', font, rgba(GOLD_LIGHT), shadow=(0, 0, 0, 200))
    # a thin fading gold flourish after the title
    with Over(left) as d:
        for x in range(140, 196):
            a = int(150 * (1 - (x - 140) / 56))
            dot(d, (x, 15), rgba(GOLD, a))
        d.polygon(kp([(136, 15), (140, 12), (144, 15), (140, 18)]), fill=rgba(GOLD))
    save(left, 'strip_left.png')
    save(strip_background(1), 'strip_middle.png')
    right = strip_background(92)
    with Over(right) as d:
        vline(d, 3, 5, 24, (14, 12, 18, 255))
        vline(d, 4, 5, 24, rgba(GOLD_DARK, 200))
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
            tw, th, box = text_size(font, label)   # in the image's own pixels
            icon_px = 14
            gap = 3 if len(label) > 3 else 4
            total = k(icon_px + gap) + tw
            x0 = (k(plate_w) - total) // 2         # in the image's own pixels, as the text
            # icon, drawn large and brought down
            ic, idraw = big(w, h)
            col = rgba(GOLD_LIGHT) if look != 'normal' else rgba(GOLD)
            shade = Image.new('RGBA', ic.size, (0, 0, 0, 0))
            ix = x0 / k(1) + icon_px / 2 + off
            icon(ImageDraw.Draw(shade), s(ix), s(12 + off), s(6), (0, 0, 0, 200))
            shade = shade.filter(ImageFilter.GaussianBlur(s(0.8)))
            ic.alpha_composite(shade)
            icon(idraw, s(ix), s(12 + off), s(6), col)
            img.alpha_composite(small(ic, w, h))
            text_col = {'normal': (236, 226, 198, 255), 'hover': rgba(CREAM),
                        'pressed': rgba(GOLD_LIGHT)}[look]
            ty = (k(h) - th) // 2 - box[1] + k(off)
            draw_text(img, (x0 + k(icon_px + gap + off), ty), label, font, text_col, shadow=(0, 0, 0, 190))
            save(img, stem + suffix + '.png')
