#!/usr/bin/python3
"""Writes the pictures of the main window's image buttons as GIF89a files.

Each button has a released picture (name + "UP") and a pressed one (name + "DOWN"): the same
glyph on a raised plate, and on a sunken plate one pixel lower and to the right. The glyphs come
from the full-colour icons of the Adwaita icon theme (GNOME Project, CC-BY-SA-3.0 or LGPL-3);
the plates, the LEDs, the small field buttons and a few simple glyphs are drawn here.

Needs Debian's adwaita-icon-theme and python3-pil:
    apt-get install adwaita-icon-theme python3-pil
Usage: scripts/make-skins.py [resources folder]   (default: src/resources)
Writes skins/*.gif and skins/design/*.gif there, and skins.qrc, which names each picture by the
name the program asks for.
"""
import os
import sys

try:
    from PIL import Image, ImageDraw
except ImportError:
    sys.exit("make-skins.py needs python3-pil (apt-get install python3-pil)")

THEME = "/usr/share/icons/Adwaita"
# The window colour of Qt's Fusion style: GIF has only on/off transparency, so the soft edges
# of a picture are blended into the colour it will stand on.
BACKGROUND = (239, 239, 239)
SCALE = 8  # drawing is done this many times larger, then reduced, for smooth edges


def theme_icon(name, size):
    """A theme icon reduced from its 48-pixel drawing to size x size."""
    path = os.path.join(THEME, "48x48", "legacy", name + ".png")
    if not os.path.exists(path):
        sys.exit("missing %s: install adwaita-icon-theme" % path)
    return Image.open(path).convert("RGBA").resize((size, size), Image.LANCZOS)


def big(width, height):
    return Image.new("RGBA", (width * SCALE, height * SCALE), (0, 0, 0, 0))


def reduce(image, width, height):
    return image.resize((width, height), Image.LANCZOS)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def gradient_fill(mask, top, bottom):
    """A vertical gradient from top to bottom colour, shown through mask."""
    width, height = mask.size
    fill = Image.new("RGBA", mask.size)
    draw = ImageDraw.Draw(fill)
    for y in range(height):
        draw.line([(0, y), (width, y)], fill=mix(top, bottom, y / max(1, height - 1)) + (255,))
    out = Image.new("RGBA", mask.size, (0, 0, 0, 0))
    out.paste(fill, (0, 0), mask)
    return out


def rounded_mask(size, box, radius):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=radius, fill=255)
    return mask


# Plate colours: top, bottom, border, inner edge line.
RAISED = ((252, 252, 252), (214, 214, 214), (142, 142, 142), (255, 255, 255))
SUNKEN = ((188, 188, 188), (222, 222, 222), (104, 104, 104), (160, 160, 160))


def plate(width, height, pressed, radius=3, colours=None):
    """A button face: raised (lit from above) or sunken (shaded from above)."""
    top, bottom, border, edge = colours or (SUNKEN if pressed else RAISED)
    s = SCALE
    image = big(width, height)
    size = image.size
    outer = rounded_mask(size, (0, 0, size[0] - 1, size[1] - 1), radius * s)
    inner = rounded_mask(size, (s, s, size[0] - 1 - s, size[1] - 1 - s), max(1, (radius - 1) * s))
    ring = Image.new("RGBA", size, border + (255,))
    image.paste(ring, (0, 0), outer)
    image.alpha_composite(gradient_fill(inner, top, bottom))
    # A one-pixel line inside the border: light along the top of a raised face, dark along the
    # top of a sunken one.
    line = ImageDraw.Draw(image)
    y = s + s // 2
    line.line([((radius) * s, y), (size[0] - radius * s, y)], fill=edge + (255,), width=s)
    return reduce(image, width, height)


