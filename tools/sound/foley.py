"""Everyday noises: knocks, doors, shutters, the camera, the voices and
steps of the figures, the pavement renewer's broom and a crate of bottles.

An impact excites the few low modes of the struck board or pane (short
inharmonic partials) plus a click of broadband noise; friction (a creaking
hinge, a sliding shutter) is a train of stick-slip pulses whose rate wanders,
filtered by the resonances of the wood.
"""

import numpy as np

import dsp
from dsp import RATE

WOOD_DOOR = ([1.0, 2.31, 3.95, 6.1], 95.0, [1.0, 0.6, 0.35, 0.2], [0.07, 0.045, 0.03, 0.018])
KNUCKLE_DOOR = ([1.0, 1.9, 3.3, 5.2], 180.0, [1.0, 0.7, 0.45, 0.25], [0.045, 0.03, 0.02, 0.012])
GLASS_PANE = ([1.0, 2.69, 6.2, 10.0], 420.0, [1.0, 0.55, 0.3, 0.15], [0.05, 0.03, 0.018, 0.01])
SHUTTER_WOOD = ([1.0, 2.1, 3.7, 5.9], 210.0, [1.0, 0.6, 0.4, 0.2], [0.05, 0.035, 0.02, 0.012])
METAL_LATCH = ([1.0, 1.52, 2.27, 3.1], 2750.0, [1.0, 0.7, 0.4, 0.25], [0.02, 0.015, 0.01, 0.007])
BRASS_KNOCKER = ([1.0, 2.52, 4.1], 880.0, [1.0, 0.45, 0.25], [0.18, 0.09, 0.05])


def impact(body, rng, length=0.25, click=0.3, click_band=3000, hardness=1.0):
    """A blow on a body (ratios, base, amps, decays): its modes ring briefly
    on top of a short noisy click."""
    ratios, base, amps, decays = body
    n = dsp.samples(length)
    x = dsp.partials(ratios, base * rng.uniform(0.98, 1.02), amps, decays, n, rng=rng)
    tick = dsp.shape_noise(n, dsp.bandpass(click_band, 0.7), rng)
    tick = tick / np.max(np.abs(tick)) * dsp.exp_decay(n, 0.0015 * (2 - hardness))
    x = x / np.max(np.abs(x)) + click * tick
    attack = dsp.smooth_step(dsp.samples(0.001))
    x[:len(attack)] *= attack
    return x


def knocks(rng, body, times, length, gains=None, click=0.3):
    out = dsp.silence(length)
    for i, at in enumerate(times):
        g = gains[i] if gains else rng.uniform(0.85, 1.0)
        dsp.place(out, impact(body, rng, click=click), at, g)
    return dsp.fade(out, 0.003, 0.05)


def door_knock(rng):
    """Knuckles on a wooden house door, three times."""
    return knocks(rng, KNUCKLE_DOOR, [0.01, 0.17, 0.33], 0.65, [0.9, 1.0, 0.95])


def glass_knock(rng):
    """Two taps on the big shop window."""
    return knocks(rng, GLASS_PANE, [0.01, 0.14], 0.45, [1.0, 0.85], click=0.5)


def brass_knocker(rng):
    """The heavy brass knocker of door 3: metal on metal, carried by the
    wooden door."""
    out = dsp.silence(0.85)
    for at, g in ((0.01, 1.0), (0.32, 0.9)):
        ring = impact(BRASS_KNOCKER, rng, length=0.5, click=0.4, click_band=4000)
        thud = impact(WOOD_DOOR, rng, length=0.3, click=0.1)
        dsp.place(out, ring, at, 0.6 * g)
        dsp.place(out, thud, at, 0.8 * g)
    return dsp.fade(out, 0.003, 0.1)


def creak(rng, length, rate_from, rate_to, body=((420, 8.0, 1.0), (950, 9.0, 0.7), (1750, 9.0, 0.4))):
    """A hinge or wooden slide: stick-slip pulses at a wandering rate."""
    n = dsp.samples(length)
    rates = dsp.glide(rate_from, rate_to, n) * dsp.wobble(n, rng, rate=12, depth=0.15)
    phase = np.cumsum(rates) / RATE
    pulses = np.zeros(n)
    idx = np.nonzero(np.diff(np.floor(phase)) > 0)[0]
    pulses[idx] = rng.uniform(0.5, 1.0, len(idx))
    x = dsp.spectrum_filter(pulses, dsp.combine(dsp.resonances(list(body)), dsp.lowpass(3000, 2)))
    x /= max(np.max(np.abs(x)), 1e-9)
    t = np.linspace(0, 1, n)
    return x * np.sin(np.pi * t) ** 0.5


