"""Reading screenshots and measuring what they show: where the watch is, how large, which
colours. Pure Python on binary PPM files, which ImageMagick's `convert` writes."""

from collections import Counter

BACKGROUND = (51, 51, 102)  # the clear colour (0.2, 0.2, 0.4) on an 8-bit screen
MIN_PAPER_LEVEL = 60  # the unlit side of the dial still gets the 0.2 ambient and the glass
PAPER_SPREAD = 14  # the paper's shading and the glass's highlight vary by this much


def read_ppm(path):
    """Returns (width, height, bytes of RGB triples, top row first) of a binary PPM."""
    with open(path, "rb") as ppm:
        data = ppm.read()
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position : position + 1].isspace():
            position += 1
        if data[position : position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        start = position
        while not data[position : position + 1].isspace():
            position += 1
        fields.append(data[start:position])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError(f"{path}: not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1 : position + 1 + 3 * width * height]
    if len(pixels) != 3 * width * height:
        raise ValueError(f"{path}: truncated picture")
    return width, height, pixels


def pixel_at(picture, x, y):
    width, height, pixels = picture
    if not (0 <= x < width and 0 <= y < height):
        raise ValueError(f"pixel ({x}, {y}) outside a {width}x{height} picture")
    offset = 3 * (y * width + x)
    return tuple(pixels[offset : offset + 3])


def is_background(colour, tolerance=3):
    return all(abs(c - b) <= tolerance for c, b in zip(colour, BACKGROUND))


def paper_colour(picture):
    """The dial's paper as the picture shows it: the grey level around which most light
    neutral pixels gather. The dial is the largest light, untinted area in every pose
    (white paper under a white light and a grey glass); the metal of the case is darker
    or spread over many levels."""
    pixels = picture[2]
    levels = [0] * 256
    for (r, g, b), n in Counter(zip(pixels[0::3], pixels[1::3], pixels[2::3])).items():
        if r >= MIN_PAPER_LEVEL and abs(r - g) <= 4 and abs(g - b) <= 4:
            levels[g] += n
    best, best_count = None, 0
    for centre in range(MIN_PAPER_LEVEL, 256):
        count = sum(levels[max(0, centre - PAPER_SPREAD) : centre + PAPER_SPREAD + 1])
        if count > best_count:
            best, best_count = centre, count
    if best is None or best_count < 100:
        return None
    return (best, best, best)


def is_red(r, g, b):
    """The hands and the dial's red numbers, lit or not."""
    return r >= 80 and r - g >= 40 and r - b >= 40


def measure(picture, paper=None):
    """Counts of background, paper (the dial's colour, found with paper_colour unless
    given), red and other pixels; the bounding box of everything that is not background;
    and the dial's extent: the run of rows and columns, around the paper's centre, that
    hold a fair share of paper."""
    width, height, pixels = picture
    paper = paper or paper_colour(picture) or BACKGROUND
    counts = {"background": 0, "paper": 0, "red": 0, "other": 0}
    paper_rows = [0] * height
    paper_columns = [0] * width
    sum_x = sum_y = 0
    fg = [width, height, -1, -1]
    pr, pg, pb = paper
    index = -1
    for r, g, b in zip(pixels[0::3], pixels[1::3], pixels[2::3]):
        index += 1
        if abs(r - 51) <= 3 and abs(g - 51) <= 3 and abs(b - 102) <= 3:
            counts["background"] += 1
            continue
        y, x = divmod(index, width)
        if x < fg[0]:
            fg[0] = x
        if x > fg[2]:
            fg[2] = x
        if y < fg[1]:
            fg[1] = y
        fg[3] = y
        if (abs(r - pr) <= PAPER_SPREAD and abs(g - pg) <= PAPER_SPREAD
                and abs(b - pb) <= PAPER_SPREAD and abs(r - g) <= 4 and abs(g - b) <= 4):
            counts["paper"] += 1
            paper_rows[y] += 1
            paper_columns[x] += 1
            sum_x += x
            sum_y += y
        elif r >= 80 and r - g >= 40 and r - b >= 40:
            counts["red"] += 1
        else:
            counts["other"] += 1
    result = dict(counts)
    result["paper_colour"] = paper
    result["size"] = (width, height)
    result["foreground_box"] = tuple(fg) if fg[2] >= 0 else None
    result["dial"] = None
    if counts["paper"] >= 200:
        centre = (sum_x / counts["paper"], sum_y / counts["paper"])
        left, right = _run_around(paper_columns, int(centre[0]), 4)
        top, bottom = _run_around(paper_rows, int(centre[1]), 4)
        result["dial"] = {
            "left": left,
            "top": top,
            "width": right - left + 1,
            "height": bottom - top + 1,
            "centre": ((left + right) / 2, (top + bottom) / 2),
        }
    return result


def _run_around(histogram, start, minimum):
    """The widest stretch of entries >= minimum that contains start (or the entry nearest
    to it that qualifies)."""
    candidates = [i for i, n in enumerate(histogram) if n >= minimum]
    if not candidates:
        return start, start
    start = min(candidates, key=lambda i: abs(i - start))
    low = high = start
    while low > 0 and histogram[low - 1] >= minimum:
        low -= 1
    while high + 1 < len(histogram) and histogram[high + 1] >= minimum:
        high += 1
    return low, high


def changed_fraction(first, second, box=None, tolerance=24):
    """Share of pixels (inside box = (left, top, width, height), default all) that differ
    by more than tolerance in some channel."""
    width, height, a = first
    if second[:2] != (width, height):
        return 1.0
    b = second[2]
    left, top, box_width, box_height = box or (0, 0, width, height)
    changed = 0
    for y in range(top, top + box_height):
        start = 3 * (y * width + left)
        end = start + 3 * box_width
        row_a, row_b = a[start:end], b[start:end]
        if row_a == row_b:
            continue
        changed += sum(1 for i in range(0, len(row_a), 3)
                       if abs(row_a[i] - row_b[i]) > tolerance
                       or abs(row_a[i + 1] - row_b[i + 1]) > tolerance
                       or abs(row_a[i + 2] - row_b[i + 2]) > tolerance)
    return changed / float(box_width * box_height)


def count_in_disc(picture, centre, radius, test):
    """How many pixels within radius of centre satisfy test(r, g, b), and how many were
    looked at."""
    width, height, pixels = picture
    cx, cy = centre
    hits = total = 0
    for y in range(max(0, int(cy - radius)), min(height, int(cy + radius) + 1)):
        for x in range(max(0, int(cx - radius)), min(width, int(cx + radius) + 1)):
            if (x - cx) ** 2 + (y - cy) ** 2 > radius * radius:
                continue
            offset = 3 * (y * width + x)
            total += 1
            if test(pixels[offset], pixels[offset + 1], pixels[offset + 2]):
                hits += 1
    return hits, total


def edge_share(picture, centre, radius, step=2, contrast=60):
    """The share of pixels within radius of centre that differ in lightness by more than
    contrast from the pixel step to their right, neither being red: the outlines of
    printed marks such as numerals. Smooth shading and the hands do not count."""
    width, height, pixels = picture
    cx, cy = centre
    hits = total = 0
    for y in range(max(0, int(cy - radius)), min(height, int(cy + radius) + 1)):
        for x in range(max(0, int(cx - radius)), min(width - step, int(cx + radius) + 1)):
            if (x - cx) ** 2 + (y - cy) ** 2 > radius * radius:
                continue
            total += 1
            a = 3 * (y * width + x)
            b = a + 3 * step
            first, second = pixels[a : a + 3], pixels[b : b + 3]
            if is_red(*first) or is_red(*second):
                continue
            if abs(sum(first) - sum(second)) > 3 * contrast:
                hits += 1
    return hits / max(total, 1)
