"""The start picture: a night scene in a gold frame whose alpha channel gives the start window its shape."""
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter

from skin_art.common import (CREAM, GOLD, GOLD_DARK, GOLD_LIGHT, Over, cjk, dot, draw_text, hline, k, kbox, kp, odd,
                             rgba, save, serif, text_size, vgradient)
from skin_art import common

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
    """Fills below a ridge given as one y per x of the 100 % layout."""
    d = ImageDraw.Draw(img)
    bottom = img.size[1] if bottom is None else bottom
    K = common.K
    poly = [(x * K, y * K) for x, y in enumerate(ys)] + [((len(ys) - 1) * K + K - 1, bottom), (0, bottom)]
    if K == 1:
        poly = [(x, y) for x, y in enumerate(ys)] + [(len(ys) - 1, bottom), (0, bottom)]
    d.polygon(poly, fill=colour)


def castle_shape(d, col):
    """The keep on the cliff at the left; spires rise above the frame."""
    def tower(x0, x1, top, spire_top, crenel=False):
        d.rectangle(kbox([x0, top, x1, 640]), fill=col)
        if spire_top is not None:
            d.polygon(kp([(x0 - 6, top + 2), ((x0 + x1) / 2, spire_top), (x1 + 6, top + 2)]), fill=col)
        if crenel:
            for x in range(x0, x1, 10):
                d.rectangle(kbox([x, top - 7, x + 5, top]), fill=col)
    tower(118, 172, 140, 24)           # the high tower
    tower(190, 232, 210, 116)
    tower(62, 102, 300, 236)
    tower(256, 292, 330, 272)
    tower(104, 246, 262, None, crenel=True)   # the keep between them
    tower(30, 300, 430, None, crenel=True)    # the curtain wall
    tower(296, 334, 404, 356)                 # and its corner turret
    # flag poles and pennants
    for (x, y) in ((145, 24), (211, 116), (82, 236)):
        d.line(kp([(x, y), (x, y - 18)]), fill=col, width=k(2))
        d.polygon(kp([(x + 1, y - 18), (x + 16, y - 14), (x + 1, y - 10)]), fill=col)


def castle_windows(img, rnd):
    glow = Image.new('RGBA', img.size, (0, 0, 0, 0))
    gd = ImageDraw.Draw(glow)
    d = ImageDraw.Draw(img)
    spots = [(140, 180), (140, 220), (150, 300), (206, 250), (206, 290), (80, 340), (130, 330), (170, 360),
             (220, 340), (272, 370), (60, 470), (100, 480), (160, 470), (240, 480), (300, 470), (200, 420)]
    for (x, y) in spots:
        gd.ellipse(kbox([x - 12, y - 12, x + 16, y + 20]), fill=(255, 190, 90, 70))
        d.rectangle(kbox([x, y + 3, x + 4, y + 9]), fill=(255, 214, 120, 255))
        d.ellipse(kbox([x, y, x + 4, y + 5]), fill=(255, 214, 120, 255))
    img.alpha_composite(glow.filter(ImageFilter.GaussianBlur(k(6))))
    for (x, y) in ((145, 6), (211, 98), (82, 218)):
        d.polygon(kp([(x + 1, y), (x + 16, y + 4), (x + 1, y + 8)]), fill=rgba(GOLD))


