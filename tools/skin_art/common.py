"""Palette, fonts and drawing helpers shared by the skin generator's modules."""
import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
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