def house_door(rng):
    """A house door: the latch, the hinges creak as it swings, then it falls
    shut with a thud and the latch snaps in."""
    out = dsp.silence(0.95)
    dsp.place(out, impact(METAL_LATCH, rng, 0.08, click=0.5, click_band=5000), 0.01, 0.35)
    dsp.place(out, creak(rng, 0.32, 60, 140), 0.06, 0.35)
    slam = impact(WOOD_DOOR, rng, 0.4, click=0.15, click_band=1500)
    dsp.place(out, slam, 0.52, 1.0)
    dsp.place(out, impact(METAL_LATCH, rng, 0.08, click=0.6, click_band=5000), 0.53, 0.4)
    return dsp.fade(out, 0.003, 0.1)


def shutter(rng):
    """Wooden window shutters pulled to: a short scraping slide, the clack of
    the two leaves and the hook dropping in."""
    out = dsp.silence(0.82)
    slide = creak(rng, 0.3, 35, 70, body=((700, 2.0, 1.0), (1500, 3.0, 0.6), (2800, 3.0, 0.3)))
    noise = dsp.shape_noise(len(slide), dsp.bandpass(1200, 1.0), rng)
    slide = slide + 0.4 * noise / np.max(np.abs(noise)) * np.sin(np.pi * np.linspace(0, 1, len(slide)))
    dsp.place(out, slide, 0.01, 0.35)
    dsp.place(out, impact(SHUTTER_WOOD, rng, 0.3, click=0.3), 0.34, 1.0)
    dsp.place(out, impact(SHUTTER_WOOD, rng, 0.25, click=0.3), 0.37, 0.6)
    dsp.place(out, impact(METAL_LATCH, rng, 0.08, click=0.5, click_band=5000), 0.58, 0.45)
    return dsp.fade(out, 0.003, 0.08)


def camera(rng):
    """A film camera: the mirror and shutter clack, then the thumb lever
    winds the film on with a ratchet."""
    out = dsp.silence(0.5)
    body = ([1.0, 2.6, 4.3, 6.2], 1100.0, [0.7, 1.0, 0.6, 0.3], [0.012, 0.009, 0.006, 0.004])
    dsp.place(out, impact(body, rng, 0.06, click=0.8, click_band=4000), 0.005, 1.0)
    dsp.place(out, impact(body, rng, 0.06, click=0.8, click_band=5000), 0.065, 0.8)
    tick_body = ([1.0, 1.7, 2.9], 3300.0, [1.0, 0.6, 0.3], [0.004, 0.003, 0.002])
    at = 0.2
    for k in range(9):
        dsp.place(out, impact(tick_body, rng, 0.02, click=0.6, click_band=6000), at, 0.35)
        at += 0.017
    return dsp.fade(out, 0.003, 0.04)


# --- voices ---------------------------------------------------------------

VOWEL_O = [(480, 90, 1.0), (820, 110, 0.6), (2600, 180, 0.12), (3300, 250, 0.06)]
VOWEL_A = [(750, 120, 1.0), (1200, 140, 0.6), (2600, 200, 0.2), (3400, 300, 0.08)]


def oh(rng):
    """A short, wondering 'oh?' of a grown-up, the pitch rising at the end."""
    n = dsp.samples(0.42)
    t = np.linspace(0, 1, n)
    f0 = 135 * (1 + 0.45 * t ** 2.2) * (1 + 0.01 * np.sin(2 * np.pi * 5.5 * t * 0.42))
    x = dsp.voiced(f0, VOWEL_O, n_harm=40, breath=0.08, rng=rng)
    env = np.minimum(t / 0.1, 1) * np.minimum((1 - t) / 0.25, 1)
    return dsp.fade(x * env, 0.01, 0.03)


def _cough_once(rng, length, f0):
    n = dsp.samples(length)
    t = np.arange(n) / RATE
    burst = dsp.shape_noise(n, lambda f: (dsp.formant_gain(f, VOWEL_A) + 0.15) * dsp.lowpass(4500, 2)(f), rng)
    burst /= np.max(np.abs(burst))
    voice = dsp.voiced(dsp.glide(f0, f0 * 0.8, n), VOWEL_A, n_harm=30, rng=rng)
    voice /= np.max(np.abs(voice))
    env = np.minimum(t / 0.006, 1) * np.exp(-t / 0.07)
    return dsp.fade((burst + 0.35 * voice * np.exp(-t / 0.05)) * env, 0.0, 0.05)


def cough(rng):
    """Two dry coughs in the cold."""
    out = dsp.silence(0.62)
    dsp.place(out, _cough_once(rng, 0.25, 150), 0.01, 1.0)
    dsp.place(out, _cough_once(rng, 0.25, 140), 0.27, 0.8)
    return dsp.fade(out, 0.004, 0.06)


# --- wheels, steps and tools -------------------------------------------------

def _rolling(n, rng, centre=350, bumps=28, depth=0.5):
    roll = dsp.shape_noise(n, dsp.combine(dsp.bandpass(centre, 0.9), dsp.lowpass(1500, 2)), rng)
    roll /= np.max(np.abs(roll))
    bump = 1 - depth * (0.5 + 0.5 * np.sin(2 * np.pi * bumps * np.arange(n) / RATE))
    return roll * bump


