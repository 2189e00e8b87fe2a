#!/usr/bin/python3
"""Writes the tiny pictures the skin tests load as resources (rerun by hand)."""
import os

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255)


def keyed_state0():
    # 4 states of 3x3; state 0 is all key colour, so the button has no shape.
    img = Image.new("RGB", (12, 3), (200, 0, 0))
    img.paste(KEY, (0, 0, 3, 3))
    return img


def states():
    # Width 23: states of 5 columns, 3 leftover columns that must never show.
    img = Image.new("RGB", (23, 4), (255, 255, 0))
    for i, c in enumerate([(200, 0, 0), (0, 200, 0), (0, 0, 200), (128, 128, 128)]):
        img.paste(c, (i * 5, 0, i * 5 + 5, 4))
    img.putpixel((0, 0), KEY)  # one hole in state 0's shape
    return img


def key_pixels():
    img = Image.new("RGB", (4, 2))
    for i, c in enumerate([(255, 0, 0), KEY, (0, 255, 0), KEY, KEY, (0, 0, 255), KEY, (255, 255, 255)]):
        img.putpixel((i % 4, i // 4), c)
    return img


def alpha():
    img = Image.new("RGBA", (4, 1))
    for i, c in enumerate([(255, 0, 0, 255), (0, 0, 255, 128), KEY + (255,), (0, 255, 0, 0)]):
        img.putpixel((i, 0), c)
    return img


for name, make in [("fx_keyed.png", keyed_state0), ("fx_states.png", states), ("fx_key.png", key_pixels),
                   ("fx_alpha.png", alpha)]:
    make().save(os.path.join(HERE, name))