def logo_plaque():
    """The game's name on a gold-rimmed banner that breaks through the top of the frame."""
    W, H = k(START_W), k(START_H)
    layer = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    cx = 709
    poly = [(cx - 209, 118), (cx - 169, 66), (cx - 29, 66), (cx, 30), (cx + 29, 66), (cx + 169, 66),
            (cx + 209, 118), (cx + 169, 172), (cx - 169, 172)]
    shadow = Image.new('RGBA', layer.size, (0, 0, 0, 0))
    ImageDraw.Draw(shadow).polygon(kp([(x, y + 6) for x, y in poly]), fill=(0, 0, 0, 170))
    layer.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(k(7))))
    fill = vgradient(W, H, [(0, (70, 56, 70)), (0.13, (44, 34, 52)), (0.25, (18, 14, 24)),
                                        (1, (18, 14, 24))])
    mask = Image.new('L', layer.size, 0)
    ImageDraw.Draw(mask).polygon(kp(poly), fill=255)
    layer.paste(fill, (0, 0), mask)
    d = ImageDraw.Draw(layer)
    d.line(kp(poly + [poly[0]]), fill=rgba(GOLD_DARK), width=k(5), joint='curve')
    d.line(kp(poly + [poly[0]]), fill=rgba(GOLD), width=k(2), joint='curve')
    inner = [(x + (cx - x) * 0.05, y + (118 - y) * 0.14) for x, y in poly]
    with Over(layer) as o:
        o.line(kp(inner + [inner[0]]), fill=rgba(GOLD, 120), width=k(1))
    # the gem in the crest
    d.polygon(kp([(cx, 46), (cx + 10, 60), (cx, 74), (cx - 10, 60)]), fill=(150, 30, 40, 255),
              outline=rgba(GOLD_LIGHT), width=k(1))
    d.polygon(kp([(cx, 48), (cx + 7, 60), (cx, 60)]), fill=(236, 110, 110, 255))
    # the name: gold gradient letters with a dark edge and a warm glow
    font = serif(60)
    text = 'VANTOR'
    spacing = k(8)
    widths = [font.getbbox(ch)[2] - font.getbbox(ch)[0] for ch in text]
    total = sum(widths) + spacing * (len(text) - 1)
    tmask = Image.new('L', layer.size, 0)
    td = ImageDraw.Draw(tmask)
    x = k(cx) - total // 2
    for ch, cw in zip(text, widths):
        td.text((x - font.getbbox(ch)[0], k(76)), ch, font=font, fill=255)
        x += cw + spacing
    edge = tmask.filter(ImageFilter.MaxFilter(odd(5)))
    glow = Image.new('RGBA', layer.size, (255, 200, 110, 0))
    glow.putalpha(edge.filter(ImageFilter.GaussianBlur(k(6))).point(lambda a: a * 150 // 255))
    layer.alpha_composite(glow)
    layer.paste(Image.new('RGBA', layer.size, (26, 16, 8, 255)), (0, 0), edge)
    letters = vgradient(W, H, [(0, CREAM), (0.115, GOLD_LIGHT), (0.155, GOLD), (0.185, GOLD_DARK),
                                           (1, GOLD_DARK)])
    layer.paste(letters, (0, 0), tmask)
    sub = cjk(15)
    label = '— 微  端 —'
    tw, th, tb = text_size(sub, label)
    draw_text(layer, (k(cx) - tw // 2 - tb[0], k(146)), label, sub, rgba(CREAM), shadow=(0, 0, 0, 220))
    return layer, poly


def frame_ornaments(d):
    l, t, r, b = BODY
    d.rounded_rectangle(kbox([l, t, r, b]), k(26), outline=rgba(GOLD_DARK), width=k(4))
    d.rounded_rectangle(kbox([l + 1, t + 1, r - 1, b - 1]), k(25), outline=rgba(GOLD), width=k(1))
    d.rounded_rectangle(kbox([l + 8, t + 8, r - 8, b - 8]), k(20), outline=rgba(GOLD, 110), width=k(1))
    for (x, y) in ((l + 14, t + 14), (r - 14, t + 14), (l + 14, b - 14), (r - 14, b - 14)):
        d.polygon(kp([(x, y - 9), (x + 9, y), (x, y + 9), (x - 9, y)]), fill=rgba(GOLD_DARK))
        d.polygon(kp([(x, y - 6), (x + 6, y), (x, y + 6), (x - 6, y)]), fill=rgba(GOLD_LIGHT))


def make_start_picture():
    rnd = random.Random(319)
    W, H = k(START_W), k(START_H)
    scene = vgradient(W, H, [(0.0, (8, 10, 30)), (0.4, (30, 28, 70)), (0.7, (96, 56, 92)), (0.78, (60, 40, 66)),
                             (1.0, (18, 14, 24))])
    with Over(scene) as o:
        for _ in range(520):
            x, y = rnd.randrange(START_W), int(rnd.random() ** 1.6 * 500)
            a = rnd.randrange(60, 255)
            dot(o, (x, y), (255, 250, 230, a))
            if rnd.random() < 0.04:
                hline(o, y, x - 3, x + 3, (255, 250, 230, a // 2))
                o.line(kp([(x, y - 3), (x, y + 3)]), fill=(255, 250, 230, a // 2), width=k(1))
    d = ImageDraw.Draw(scene)
    # the moon and its halo
    mx, my, mr = MOON
    halo = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    ImageDraw.Draw(halo).ellipse(kbox([mx - mr * 2.4, my - mr * 2.4, mx + mr * 2.4, my + mr * 2.4]),
                                 fill=(255, 230, 170, 60))
    scene.alpha_composite(halo.filter(ImageFilter.GaussianBlur(k(40))))
    d.ellipse(kbox([mx - mr, my - mr, mx + mr, my + mr]), fill=(255, 244, 214, 255))
    for (ox, oy, rr) in ((-14, -10, 11), (12, 8, 8), (-4, 20, 6), (20, -18, 5)):
        d.ellipse(kbox([mx + ox - rr, my + oy - rr, mx + ox + rr, my + oy + rr]), fill=(236, 222, 190, 255))
    # three ranges of mountains, lighter far away
    ranges = (
        ([(0, 470), (180, 380), (330, 440), (520, 330), (700, 450), (860, 360), (1000, 420), (1115, 390)], 80,
         (40, 32, 64, 255)),
        ([(0, 560), (260, 500), (450, 560), (640, 480), (820, 545), (1115, 500)], 50, (28, 23, 44, 255)),
        ([(0, 620), (400, 600), (700, 630), (1115, 600)], 22, (19, 15, 28, 255)),
    )
    for peaks, rough, col in ranges:
        detail = ridge(rnd, START_W, 0, rough)
        ys = []
        for x in range(START_W + 1):
            seg = max(i for i in range(len(peaks)) if peaks[i][0] <= x) if x < peaks[-1][0] else len(peaks) - 2
            (x0, y0), (x1, y1) = peaks[seg], peaks[min(seg + 1, len(peaks) - 1)]
            t = 0 if x1 == x0 else (x - x0) / (x1 - x0)
            ys.append(y0 + (y1 - y0) * t + detail[x])
        fill_ridge(scene, [y - 1 for y in ys], (150, 120, 170, 255))   # moonlight on the crest
        fill_ridge(scene, ys, col)
    # mist in the valleys
    mist = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    md = ImageDraw.Draw(mist)
    for _ in range(40):
        x, y = rnd.randrange(-100, START_W), rnd.randrange(520, 660)
        box = [x, y, x + rnd.randrange(120, 320), y + rnd.randrange(14, 30)]
        md.ellipse(kbox(box), fill=(210, 190, 230, 26))
    scene.alpha_composite(mist.filter(ImageFilter.GaussianBlur(k(10))))
    # the cliff and castle at the left, with a cool rim light from the moon's side
    sil = Image.new('L', (W, H), 0)
    sd = ImageDraw.Draw(sil)
    castle_shape(sd, 255)
    # the crag the castle stands on falls away to the right in a rough slope
    crag = [(0, 560)]
    for i in range(1, 25):
        x = 300 + i * 9
        crag.append((x + rnd.uniform(-4, 4), 560 + (i / 24) ** 1.6 * 110 + rnd.uniform(-9, 9)))
    sd.polygon(kp([(0, 600), (300, 600)] + crag[1:] + [(540, START_H), (0, START_H)]), fill=255)
    rim = ImageChops.subtract(sil, ImageChops.offset(sil, -k(2), 0))
    scene.paste(Image.new('RGBA', (W, H), (15, 12, 21, 255)), (0, 0), sil)
    scene.paste(Image.new('RGBA', (W, H), (128, 110, 160, 255)), (0, 0), rim.point(lambda a: a * 150 // 255))
    castle_windows(scene, rnd)
    # the ground in front
    fill_ridge(scene, ridge(rnd, START_W, 668, 12), (12, 10, 16, 255))
    # a short health notice at the bottom left, as game start screens carry
    notice = ['抵制不良游戏，拒绝盗版游戏。', '注意自我保护，谨防受骗上当。', '适度游戏益脑，沉迷游戏伤身。',
              '合理安排时间，享受健康生活。']
    nf = cjk(12)
    for i, line in enumerate(notice):
        draw_text(scene, (k(48), k(600 + i * 20)), line, nf, rgba(CREAM, 200), shadow=(0, 0, 0, 220))

    # the frame, then what breaks through it
    frame = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    frame_ornaments(ImageDraw.Draw(frame))
    scene.alpha_composite(frame)
    # the spires stand in front of the frame's top edge
    spires = Image.new('L', (W, H), 0)
    spires.paste(sil.crop((0, 0, W, k(BODY[1] + 12))), (0, 0))
    scene.paste(Image.new('RGBA', (W, H), (15, 12, 21, 255)), (0, 0), spires)
    scene.paste(Image.new('RGBA', (W, H), (128, 110, 160, 255)), (0, 0),
                ImageChops.multiply(rim, spires).point(lambda a: a * 150 // 255))
    castle_windows_top = ImageDraw.Draw(scene)
    for (x, y) in ((145, 6), (211, 98)):
        castle_windows_top.polygon(kp([(x + 1, y), (x + 16, y + 4), (x + 1, y + 8)]), fill=rgba(GOLD))
    # the moon, too, rises in front of the frame
    d.ellipse(kbox([mx - mr, my - mr, mx + mr, my + mr]), fill=(255, 244, 214, 255))
    for (ox, oy, rr) in ((-14, -10, 11), (12, 8, 8), (-4, 20, 6), (20, -18, 5)):
        d.ellipse(kbox([mx + ox - rr, my + oy - rr, mx + ox + rr, my + oy + rr]), fill=(236, 222, 190, 255))
    plaque, plaque_poly = logo_plaque()
    scene.alpha_composite(plaque)

    # the shape: panel, spires, flags, the moon's upper rim and the banner
    big_mask = Image.new('L', (W * 2, H * 2), 0)
    bd = ImageDraw.Draw(big_mask)
    l, t, r, b = BODY
    K2 = 2 * common.K   # the mask is drawn at twice the picture's own size
    bd.rounded_rectangle([l * K2, t * K2, r * K2 + K2 - 1, b * K2 + K2 - 1], 26 * K2, fill=255)
    bd.ellipse([(mx - mr - 1) * K2, (my - mr - 1) * K2, (mx + mr + 1) * K2, (my + mr + 1) * K2], fill=255)
    bd.polygon([(x * K2, y * K2) for x, y in plaque_poly], fill=255)
    shape = big_mask.resize((W, H), Image.LANCZOS)
    top = sil.crop((0, 0, W, k(t + 4))).filter(ImageFilter.MaxFilter(odd(3)))
    shape.paste(ImageChops.lighter(shape.crop((0, 0, W, k(t + 4))), top), (0, 0))
    for (x, y) in ((145, 6), (211, 98)):
        ImageDraw.Draw(shape).polygon(kp([(x + 1, y), (x + 16, y + 4), (x + 1, y + 8)]), fill=255)
    # a faint gold aura around the whole shape, so it sits softly on any desktop
    aura = shape.filter(ImageFilter.MaxFilter(odd(9))).filter(ImageFilter.GaussianBlur(k(6)))
    aura = aura.point(lambda a: a * 70 // 255)
    out = Image.new('RGBA', (W, H), rgba(GOLD, 0))
    out.putalpha(aura)
    body = scene.copy()
    body.putalpha(shape)
    out.alpha_composite(body)
    save(out, 'start_bg.png')