def skate_skid(rng):
    """Roller skates braking: rolling rumble, a scrape of the stopper that
    rises into a short rubber squeal."""
    n = dsp.samples(0.55)
    t = np.linspace(0, 1, n)
    roll = _rolling(n, rng) * (1 - t) ** 0.5
    scrape = dsp.moving_filter(dsp.white(n, rng),
                               lambda tt, f: dsp.bandpass(2600 - 2600 * tt, 1.5)(f))
    scrape /= np.max(np.abs(scrape))
    scrape *= np.sin(np.pi * np.minimum(t * 1.3, 1)) * dsp.wobble(n, rng, rate=30, depth=0.3)
    squeal_f = 1550 + 120 * np.sin(2 * np.pi * 17 * t * 0.55)
    squeal = dsp.harmonics(squeal_f, [1, 0.2], n) * np.clip((t - 0.35) / 0.25, 0, 1) * np.clip((1 - t) / 0.15, 0, 1)
    x = 0.6 * roll + 0.8 * scrape + 0.25 * squeal
    return dsp.fade(x, 0.01, 0.05)


def skate_stride(rng):
    """One long stride on roller skates: the push scrapes, then the wheels
    roll on."""
    n = dsp.samples(0.5)
    t = np.linspace(0, 1, n)
    roll = _rolling(n, rng, centre=300, bumps=34, depth=0.4) * np.sin(np.pi * t) ** 0.7
    push = dsp.shape_noise(n, dsp.bandpass(2800, 1.2), rng)
    push = push / np.max(np.abs(push)) * np.exp(-t * 0.5 / 0.05) * np.minimum(t / 0.02, 1)
    return dsp.fade(roll + 0.5 * push, 0.01, 0.05)


def broom(rng):
    """The pavement renewer at work: two strokes of a stiff broom over the
    stones, the bristles catching as they go."""
    n = dsp.samples(1.0)
    out = np.zeros(n)
    for at, length in ((0.02, 0.38), (0.5, 0.42)):
        m = dsp.samples(length)
        t = np.linspace(0, 1, m)
        swish = dsp.moving_filter(dsp.white(m, rng),
                                  lambda tt, f, L=length: dsp.bandpass(4200 - 1800 * tt / L, 1.0)(f))
        swish /= np.max(np.abs(swish))
        grains = np.zeros(m)
        idx = rng.integers(0, m, 60)
        grains[idx] = rng.uniform(-1, 1, 60)
        grains = dsp.spectrum_filter(grains, dsp.bandpass(3000, 1.5))
        grains /= max(np.max(np.abs(grains)), 1e-9)
        stroke = (swish + 0.5 * grains) * np.sin(np.pi * t) ** 1.5
        dsp.place(out, stroke, at)
    return dsp.fade(out, 0.01, 0.05)


def pram_squeak(rng):
    """The pair's pram: a dry wheel squeak, then a footstep."""
    out = dsp.silence(0.45)
    m = dsp.samples(0.15)
    t = np.linspace(0, 1, m)
    f = 1900 + 160 * np.sin(2 * np.pi * 26 * t * 0.15) + 200 * t
    sq = dsp.harmonics(f, [1, 0.3, 0.15], phase_jitter=True, rng=rng) * np.sin(np.pi * t) ** 2
    dsp.place(out, sq, 0.01, 0.6)
    step_n = dsp.samples(0.12)
    st = dsp.shape_noise(step_n, dsp.combine(dsp.bandpass(220, 1.0), dsp.lowpass(900, 2)), rng)
    st = st / np.max(np.abs(st)) * dsp.exp_decay(step_n, 0.025)
    heel = impact(([1.0, 2.2], 140.0, [1.0, 0.4], [0.03, 0.02]), rng, 0.12, click=0.2, click_band=1800)
    dsp.place(out, st + 0.8 * heel, 0.24, 0.8)
    return dsp.fade(out, 0.004, 0.04)


def bottle_rattle(rng):
    """Crates of bottles on a lorry bed clinking over the cobbles."""
    n = dsp.samples(0.65)
    out = np.zeros(n)
    rumble = dsp.shape_noise(n, dsp.combine(dsp.bandpass(160, 1.0), dsp.lowpass(600, 2)), rng)
    out += 0.25 * rumble / np.max(np.abs(rumble))
    for _ in range(16):
        base = rng.uniform(1700, 2600)
        clink = dsp.partials([1.0, 2.31, 3.87], base, [1.0, 0.5, 0.3], [0.04, 0.025, 0.015],
                             dsp.samples(0.15), rng=rng)
        dsp.place(out, clink, rng.uniform(0.01, 0.5), rng.uniform(0.3, 1.0))
    return dsp.fade(out, 0.01, 0.06)
