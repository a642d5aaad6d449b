#!/usr/bin/env python3
"""Draws the regions of polyline DXF files (as `quarvel-cli contours ... -o X.dxf` writes
them) as an SVG picture, to look at contour results. Usage:

    regions_svg.py OUT.svg FILE.dxf[:colour] [FILE2.dxf[:colour] ...] [--width PX]

Every polyline is drawn as a path, y pointing up. Without a colour, a region's colour
follows its depth (light blue for shallow, dark blue for deep); its first vertex is
marked with a dot so that the direction of travel can be read along with the arrow at
its first segment.
"""
import sys


def read_polylines(path):
    with open(path, newline="") as f:
        lines = [line.rstrip("\r\n") for line in f]
    polylines, current, vertex = [], None, None
    for code, value in zip(lines[0::2], lines[1::2]):
        code = code.strip()
        if code == "0":
            if vertex is not None and current is not None:
                current.append(tuple(vertex))
            vertex = None
            if value == "POLYLINE":
                current = []
            elif value == "VERTEX":
                vertex = [0.0, 0.0, 0.0]
            elif value == "SEQEND" and current is not None:
                polylines.append(current)
                current = None
        elif vertex is not None and code in ("10", "20", "30"):
            vertex["10 20 30".split().index(code)] = float(value)
    return polylines


def depth_colour(depth, low, high):
    t = 0.0 if high <= low else (depth - low) / (high - low)
    light, dark = (150, 190, 255), (10, 40, 150)
    return "rgb(%d,%d,%d)" % tuple(round(a + (b - a) * t) for a, b in zip(light, dark))


def main(argv):
    width = 600
    if "--width" in argv:
        at = argv.index("--width")
        width = int(argv[at + 1])
        del argv[at:at + 2]
    out, sources = argv[1], argv[2:]
    layers = []
    for source in sources:
        path, _, colour = source.partition(":")
        layers.append((read_polylines(path), colour or None))
    points = [v for polys, _ in layers for p in polys for v in p]
    if not points:
        sys.exit("no polylines found")
    xs, ys, zs = [p[0] for p in points], [p[1] for p in points], [p[2] for p in points]
    span = max(max(xs) - min(xs), max(ys) - min(ys)) or 1.0
    scale = (width - 20) / span
    height = round((max(ys) - min(ys)) * scale) + 20
    at = lambda v: (10 + (v[0] - min(xs)) * scale, height - 10 - (v[1] - min(ys)) * scale)
    body = []
    for polys, colour in layers:
        for poly in polys:
            stroke = colour or depth_colour(poly[0][2], min(zs), max(zs))
            d = " ".join("%s%.2f,%.2f" % ("M" if i == 0 else "L", *at(v)) for i, v in enumerate(poly))
            body.append('<path d="%s" fill="none" stroke="%s" stroke-width="1.5"/>' % (d, stroke))
            x, y = at(poly[0])
            body.append('<circle cx="%.2f" cy="%.2f" r="2.5" fill="%s"/>' % (x, y, stroke))
    with open(out, "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d">\n' % (width, height))
        f.write('<rect width="100%" height="100%" fill="white"/>\n')
        f.write("\n".join(body) + "\n</svg>\n")


if __name__ == "__main__":
    main(sys.argv)
