#!/usr/bin/python3
"""Draws the client's skin: every PNG of the title strip, the buttons, the message box, the
cache-cleaning overlay, the start picture, the login popup's background bitmap and the icon.
Every PNG is drawn twice from the same code: at its own size for 100 % displays (name.png) and at
twice that size (name@2x.png, resource id + IDB_2X_OFFSET), which the client reduces to the exact
size of every other display scale.

Run from anywhere: /usr/bin/python3 tools/make_skin.py
Needs Debian's python3-pil, fonts-wqy-zenhei (Chinese labels) and fonts-dejavu-core (the logo).
The output is committed under res/, so a build never runs this script. The drawing is seeded, so
running it twice gives the same pixels.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from skin_art.chrome import make_strip, make_strip_buttons, make_window_buttons  # noqa: E402
from skin_art import common  # noqa: E402
from skin_art.common import RES, SKIN  # noqa: E402
from skin_art.panels import make_icon, make_message_box, make_overlay, make_popup  # noqa: E402
from skin_art.start_picture import make_start_picture  # noqa: E402


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


def resource_ids():
    """The values of resource.h's IDB_ names: the 2x images' ids are computed from them."""
    ids = {}
    with open(os.path.join(RES, 'resource.h'), encoding='utf-8') as f:
        for line in f:
            m = re.match(r'#define\s+(IDB_\w+)\s+(\d+)', line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    return ids


def write_rc():
    ids = resource_ids()
    offset = ids['IDB_2X_OFFSET']
    lines = ['// Skin images, written by tools/make_skin.py. Type "PNG" is what the widgets look up.', '']
    for name, stem in PNG_RESOURCES:
        lines.append('%-26s PNG    "skin/%s.png"' % (name, stem))
    lines += ['', '// The same images drawn at twice their size, for scaled displays: id + IDB_2X_OFFSET (%d).'
              % offset]
    for name, stem in PNG_RESOURCES:
        lines.append('%-26s PNG    "skin/%s@2x.png"' % ('%d' % (ids[name] + offset), stem))
    lines += ['', '// The login popup\'s patterned strip; a 24-bit bitmap for a pattern brush.',
              '%-26s BITMAP "popup_bg.bmp"' % 'IDB_POPUP_BACKGROUND', '']
    with open(os.path.join(RES, 'skin.rc'), 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines))


def main():
    for scale in (1, 2):
        common.set_scale(scale)
        make_strip()
        make_window_buttons()
        make_strip_buttons()
        make_overlay()
        make_message_box()
        make_popup()
        if scale == 1:
            make_icon()
        make_start_picture()
    common.set_scale(1)
    write_rc()
    missing = [stem + suffix for _, stem in PNG_RESOURCES for suffix in ('', '@2x')
               if not os.path.exists(os.path.join(SKIN, stem + suffix + '.png'))]
    if missing:
        sys.exit('not drawn: ' + ', '.join(missing))


if __name__ == '__main__':
    main()
