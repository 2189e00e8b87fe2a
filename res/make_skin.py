#!/usr/bin/python3
"""Draws the installer's skin: the window pictures, the button strips and the
two icons, written next to this script.

Run by hand after changing the artwork (needs python3-pil, fonts-wqy-microhei
and fonts-dejavu); the build only embeds the files this writes.

Every button picture is painted over the very piece of background it covers
in the window, so the rectangular button windows blend in.
"""
import math
import os
import random
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

W, H = 455, 325
TITLE_H = 32      # title strip; close and minimise sit on it
STAGE_BOTTOM = 190  # banner and slides cover 0..190
SS = 4            # supersampling for smooth shapes

# Where each strip's button sits in the window (x, y); its ground is cut from there.
PLACES = {
    156: (408, 0), 163: (361, 0), 164: (163, 209), 158: (126, 289), 161: (358, 289),
    171: (370, 94), 162: (339, 157), 159: (393, 289), 160: (384, 289),
}


def font(path, size):
    return ImageFont.truetype(path, size)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def vgradient(w, h, top, bottom):
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w, y)], fill=lerp(top, bottom, y / max(1, h - 1)))
    return img


# ---------------------------------------------------------------- background

def title_strip():
    strip = vgradient(W, TITLE_H, (22, 48, 92), (10, 26, 56))
    d = ImageDraw.Draw(strip)
    d.line([(0, 0), (W, 0)], fill=(70, 110, 170))
    d.line([(0, TITLE_H - 1), (W, TITLE_H - 1)], fill=(6, 16, 36))
    # Small brand mark at the left; the right side is left to the two buttons.
    d.ellipse([10, 9, 23, 22], outline=(120, 190, 255), width=2)
    d.ellipse([14, 13, 19, 18], fill=(255, 200, 80))
    d.text((30, 7), "Corvel 游戏平台", font=font(CJK, 13), fill=(200, 222, 250))
    return strip


def background():
    img = Image.new("RGB", (W, H))
    # Upper stage: deep blue, a soft glow kept away from the text rows.
    stage = vgradient(W, STAGE_BOTTOM - TITLE_H, (24, 62, 118), (16, 44, 90))
    glow = Image.new("L", stage.size, 0)
    gd = ImageDraw.Draw(glow)
    gd.ellipse([250, -60, 560, 150], fill=60)
    gd.ellipse([-120, 80, 140, 260], fill=35)
    glow = glow.filter(ImageFilter.GaussianBlur(40))
    stage = Image.composite(Image.new("RGB", stage.size, (60, 120, 190)), stage, glow)
    img.paste(stage, (0, TITLE_H))
    # Lower panel: dark blue, flat across, so buttons and texts sit calmly on it.
    img.paste(vgradient(W, H - STAGE_BOTTOM, (12, 34, 70), (8, 24, 52)), (0, STAGE_BOTTOM))
    d = ImageDraw.Draw(img)
    d.line([(0, STAGE_BOTTOM), (W, STAGE_BOTTOM)], fill=(60, 120, 200))
    d.line([(0, STAGE_BOTTOM + 1), (W, STAGE_BOTTOM + 1)], fill=(6, 18, 40))
    img.paste(title_strip(), (0, 0))
    # Window frame.
    d.rectangle([0, 0, W - 1, H - 1], outline=(54, 96, 160))
    return img


BG = None  # filled in main()


def ground(pid, w, h):
    x, y = PLACES[pid]
    return BG.crop((x, y, x + w, y + h)).copy()


# ---------------------------------------------------------------- strips

def strip(states):
    w, h = states[0].size
    out = Image.new(states[0].mode, (w * 4, h))
    for i, s in enumerate(states):
        out.paste(s, (i * w, 0))
    return out


def text_size(f, text):
    box = f.getbbox(text)
    return box[2] - box[0], box[3] - box[1], box