def button(width, height, glyph, pressed, at=None, **plate_args):
    """A plate with the glyph centred (or at a given place), lowered one pixel when pressed."""
    image = plate(width, height, pressed, **plate_args)
    glyphs = glyph if isinstance(glyph, list) else [(glyph, at)]
    for picture, place in glyphs:
        if place is None:
            place = ((width - picture.width) // 2, (height - picture.height) // 2)
        shift = 1 if pressed else 0
        image.alpha_composite(picture, (place[0] + shift, place[1] + shift))
    return image


def darker(image, factor):
    """The same picture with its colours darkened (alpha kept)."""
    r, g, b, a = image.split()
    r, g, b = (c.point(lambda v: int(v * factor)) for c in (r, g, b))
    return Image.merge("RGBA", (r, g, b, a))


# --- Drawn glyphs --------------------------------------------------------------------------

def eye(width, height, colour):
    s = SCALE
    image = big(width, height)
    d = ImageDraw.Draw(image)
    w, h = width * s, height * s
    d.ellipse((0, h * 0.12, w - 1, h * 0.88), outline=colour + (255,), width=int(s * 1.1))
    r = h * 0.30
    d.ellipse((w / 2 - r, h / 2 - r, w / 2 + r, h / 2 + r), fill=colour + (255,))
    return reduce(image, width, height)


def dots(width, height, colour, count=3):
    s = SCALE
    image = big(width, height)
    d = ImageDraw.Draw(image)
    r = height * s * 0.36
    step = width * s / count
    for i in range(count):
        cx = step * (i + 0.5)
        d.ellipse((cx - r, height * s / 2 - r, cx + r, height * s / 2 + r), fill=colour + (255,))
    return reduce(image, width, height)


def arrow(width, height, colour):
    s = SCALE
    image = big(width, height)
    d = ImageDraw.Draw(image)
    w, h = width * s, height * s
    d.rectangle((0, h * 0.36, w * 0.55, h * 0.64), fill=colour + (255,))
    d.polygon([(w * 0.5, 0), (w - 1, h / 2), (w * 0.5, h - 1)], fill=colour + (255,))
    return reduce(image, width, height)


def info_sign(size):
    """A white "i" on a blue disc."""
    s = SCALE
    image = big(size, size)
    d = ImageDraw.Draw(image)
    n = size * s
    disc = rounded_mask(image.size, (0, 0, n - 1, n - 1), n // 2)
    image.paste(Image.new("RGBA", image.size, (32, 74, 135, 255)), (0, 0), disc)
    face = rounded_mask(image.size, (s, s, n - 1 - s, n - 1 - s), n // 2 - s)
    image.alpha_composite(gradient_fill(face, (114, 159, 207), (52, 101, 164)))
    d.ellipse((n * 0.42, n * 0.17, n * 0.58, n * 0.33), fill=(255, 255, 255, 255))
    d.rounded_rectangle((n * 0.42, n * 0.40, n * 0.58, n * 0.80), radius=n * 0.05,
                        fill=(255, 255, 255, 255))
    return reduce(image, size, size)


def no_entry(size, colour):
    """A circle with a slash: nothing to do here."""
    s = SCALE
    image = big(size, size)
    d = ImageDraw.Draw(image)
    n = size * s
    pen = int(n * 0.13)
    d.ellipse((pen / 2, pen / 2, n - pen / 2, n - pen / 2), outline=colour + (255,), width=pen)
    d.line([(n * 0.24, n * 0.24), (n * 0.76, n * 0.76)], fill=colour + (255,), width=pen)
    return reduce(image, size, size)


def key(size):
    """A gold key lying across the picture: bow with a hole, shaft and two bits."""
    s = SCALE
    image = big(size, size)
    d = ImageDraw.Draw(image)
    n = size * s
    gold, edge = (236, 190, 48, 255), (140, 100, 10, 255)
    pen = n * 0.13
    for colour, grow in ((edge, s), (gold, 0)):
        d.ellipse((n * 0.04 - grow, n * 0.28 - grow, n * 0.48 + grow, n * 0.72 + grow),
                  fill=colour)
        d.rectangle((n * 0.40, n * 0.5 - pen / 2 - grow, n * 0.96 + grow, n * 0.5 + pen / 2 + grow),
                    fill=colour)
        d.rectangle((n * 0.70 - grow, n * 0.5, n * 0.78 + grow, n * 0.76 + grow), fill=colour)
        d.rectangle((n * 0.84 - grow, n * 0.5, n * 0.92 + grow, n * 0.70 + grow), fill=colour)
    d.ellipse((n * 0.14, n * 0.42, n * 0.28, n * 0.58), fill=(0, 0, 0, 0))
    d.ellipse((n * 0.12, n * 0.34, n * 0.30, n * 0.44), fill=(255, 240, 180, 200))
    return reduce(image, size, size)


def led(size, colour, lit):
    """A round lamp in a dark bezel, with a highlight when lit."""
    s = SCALE
    image = big(size, size)
    n = size * s
    bezel = rounded_mask(image.size, (0, 0, n - 1, n - 1), n // 2)
    image.paste(Image.new("RGBA", image.size, (70, 70, 70, 255)), (0, 0), bezel)
    lens = rounded_mask(image.size, (s, s, n - 1 - s, n - 1 - s), n // 2 - s)
    top = mix(colour, (255, 255, 255), 0.45) if lit else mix(colour, (0, 0, 0), 0.25)
    bottom = colour if lit else mix(colour, (0, 0, 0), 0.55)
    image.alpha_composite(gradient_fill(lens, top, bottom))
    d = ImageDraw.Draw(image)
    glint = (255, 255, 255, 190 if lit else 90)
    d.ellipse((n * 0.28, n * 0.16, n * 0.62, n * 0.42), fill=glint)
    return reduce(image, size, size)


# --- The picture set -----------------------------------------------------------------------

FIELD_PLATES = {
    # name: (top, bottom, border) of the small field buttons
    "PEEK": ((236, 238, 242), (170, 176, 186), (96, 100, 110)),
    "YELLOW": ((255, 236, 130), (222, 170, 20), (150, 110, 10)),
    "BLUE": ((150, 192, 245), (44, 98, 190), (24, 60, 130)),
}


def field_button(name, pressed):
    top, bottom, border = FIELD_PLATES[name]
    if pressed:
        top, bottom = mix(bottom, (0, 0, 0), 0.15), mix(top, (0, 0, 0), 0.15)
        edge = mix(bottom, (0, 0, 0), 0.3)
    else:
        edge = mix(top, (255, 255, 255), 0.6)
    glyph = {
        "PEEK": lambda: eye(12, 7, (40, 44, 52)),
        "YELLOW": lambda: dots(12, 4, (90, 60, 0)),
        "BLUE": lambda: arrow(10, 7, (255, 255, 255)),
    }[name]()
    return button(24, 12, glyph, pressed, radius=6, colours=(top, bottom, border, edge))


def composed(base, badge, size, badge_size):
    """A theme icon with a smaller one in its lower right corner."""
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    image.alpha_composite(theme_icon(base, size))
    image.alpha_composite(theme_icon(badge, badge_size), (size - badge_size, size - badge_size))
    return image


def pictures():
    """name -> (released, pressed) RGBA images, plus the single disabled picture."""
    toolbar = {
        "OPEN": lambda: theme_icon("document-open", 20),
        "TB-CLOSE": lambda: composed("document-open", "edit-delete", 20, 11),
        "TB-NEW": lambda: theme_icon("document-new", 20),
        "TB-UNLOCK": lambda: theme_icon("changes-allow", 20),
        "SAVE": lambda: theme_icon("document-save-as", 20),
        "PRINT": lambda: theme_icon("document-print", 20),
        "TB-OPTIONS": lambda: theme_icon("preferences-system", 20),
        "TB-HELP": lambda: theme_icon("help-browser", 20),
        "TB-INFO": lambda: info_sign(18),
        "MIN": lambda: theme_icon("go-bottom", 20),
        "EXIT": lambda: theme_icon("application-exit", 20),
    }
    out = {}
    for name, glyph in toolbar.items():
        g = glyph()
        out[name] = (button(24, 24, g, False), button(24, 24, g, True))
    for name, colour in (("LED-G", (40, 200, 40)), ("LED-R", (225, 30, 30))):
        out[name] = (button(24, 24, led(14, colour, True), False),
                     button(24, 24, darker(led(14, colour, True), 0.8), True))
    for name in FIELD_PLATES:
        out[name] = (field_button(name, False), field_button(name, True))
    out["PLUS"] = tuple(button(32, 32, theme_icon("list-add", 24), p) for p in (False, True))
    out["X"] = tuple(button(32, 32, theme_icon("edit-delete", 24), p) for p in (False, True))
    out["V"] = tuple(button(32, 24, theme_icon("edit-find", 18), p) for p in (False, True))
    clear = [(theme_icon("edit-find", 18), (3, 6)), (theme_icon("edit-delete", 16), (4, 26))]
    out["CLR"] = tuple(button(24, 48, clear, p) for p in (False, True))
    disabled = plate(24, 24, False, colours=((246, 246, 246), (230, 230, 230), (196, 196, 196),
                                             (252, 252, 252)))
    disabled.alpha_composite(no_entry(14, (176, 176, 176)), (5, 5))
    return out, disabled


def design_pictures():
    """Pictures that controls show before any swap: the add button's first face and the
    about box's picture."""
    return {
        "design/ADDNEW": theme_icon("list-add", 32),
        "design/ABOUT": key(32),
    }


def program_icon(size):
    """The program's own icon, for its windows and the notification area: the key on a blue
    tile."""
    s = SCALE
    image = big(size, size)
    n = size * s
    tile = rounded_mask(image.size, (0, 0, n - 1, n - 1), n // 6)
    image.alpha_composite(gradient_fill(tile, (122, 170, 230), (28, 54, 110)))
    image = reduce(image, size, size)
    glyph = key(size * 13 // 16)
    image.alpha_composite(glyph, ((size - glyph.width) // 2, (size - glyph.height) // 2))
    return image


def save_gif(image, path):
    """Saves as GIF89a: soft edges blended into the background, the rest transparent."""
    alpha = image.getchannel("A")
    flat = Image.alpha_composite(Image.new("RGBA", image.size, BACKGROUND + (255,)), image)
    indexed = flat.convert("RGB").quantize(colors=63, dither=Image.Dither.NONE)
    palette = indexed.getpalette()[:63 * 3]
    palette += [0] * (63 * 3 - len(palette)) + list(BACKGROUND)
    indexed.putpalette(palette)
    pixels = indexed.load()
    mask = alpha.load()
    for y in range(image.height):
        for x in range(image.width):
            if mask[x, y] < 64:
                pixels[x, y] = 63
    indexed.info["version"] = b"89a"
    indexed.save(path, format="GIF", transparency=63, optimize=False)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "resources")
    os.makedirs(os.path.join(root, "skins", "design"), exist_ok=True)
    buttons, disabled = pictures()
    images = {"TB-DISABLED": disabled}
    for name, (up, down) in buttons.items():
        images[name + "UP"] = up
        images[name + "DOWN"] = down
    images.update(design_pictures())
    entries = []
    for name in sorted(images):
        save_gif(images[name], os.path.join(root, "skins", name + ".gif"))
        entries.append('        <file alias="%s">skins/%s.gif</file>' % (name, name))
    program_icon(64).save(os.path.join(root, "skins", "design", "ICON.png"), optimize=True)
    entries.append('        <file alias="design/ICON">skins/design/ICON.png</file>')
    with open(os.path.join(root, "skins.qrc"), "w") as qrc:
        qrc.write("<RCC>\n    <qresource prefix=\"/\">\n%s\n    </qresource>\n</RCC>\n"
                  % "\n".join(entries))


if __name__ == "__main__":
    main()
