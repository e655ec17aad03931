"""Measures what a screenshot shows: where the watch is, how large, which colours. A picture
is (width, height, bytes of RGB triples, top row first)."""

from collections import Counter

BACKGROUND = (51, 51, 102)  # the clear colour (0.2, 0.2, 0.4) on an 8-bit screen
MIN_PAPER_LEVEL = 60  # the unlit side of the dial still gets the 0.2 ambient and the glass
PAPER_SPREAD = 14  # the paper's shading and the glass's highlight vary by this much


def is_background(colour, tolerance=3):
    return all(abs(c - b) <= tolerance for c, b in zip(colour, BACKGROUND))


def is_red(r, g, b):
    """The hands and the dial's red numbers, lit or not."""
    return r >= 80 and r - g >= 40 and r - b >= 40


def paper_colour(picture):
    """The grey level most light neutral pixels gather around: the dial, the largest light,
    untinted area in every pose; the metal of the case is darker or spread over many levels."""
    levels = [0] * 256
    pixels = picture[2]
    for (r, g, b), n in Counter(zip(pixels[0::3], pixels[1::3], pixels[2::3])).items():
        if r >= MIN_PAPER_LEVEL and abs(r - g) <= 4 and abs(g - b) <= 4:
            levels[g] += n

    def around(level):
        return sum(levels[max(0, level - PAPER_SPREAD) : level + PAPER_SPREAD + 1])

    best = max(range(MIN_PAPER_LEVEL, 256), key=around)
    return (best,) * 3 if around(best) >= 100 else None


def measure(picture, paper=None):
    """Counts of background, paper, red and other pixels; the box around all that is not
    background; the dial: the run of rows and columns around the paper's centre with paper."""
    width, height, pixels = picture
    pr, pg, pb = paper = paper or paper_colour(picture) or BACKGROUND
    counts = {"background": 0, "paper": 0, "red": 0, "other": 0}
    rows, columns = [0] * height, [0] * width
    sum_x = sum_y = 0
    left, top, right, bottom = width, height, -1, -1
    for index, (r, g, b) in enumerate(zip(pixels[0::3], pixels[1::3], pixels[2::3])):
        if abs(r - 51) <= 3 and abs(g - 51) <= 3 and abs(b - 102) <= 3:
            counts["background"] += 1
            continue
        y, x = divmod(index, width)
        if x < left:
            left = x
        if x > right:
            right = x
        if y < top:
            top = y
        bottom = y
        if (abs(r - pr) <= PAPER_SPREAD and abs(g - pg) <= PAPER_SPREAD
                and abs(b - pb) <= PAPER_SPREAD and abs(r - g) <= 4 and abs(g - b) <= 4):
            counts["paper"] += 1
            rows[y] += 1
            columns[x] += 1
            sum_x += x
            sum_y += y
        else:
            counts["red" if is_red(r, g, b) else "other"] += 1
    counts["paper_colour"] = paper
    counts["foreground_box"] = (left, top, right, bottom) if right >= 0 else None
    counts["dial"] = None
    if counts["paper"] >= 200:
        left, right = _run_around(columns, sum_x // counts["paper"])
        top, bottom = _run_around(rows, sum_y // counts["paper"])
        counts["dial"] = {"width": right - left + 1, "height": bottom - top + 1,
                          "centre": ((left + right) / 2, (top + bottom) / 2)}
    return counts


def _run_around(histogram, start, minimum=4):
    """The stretch of entries >= minimum holding start, or the one nearest to it."""
    candidates = [i for i, n in enumerate(histogram) if n >= minimum]
    if not candidates:
        return start, start
    low = high = min(candidates, key=lambda i: abs(i - start))
    while low > 0 and histogram[low - 1] >= minimum:
        low -= 1
    while high + 1 < len(histogram) and histogram[high + 1] >= minimum:
        high += 1
    return low, high


def changed_fraction(first, second, box=None, tolerance=24):
    """Share of pixels in box (left, top, width, height) differing by > tolerance in a channel."""
    width, height, a = first
    if second[:2] != (width, height):
        return 1.0
    b = second[2]
    left, top, box_width, box_height = box or (0, 0, width, height)
    changed = 0
    for y in range(top, top + box_height):
        start = 3 * (y * width + left)
        end = start + 3 * box_width
        if a[start:end] != b[start:end]:
            changed += sum(1 for i in range(start, end, 3)
                           if abs(a[i] - b[i]) > tolerance or abs(a[i + 1] - b[i + 1]) > tolerance
                           or abs(a[i + 2] - b[i + 2]) > tolerance)
    return changed / (box_width * box_height)


def disc_share(picture, centre, radius, test):
    """The share of the pixels within radius of centre for which test(pixels, offset) holds;
    the last two columns are left out so that a test may look two pixels to the right."""
    width, height, pixels = picture
    cx, cy = centre
    hits = total = 0
    for y in range(max(0, int(cy - radius)), min(height, int(cy + radius) + 1)):
        for x in range(max(0, int(cx - radius)), min(width - 2, int(cx + radius) + 1)):
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                total += 1
                hits += bool(test(pixels, 3 * (y * width + x)))
    return hits / max(total, 1)


def edge_share(picture, centre, radius, contrast=60):
    """Outlines of printed marks such as numerals, not smooth shading nor the red hands: pixels
    whose lightness differs by over contrast from the pixel two to their right, neither red."""

    def edge(pixels, offset):
        first, second = pixels[offset : offset + 3], pixels[offset + 6 : offset + 9]
        return (not is_red(*first) and not is_red(*second)
                and abs(sum(first) - sum(second)) > 3 * contrast)

    return disc_share(picture, centre, radius, edge)
