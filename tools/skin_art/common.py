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

# The scale the skin is drawn at: 1 for the images of 100 % displays, 2 for their twins of twice the
# size, which the client reduces for every other display scale. Every length below is given as at
# 100 % and goes through k() (or s(), big(), small(), the fonts), so both come from the same drawing.
K = 1


def set_scale(k_):
    global K
    K = k_


def k(v):
    """A length of the 100 % layout at the drawing scale."""
    return v * K


def kp(points):
    """A list of (x, y) points of the 100 % layout at the drawing scale."""
    return [(x * K, y * K) for x, y in points]


def kbox(box):
    """An inclusive pixel box [x0, y0, x1, y1] of the 100 % layout at the drawing scale: each pixel
    of the box becomes K x K pixels."""
    x0, y0, x1, y1 = box
    return [x0 * K, y0 * K, x1 * K + K - 1, y1 * K + K - 1]


def odd(n):
    """An odd filter size n of the 100 % layout (its radius scaled) at the drawing scale."""
    return (n - 1) * K + 1


def hline(d, y, x0, x1, fill):
    """A one-pixel line of the 100 % layout from (x0, y) to (x1, y), K pixels thick at the drawing scale."""
    if K == 1:
        d.line([(x0, y), (x1, y)], fill=fill)
    else:
        d.rectangle(kbox([min(x0, x1), y, max(x0, x1), y]), fill=fill)


def vline(d, x, y0, y1, fill):
    """A one-pixel line of the 100 % layout from (x, y0) to (x, y1)."""
    if K == 1:
        d.line([(x, y0), (x, y1)], fill=fill)
    else:
        d.rectangle(kbox([x, min(y0, y1), x, max(y0, y1)]), fill=fill)


def dot(d, xy, fill):
    """One pixel of the 100 % layout: K x K pixels at the drawing scale."""
    if K == 1:
        d.point(xy, fill=fill)
    else:
        d.rectangle(kbox([xy[0], xy[1], xy[0], xy[1]]), fill=fill)


def frame_rect(d, box, outline):
    """A one-pixel outline of an inclusive box of the 100 % layout."""
    if K == 1:
        d.rectangle(box, outline=outline)
    else:
        d.rectangle(kbox(box), outline=outline, width=K)


def cjk(size):
    return ImageFont.truetype(CJK_FONT, size * K, index=0)


def serif(size):
    return ImageFont.truetype(SERIF_BOLD, size * K)


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
    """A transparent supersampled canvas and its drawer, for an image of w x h at 100 %."""
    img = Image.new('RGBA', (w * SS * K, h * SS * K), (0, 0, 0, 0))
    return img, ImageDraw.Draw(img)


def small(img, w, h):
    """A supersampled canvas brought down to the image of w x h at 100 %, at the drawing scale."""
    return img.resize((w * K, h * K), Image.LANCZOS)


def s(v):
    """A length of the 100 % layout on a supersampled canvas."""
    return v * SS * K


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
    """Text at xy in the image's own pixels; the shadow falls one pixel of the 100 % layout away."""
    if shadow:
        with Over(img) as d:
            d.text((xy[0] + K, xy[1] + K), text, font=font, fill=shadow)
    with Over(img) as d:
        d.text(xy, text, font=font, fill=fill)


def scaled_name(name):
    """The file of an image at the drawing scale: 'close.png' at 100 %, 'close@2x.png' at twice it."""
    if K == 1:
        return name
    stem, ext = os.path.splitext(name)
    return '%s@%dx%s' % (stem, K, ext)


def save(img, name):
    os.makedirs(SKIN, exist_ok=True)
    path = os.path.join(SKIN, scaled_name(name))
    img.save(path, optimize=True)
    return path
