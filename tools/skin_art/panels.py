"""The cache-cleaning overlay, the message box, the login popup's bitmap and buttons, and the icon."""
import io
import math
import os
import random
import struct

from PIL import Image, ImageDraw, ImageFilter

from skin_art.chrome import crest
from skin_art.common import (CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, INK, RES, Over, big, cjk, dot, draw_text,
                             frame_rect, hline, k, kp, rgba, s, save, small, text_size, vgradient, vline)
from skin_art import common


# ---- Cache-cleaning overlay -----------------------------------------------------------------------
def make_overlay():
    save(Image.new('RGBA', (k(1), k(1)), (18, 16, 24, 255)), 'mask_texture.png')
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
    d.polygon(kp([(x, y), (x + sx * 7, y), (x, y + sy * 7)]), fill=col)
    hline(d, y, x + sx * 9, x + sx * 16, col)
    vline(d, x, y + sy * 9, y + sy * 16, col)


def make_message_box():
    w, h = 256, 110
    # The box is drawn at (-2, -2) into a 253 x 106 window: the visible frame runs from 2 to 254
    # across and 2 to 107 down.
    l, t, r, b = 2, 2, 254, 107
    img = Image.new('RGBA', (k(w), k(h)), rgba(INK))
    body = vgradient(k(r - l + 1), k(b - t + 1), [(0.0, (50, 43, 56)), (0.25, (34, 30, 42)), (1.0, (18, 16, 24))])
    img.alpha_composite(body, (k(l), k(t)))
    d = ImageDraw.Draw(img)
    # title band
    band = vgradient(k(r - l - 3), k(25), [(0.0, (72, 60, 58)), (1.0, (40, 34, 44))])
    img.alpha_composite(band, (k(l + 2), k(t + 2)))
    with Over(img) as o:
        for x in range(l + 8, r - 7):
            dist = abs(x - (l + r) / 2) / ((r - l) / 2)
            dot(o, (x, 29), rgba(GOLD, int(230 * (1 - dist ** 2))))
            dot(o, (x, 30), (0, 0, 0, int(90 * (1 - dist ** 2))))
        frame_rect(o, [l + 3, t + 3, r - 3, b - 3], rgba(GOLD, 90))
    d.polygon(kp([(130, 26), (134, 29), (130, 32), (126, 29)]), fill=rgba(GOLD_LIGHT))
    # frame: dark gold outer line, bright inner line
    frame_rect(d, [l, t, r, b], rgba(GOLD_DARK))
    frame_rect(d, [l + 1, t + 1, r - 1, b - 1], (12, 10, 14, 255))
    for (x, y, sx, sy) in ((l + 3, t + 3, 1, 1), (r - 3, t + 3, -1, 1), (l + 3, b - 3, 1, -1),
                           (r - 3, b - 3, -1, -1)):
        corner_ornament(d, x, y, sx, sy, rgba(GOLD))
    # a faint emblem behind the message line
    em = crest(40).copy()
    em.putalpha(em.getchannel('A').point(lambda a: a * 18 // 255))
    img.alpha_composite(em, (k(108), k(40)))
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
            draw_text(img, ((k(bw) - tw) // 2 - tb[0], (k(bh) - th) // 2 - tb[1]), label, font, text_col,
                      shadow=shadow)
            save(img, stem + ('_hover' if look == 'hover' else '') + '.png')

    close, d = big(9, 8)
    d.line([s(0.8), s(0.6), s(8.2), s(7.4)], fill=rgba(CREAM), width=int(s(1.5)))
    d.line([s(0.8), s(7.4), s(8.2), s(0.6)], fill=rgba(CREAM), width=int(s(1.5)))
    save(small(close, 9, 8), 'msgbox_close.png')


# ---- Login popup: background bitmap and its two buttons ---------------------------------------------
def make_popup():
    make_popup_buttons()
    if common.K != 1:
        return  # the pattern is tiled at its own size on every display
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


def make_popup_buttons():
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
