"""Birds and the dog.

Bird song is made of whistles: nearly pure tones whose frequency glides and
trills (frequency modulation), each syllable with its own short envelope.
The bark is a voice: a harsh, quickly rising and falling pitch through the
resonances of a dog's mouth, with breath noise.
"""

import numpy as np

import dsp
from dsp import RATE


def _syllable(f_track, rng, harmonic2=0.08, shape=1.0):
    """One whistled syllable along the given frequency track."""
    n = len(f_track)
    t = np.linspace(0, 1, n)
    env = np.sin(np.pi * t) ** shape
    tone = dsp.harmonics(f_track, [1.0, harmonic2, harmonic2 * 0.3], phase_jitter=True, rng=rng)
    return dsp.fade(tone * env, 0.004, 0.004)


def blackbird(rng):
    """A blackbird's evening phrase: a few fluting notes that slide, then a
    quick twittering flourish."""
    out = dsp.silence(2.3)
    notes = [  # start, length, f from, f to, vibrato Hz, vibrato depth
        (0.05, 0.20, 1750, 2050, 9, 40),
        (0.30, 0.16, 2350, 2250, 12, 30),
        (0.50, 0.24, 1600, 1480, 7, 35),
        (0.80, 0.10, 1900, 2700, 0, 0),
        (0.95, 0.22, 2150, 1900, 10, 60),
    ]
    for at, length, f0, f1, vr, vd in notes:
        n = dsp.samples(length)
        t = np.arange(n) / RATE
        f = dsp.glide(f0, f1, n) + vd * np.sin(2 * np.pi * vr * t)
        dsp.place(out, _syllable(f, rng, shape=0.8), at, rng.uniform(0.8, 1.0))
    # the flourish: fast alternating high notes, softer
    at = 1.3
    for k in range(9):
        n = dsp.samples(0.035)
        hi = 3600 if k % 2 else 4300
        f = dsp.glide(hi, hi * 0.88, n)
        dsp.place(out, _syllable(f, rng, harmonic2=0.03), at, 0.55 * (1 - k / 14))
        at += 0.045
    # a last low "chook"
    n = dsp.samples(0.09)
    dsp.place(out, _syllable(dsp.glide(1500, 1150, n), rng, harmonic2=0.25, shape=0.5), 1.85, 0.5)
    return dsp.fade(out, 0.01, 0.1)


def sparrows(rng):
    """House sparrows chirping (tschilp): short up-and-down chirps, rough
    with a fast flutter, at uneven intervals."""
    out = dsp.silence(1.7)
    at = 0.03
    while at < 1.5:
        n = dsp.samples(rng.uniform(0.06, 0.09))
        t = np.linspace(0, 1, n)
        top = rng.uniform(4200, 4900)
        base = rng.uniform(2900, 3300)
        f = base + (top - base) * np.sin(np.pi * np.minimum(t * 1.4, 1)) ** 2
        f = f + 250 * np.sin(2 * np.pi * 55 * t * n / RATE)
        chirp = _syllable(f, rng, harmonic2=0.15, shape=0.6)
        flutter = 0.7 + 0.3 * np.sin(2 * np.pi * 110 * np.arange(n) / RATE)
        dsp.place(out, chirp * flutter, at, rng.uniform(0.6, 1.0))
        at += n / RATE + rng.uniform(0.06, 0.22)
    return dsp.fade(out, 0.01, 0.08)


# A medium dog's mouth: open-vowel resonances, wide.
DOG_FORMANTS = [(650, 300, 1.0), (1400, 400, 0.7), (2600, 600, 0.35), (3800, 900, 0.15)]


def _bark(rng, f_peak, length=0.14):
    n = dsp.samples(length)
    t = np.linspace(0, 1, n)
    # pitch jumps up at once, peaks early and falls off: "wuff"
    f0 = f_peak * (0.7 + 0.3 * np.sin(np.pi * np.minimum(t * 2.2, 1)) ) * (1 - 0.35 * t)
    f0 = f0 * (1 + 0.04 * rng.standard_normal(n).cumsum() / np.sqrt(n))
    voice = dsp.voiced(f0, DOG_FORMANTS, n_harm=30, breath=0.5, rng=rng)
    env = np.minimum(t / 0.08, 1) * np.exp(-np.maximum(t - 0.2, 0) / 0.3)
    return dsp.fade(voice * env, 0.0, 0.04)


def dog_bark(rng):
    """Two barks of a medium-sized dog: wuff - wuff."""
    out = dsp.silence(0.62)
    dsp.place(out, _bark(rng, 520), 0.01)
    dsp.place(out, _bark(rng, 470, 0.16), 0.3, 0.9)
    return dsp.fade(out, 0.005, 0.05)
