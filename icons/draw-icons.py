#!/usr/bin/env python3
"""Draws the testers' window icons as 16-colour XPM files (run once; the output is kept)."""

PALETTE = {
    '.': 'None',      # transparent
    'k': '#000000',   # outline
    'b': '#000080',   # box (GPI tester)
    'm': '#800000',   # box (ZED8 tester)
    'g': '#00FF00',   # lit LED
    'd': '#008000',   # dark LED
    'r': '#FF0000',   # lit output
    'w': '#FFFFFF',
    'y': '#FFFF00',
    's': '#C0C0C0',   # connector
}


def draw(size, box, leds_rows):
    px = [['.'] * size for _ in range(size)]
    m = 1 if size == 16 else 2
    for y in range(m, size - m):
        for x in range(m, size - m):
            edge = y in (m, size - m - 1) or x in (m, size - m - 1)
            px[y][x] = 'k' if edge else box
    # connector tab on top
    for x in range(size // 2 - size // 8, size // 2 + size // 8):
        px[0][x] = 's'
        if m > 1:
            px[1][x] = 's'
    # LEDs: inputs (green) on the left, outputs (red) on the right
    step = 2 if size == 16 else 4
    ledsize = 1 if size == 16 else 2
    top = m + 2 if size == 16 else m + 4
    for row in range(leds_rows):
        for col in range(2):
            for i in range(2 if size == 16 else 3):
                x0 = (m + 2 if col == 0 else size // 2 + 1) + i * step
                y0 = top + row * step
                lit = (row + i) % 2 == 0
                colour = ('g' if lit else 'd') if col == 0 else ('r' if lit else 'k')
                for dy in range(ledsize):
                    for dx in range(ledsize):
                        if y0 + dy < size - m - 1 and x0 + dx < size - m - 1:
                            px[y0 + dy][x0 + dx] = colour
    # arrow from inputs to outputs along the bottom
    y = size - m - 3
    for x in range(m + 2, size - m - 2):
        px[y][x] = 'y'
    px[y - 1][size - m - 4] = 'y'
    px[y + 1][size - m - 4] = 'y'
    return px


def write(name, px):
    size = len(px)
    used = sorted({c for row in px for c in row})
    lines = ['/* XPM */', 'static const char *%s[] = {' % name.replace('-', '_'),
             '"%d %d %d 1",' % (size, size, len(used))]
    lines += ['"%s c %s",' % (c, PALETTE[c]) for c in used]
    lines += ['"%s",' % ''.join(row) for row in px]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    with open(name + '.xpm', 'w') as f:
        f.write('\n'.join(lines) + '\n')


for size in (16, 32):
    write('vorn-gpi-tester-%d' % size, draw(size, 'b', 5 if size == 32 else 3))
    write('vorn-zed8-tester-%d' % size, draw(size, 'm', 2 if size == 32 else 1))