def centred_text(img, text, f, fill, dx=0, dy=0, stroke=0, shadow=None):
    d = ImageDraw.Draw(img)
    tw, th, box = text_size(f, text)
    x = (img.size[0] - tw) // 2 - box[0] + dx
    y = (img.size[1] - th) // 2 - box[1] + dy
    if shadow:
        d.text((x + 1, y + 1), text, font=f, fill=shadow, stroke_width=stroke, stroke_fill=shadow)
    d.text((x, y), text, font=f, fill=fill, stroke_width=stroke, stroke_fill=fill)


def title_button(pid, w, glyph):
    """Close and minimise: a glyph on the title strip; hover lights the ground."""
    states = []
    looks = [  # ground tint, tint strength, glyph colour, offset
        (None, 0, (215, 230, 250), 0),
        ((200, 60, 60) if glyph == "x" else (60, 120, 200), 0.85, (255, 255, 255), 0),
        ((140, 30, 30) if glyph == "x" else (30, 70, 140), 0.9, (230, 230, 230), 1),
        (None, 0, (90, 105, 130), 0),
    ]
    for tint, amount, colour, off in looks:
        g = ground(pid, w, TITLE_H).convert("RGB")
        if tint:
            g = Image.blend(g, Image.new("RGB", g.size, tint), amount)
        big = g.resize((w * SS, TITLE_H * SS), Image.NEAREST)
        d = ImageDraw.Draw(big)
        cx, cy = (w // 2 + off) * SS, (TITLE_H // 2 + off) * SS
        r = 6 * SS
        if glyph == "x":
            d.line([(cx - r, cy - r), (cx + r, cy + r)], fill=colour, width=2 * SS)
            d.line([(cx - r, cy + r), (cx + r, cy - r)], fill=colour, width=2 * SS)
        else:
            d.rectangle([cx - r, cy + 3 * SS, cx + r, cy + 5 * SS], fill=colour)
        states.append(big.resize((w, TITLE_H), Image.LANCZOS))
    return strip(states)


def link_button(pid, w, h, text, size, mode="RGB"):
    """A text link on the panel: light blue, yellow and underlined on hover."""
    f = font(CJK, size)
    looks = [((150, 205, 255), False, 0), ((255, 236, 140), True, 0),
             ((230, 200, 90), True, 1), ((95, 110, 135), False, 0)]
    states = []
    for colour, underline, off in looks:
        g = ground(pid, w, h).convert("RGB")
        d = ImageDraw.Draw(g)
        tw, th, box = text_size(f, text)
        x = (w - tw) // 2 - box[0] + off
        y = (h - th) // 2 - box[1] - (1 if underline else 0) + off
        d.text((x, y), text, font=f, fill=colour)
        if underline:
            d.line([((w - tw) // 2 + off, h - 1), ((w + tw) // 2 + off, h - 1)], fill=colour)
        states.append(g.convert(mode))
    return strip(states)


def rounded_button(pid, w, h, text, size, faces, mode="RGBA"):
    """A raised, rounded button with a glossy gradient and a centred label."""
    f = font(CJK, size * SS)
    states = []
    for i, (top, bottom, edge, label) in enumerate(faces):
        g = ground(pid, w, h).convert("RGB").resize((w * SS, h * SS), Image.NEAREST)
        face = vgradient(w * SS, h * SS, top, bottom)
        mask = Image.new("L", (w * SS, h * SS), 0)
        md = ImageDraw.Draw(mask)
        inset = 2 * SS
        md.rounded_rectangle([inset, inset, w * SS - inset, h * SS - inset], radius=6 * SS, fill=255)
        g.paste(face, (0, 0), mask)
        d = ImageDraw.Draw(g)
        d.rounded_rectangle([inset, inset, w * SS - inset, h * SS - inset], radius=6 * SS, outline=edge,
                            width=SS)
        if i != 2:  # gloss on the upper half, except while pressed
            gloss = Image.new("L", (w * SS, h * SS), 0)
            ImageDraw.Draw(gloss).rounded_rectangle([inset + SS, inset + SS, w * SS - inset - SS, h * SS // 2],
                                                    radius=5 * SS, fill=40)
            g = Image.composite(Image.new("RGB", g.size, (255, 255, 255)), g, gloss)
        off = SS if i == 2 else 0
        centred_text(g, text, f, label, dx=off, dy=off, stroke=SS // 2 if size >= 16 else 0,
                     shadow=None if i == 3 else lerp(bottom, (0, 0, 0), 0.5))
        states.append(g.resize((w, h), Image.LANCZOS).convert(mode))
    return strip(states)


def install_button():
    faces = [((70, 160, 255), (20, 90, 210), (150, 210, 255), (255, 255, 255)),
             ((110, 190, 255), (40, 120, 235), (210, 240, 255), (255, 255, 230)),
             ((20, 80, 190), (40, 120, 230), (90, 150, 220), (225, 235, 250)),
             ((88, 104, 128), (62, 76, 98), (110, 124, 146), (160, 168, 180))]
    return rounded_button(164, 150, 58, "立即安装", 20, faces)


def change_button():
    faces = [((255, 170, 60), (230, 110, 20), (255, 210, 140), (255, 255, 255)),
             ((255, 195, 100), (245, 135, 40), (255, 230, 180), (255, 255, 240)),
             ((205, 95, 15), (235, 135, 40), (200, 120, 60), (245, 230, 215)),
             ((120, 110, 100), (92, 86, 80), (140, 130, 120), (175, 170, 165))]
    return rounded_button(171, 70, 34, "更改", 14, faces)


def cancel_link():
    img = link_button(160, 47, 12, "取消安装", 11, mode="RGBA")
    # Soft corners: the only pixels of the skin that are not fully opaque.
    px = img.load()
    for s in range(4):
        for x, y in ((0, 0), (46, 0), (0, 11), (46, 11)):
            r, g, b, _ = px[s * 47 + x, y]
            px[s * 47 + x, y] = (r, g, b, 96)
    return img


# ---------------------------------------------------------------- stage pictures

def stage_canvas():
    img = Image.new("RGB", (W, STAGE_BOTTOM))
    img.paste(BG.crop((0, 0, W, STAGE_BOTTOM)), (0, 0))
    return img


def banner():
    img = stage_canvas()
    big = img.resize((W * SS, STAGE_BOTTOM * SS), Image.NEAREST)
    d = ImageDraw.Draw(big)
    # Light rays behind the logo.
    rays = Image.new("L", big.size, 0)
    rd = ImageDraw.Draw(rays)
    cx, cy = 227 * SS, 88 * SS
    for k in range(12):
        a = k * math.pi / 6
        rd.polygon([(cx, cy), (cx + math.cos(a - 0.08) * 400 * SS, cy + math.sin(a - 0.08) * 400 * SS),
                    (cx + math.cos(a + 0.08) * 400 * SS, cy + math.sin(a + 0.08) * 400 * SS)], fill=28)
    clip = Image.new("L", big.size, 0)
    ImageDraw.Draw(clip).rectangle([0, (TITLE_H + 1) * SS, W * SS, 140 * SS], fill=255)
    rays = Image.composite(rays, Image.new("L", big.size, 0), clip).filter(ImageFilter.GaussianBlur(6 * SS))
    big = Image.composite(Image.new("RGB", big.size, (140, 200, 255)), big, rays)
    d = ImageDraw.Draw(big)
    # Logo: a ring with a spark and the word mark.
    lx, ly, lr = 150 * SS, 88 * SS, 26 * SS
    d.ellipse([lx - lr, ly - lr, lx + lr, ly + lr], outline=(120, 200, 255), width=6 * SS)
    d.pieslice([lx - lr, ly - lr, lx + lr, ly + lr], -40, 40, fill=(16, 44, 90))
    d.ellipse([lx - 9 * SS, ly - 9 * SS, lx + 9 * SS, ly + 9 * SS], fill=(255, 196, 70))
    f = font(LATIN_BOLD, 40 * SS)
    d.text((186 * SS + 2 * SS, 64 * SS + 2 * SS), "Corvel", font=f, fill=(6, 20, 48))
    d.text((186 * SS, 64 * SS), "Corvel", font=f, fill=(240, 248, 255))
    d.text((190 * SS, 112 * SS), "GAME  PLATFORM", font=font(LATIN_BOLD, 11 * SS), fill=(130, 190, 245))
    img = big.resize((W, STAGE_BOTTOM), Image.LANCZOS)
    img.paste(BG.crop((0, 0, W, TITLE_H)), (0, 0))
    return img


def slide(seed, sky_top, sky_bottom, accent, caption, motif):
    rnd = random.Random(seed)
    sw, sh = W * SS, STAGE_BOTTOM * SS
    big = vgradient(sw, sh, sky_top, sky_bottom)
    d = ImageDraw.Draw(big)
    for _ in range(60):  # stars / sparks
        x, y, r = rnd.randrange(sw), rnd.randrange(sh), rnd.choice([1, 1, 2, 3]) * SS // 2
        d.ellipse([x - r, y - r, x + r, y + r], fill=lerp(accent, (255, 255, 255), 0.7))
    if motif == "planet":
        d.ellipse([280 * SS, 40 * SS, 400 * SS, 160 * SS], fill=accent)
        d.ellipse([296 * SS, 50 * SS, 410 * SS, 160 * SS], fill=lerp(accent, sky_bottom, 0.55))
        d.arc([250 * SS, 85 * SS, 430 * SS, 120 * SS], 160, 380, fill=(255, 230, 170), width=3 * SS)
    elif motif == "mountains":
        for k, shade in enumerate((0.3, 0.55, 0.8)):
            pts = [(0, sh)]
            for x in range(0, sw + 40 * SS, 40 * SS):
                pts.append((x, (70 + 30 * k) * SS + rnd.randrange(50) * SS))
            pts.append((sw, sh))
            d.polygon(pts, fill=lerp(accent, (5, 10, 25), shade))
    elif motif == "towers":
        for k in range(9):
            x = 30 * SS + k * 48 * SS
            top = (60 + rnd.randrange(70)) * SS
            d.rectangle([x, top, x + 30 * SS, sh], fill=lerp(accent, (5, 10, 30), 0.5 + 0.05 * (k % 3)))
            for wy in range(top + 8 * SS, sh - 10 * SS, 14 * SS):
                d.rectangle([x + 8 * SS, wy, x + 14 * SS, wy + 5 * SS], fill=(255, 220, 120))
    elif motif == "track":
        for k in range(6):
            off = k * 30 * SS
            d.polygon([(0, sh - off // 3), (sw, sh - 80 * SS - off // 2), (sw, sh - 70 * SS - off // 2),
                       (0, sh - off // 3 + 8 * SS)], fill=lerp(accent, (255, 255, 255), k / 8))
    elif motif == "crystals":
        for k in range(7):
            cx = (60 + k * 55) * SS
            hgt = (50 + rnd.randrange(70)) * SS
            d.polygon([(cx, sh - hgt), (cx + 18 * SS, sh - 20 * SS), (cx, sh), (cx - 18 * SS, sh - 20 * SS)],
                      fill=lerp(accent, (255, 255, 255), rnd.random() * 0.4))
    img = big.resize((W, STAGE_BOTTOM), Image.LANCZOS)
    # Caption on a dark band, bottom left.
    band = Image.new("L", (W, STAGE_BOTTOM), 0)
    ImageDraw.Draw(band).rectangle([0, 148, W, STAGE_BOTTOM], fill=150)
    band = band.filter(ImageFilter.GaussianBlur(6))
    img = Image.composite(Image.new("RGB", img.size, (4, 12, 28)), img, band)
    d = ImageDraw.Draw(img)
    d.text((19, 155), caption, font=font(CJK, 20), fill=(0, 0, 0))
    d.text((18, 154), caption, font=font(CJK, 20), fill=(255, 240, 190))
    img.paste(BG.crop((0, 0, W, TITLE_H)), (0, 0))
    return img


def slides():
    return [
        slide(1, (10, 14, 50), (40, 30, 90), (90, 150, 255), "星海远征 · 探索无尽宇宙", "planet"),
        slide(2, (40, 60, 110), (120, 90, 120), (70, 110, 160), "群山之巅 · 踏上英雄之路", "mountains"),
        slide(3, (20, 10, 40), (90, 40, 80), (120, 70, 160), "霓虹之城 · 夜幕下的冒险", "towers"),
        slide(4, (10, 30, 60), (20, 80, 110), (60, 200, 230), "极速赛道 · 感受风驰电掣", "track"),
        slide(5, (30, 10, 60), (10, 40, 70), (120, 220, 200), "幻晶秘境 · 收集远古力量", "crystals"),
    ]


# ---------------------------------------------------------------- icons

def icon_art(small):
    n = 128 * SS
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([4 * SS, 4 * SS, n - 4 * SS, n - 4 * SS], radius=26 * SS, fill=(20, 60, 130, 255),
                        outline=(110, 180, 255, 255), width=4 * SS)
    c, r = n // 2, 38 * SS
    ring = 14 * SS if small else 10 * SS
    d.ellipse([c - r, c - r, c + r, c + r], outline=(130, 205, 255, 255), width=ring)
    d.pieslice([c - r - 2 * SS, c - r - 2 * SS, c + r + 2 * SS, c + r + 2 * SS], -40, 40, fill=(20, 60, 130, 255))
    # Down arrow: this is the program that fetches the game.
    a = 16 * SS
    d.rectangle([c - 6 * SS, c - a, c + 6 * SS, c + 4 * SS], fill=(255, 200, 70, 255))
    d.polygon([(c - 16 * SS, c + 2 * SS), (c + 16 * SS, c + 2 * SS), (c, c + 20 * SS)], fill=(255, 200, 70, 255))
    return img.resize((128, 128), Image.LANCZOS)


def write_ico(path, img):
    """One 128x128 image, 32 bits per pixel, as a DIB entry (not PNG) so every
    resource compiler and every system version takes it."""
    w, h = img.size
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    row = ((w + 31) // 32) * 4
    andmask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(row)
        for x in range(w):
            if px[x, y][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    data = header + xor + andmask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), 6 + 16))
        f.write(data)


# ---------------------------------------------------------------- output

def no_key_colour(img):
    """The key colour must not occur: nudge any such pixel off it."""
    px = img.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            p = px[x, y]
            if p[0] == 255 and p[1] == 0 and p[2] == 255:
                px[x, y] = (254,) + tuple(p[1:])
    return img


def save(pid, img, size):
    assert img.size == size, (pid, img.size, size)
    no_key_colour(img)
    img.save(os.path.join(HERE, "skin_%d.png" % pid), optimize=True)


def main():
    global BG
    BG = background()
    save(154, BG.copy(), (455, 325))
    save(155, banner(), (455, 190))
    save(156, title_button(156, 46, "x"), (184, 32))
    save(163, title_button(163, 47, "-"), (188, 32))
    save(158, link_button(158, 47, 12, "许可协议", 11), (188, 12))
    save(159, link_button(159, 34, 12, "<<返回", 11), (136, 12))
    save(160, cancel_link(), (188, 12))
    save(161, link_button(161, 71, 12, "自定义安装>>", 11), (284, 12))
    save(162, link_button(162, 86, 17, "恢复默认目录", 13), (344, 17))
    save(164, install_button(), (600, 58))
    for i, s in enumerate(slides()):
        save(166 + i, s, (455, 190))
    save(171, change_button(), (280, 34))
    write_ico(os.path.join(HERE, "vantrel.ico"), icon_art(False))
    write_ico(os.path.join(HERE, "small.ico"), icon_art(True))


if __name__ == "__main__":
    main()
