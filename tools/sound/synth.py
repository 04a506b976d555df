#!/usr/bin/python3
"""Builds the screensaver's sounds.

    synth.py --out DIR --rc FILE --dist DIR [--list FILE] [--only NAME ...]

writes SOUND00.wav .. SOUND52.wav into DIR, a resource script FILE that binds
them as "SOUNDnn" of type WAVE, and sound/glocken.mp3 and sound/alarm.mp3 into
the DIST folder (WAV data: the sound library reads files by their content).
--list writes a table of every sound with its length and level.

Every sound is synthesised here from a fixed seed, so a build is repeatable.
"""

import argparse
import multiprocessing
import os
import sys
import zlib
from pathlib import Path

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import catalogue  # noqa: E402
import dsp  # noqa: E402


def render(sound):
    """The finished samples of one sound: made, faded, levelled."""
    rng = np.random.default_rng(zlib.crc32(sound.name.encode()))
    x = sound.make(rng)
    if x is None:
        return dsp.silence(catalogue.SILENT_LENGTH)
    x = dsp.fade(x, 0.004, 0.005)  # the recipes fade; this pins the ends
    x = dsp.normalise(x, sound.level())
    return x


def _by_name(name):
    return next(s for s in catalogue.SAMPLES + catalogue.FILES if s.name == name)


def _render_to(args):
    name, path = args
    sound = _by_name(name)
    x = render(sound)
    path.parent.mkdir(parents=True, exist_ok=True)
    tmp = path.with_name(path.name + ".tmp")
    dsp.write_wav(tmp, x)
    os.replace(tmp, path)
    return sound.name, len(x) / dsp.RATE, dsp.level_db(x), dsp.db(dsp.peak(x))


def rc_text(out_dir):
    lines = ["// Made by tools/sound/synth.py at build time: the sound effects.",
             "// Sounds are the same in every language.",
             "LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL", ""]
    for s in catalogue.SAMPLES:
        path = (out_dir / (s.name + ".wav")).resolve().as_posix()
        lines.append('%s WAVE "%s"' % (s.name, path))
    return "\n".join(lines) + "\n"


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", required=True, type=Path)
    ap.add_argument("--rc", required=True, type=Path)
    ap.add_argument("--dist", required=True, type=Path)
    ap.add_argument("--list", type=Path)
    ap.add_argument("--only", nargs="*", help="render only these names (for listening)")
    args = ap.parse_args(argv)

    jobs = [(s.name, args.out / (s.name + ".wav")) for s in catalogue.SAMPLES]
    jobs += [(s.name, args.dist / s.name) for s in catalogue.FILES]
    if args.only:
        jobs = [j for j in jobs if j[0] in args.only]
    with multiprocessing.Pool() as pool:
        results = pool.map(_render_to, jobs)
    # Written on every run: the build recompiles the resource script when
    # this file is newer, and the samples have just changed.
    args.rc.parent.mkdir(parents=True, exist_ok=True)
    args.rc.write_text(rc_text(args.out))

    if args.list:
        rows = ["%-18s %-8s %6s %7s %7s  %s" % ("name", "class", "len s", "level", "peak", "what")]
        for name, length, level, pk in results:
            s = _by_name(name)
            rows.append("%-18s %-8s %6.2f %7.1f %7.1f  %s" % (name, s.kind, length, level, pk, s.what))
        args.list.write_text("\n".join(rows) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
