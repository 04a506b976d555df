"""Struck metal: the tower clock, church bells, tram bell, door chime and
electric bells, the ice-cream van's glockenspiel and the alarm clock.

A struck body rings in inharmonic partials, each dying away at its own rate
(high ones first); the ratios below are those of the shapes named.
"""

import numpy as np

import dsp
from dsp import RATE

# Church bell partials relative to the prime (hum, prime, tierce, quint,
# nominal and the upper ones); the nominal is heard as the strike note.
CHURCH_RATIOS = [0.5, 1.0, 1.19, 1.51, 2.0, 2.51, 2.66, 3.01, 4.17, 5.43, 6.79, 8.2, 9.96]
CHURCH_AMPS = [0.55, 0.45, 0.42, 0.18, 0.60, 0.26, 0.20, 0.14, 0.09, 0.06, 0.04, 0.03, 0.02]
CHURCH_DECAY = [1.00, 0.62, 0.55, 0.30, 0.42, 0.22, 0.18, 0.14, 0.09, 0.06, 0.045, 0.035, 0.025]

# Free-free bar (chime bar, glockenspiel): modes 1 : 2.756 : 5.404 : 8.933.
BAR_RATIOS = [1.0, 2.756, 5.404, 8.933]


def _strike_noise(n, rng, centre, width_s, gain):
    """The hammer's own clang: a few ms of band noise at the strike."""
    noise = dsp.shape_noise(n, dsp.bandpass(centre, 1.5), rng)
    noise /= max(np.max(np.abs(noise)), 1e-9)
    return gain * noise * dsp.exp_decay(n, width_s)


def church_bell(prime, length, rng, decay_scale=3.0, brightness=1.0):
    """One stroke of a church bell whose prime is `prime` Hz."""
    n = dsp.samples(length)
    decays = [d * decay_scale for d in CHURCH_DECAY]
    amps = [a * (brightness if i > 4 else 1.0) for i, a in enumerate(CHURCH_AMPS)]
    tone = dsp.partials(CHURCH_RATIOS, prime, amps, decays, n, detune=0.0018, rng=rng)
    attack = dsp.smooth_step(dsp.samples(0.004))
    tone[:len(attack)] *= attack
    tone += _strike_noise(n, rng, prime * 9, 0.012, 0.25 * brightness)
    return tone


def tower_stroke(rng):
    """The tower clock's hour bell: a big bell, strike note about B3, left
    to ring out over four seconds (strokes come some four seconds apart)."""
    x = church_bell(123.5, 4.2, rng, decay_scale=2.6)
    return dsp.fade(x, 0.005, 0.9)


def church_peal(rng, length=30.0):
    """Four swinging bells, the smallest starting first; each strikes at
    both ends of its swing, the bells drift in and out of step, then stop
    in turn and ring out."""
    primes = [146.8, 130.8, 110.0, 98.0]       # strike notes D4 C4 A3 G3
    periods = [1.30, 1.42, 1.58, 1.76]         # half swing, heavier is slower
    starts = [0.0, 1.1, 2.4, 3.6]
    stops = [20.0, 21.3, 22.6, 23.8]
    out = dsp.silence(length)
    for prime, half, start, stop in zip(primes, periods, starts, stops):
        # Two prepared strokes per bell (the clapper hits the two flanks a
        # little differently); copies are mixed in at each strike.
        strokes = [church_bell(prime, 7.0, rng, decay_scale=3.2, brightness=b)
                   for b in (1.0, 0.8)]
        t = start
        k = 0
        while t < stop:
            gain = (0.9 if k % 2 else 1.0) * rng.uniform(0.9, 1.05)
            dsp.place(out, strokes[k % 2], t, gain)
            t += half * rng.uniform(0.97, 1.03)
            k += 1
    return dsp.fade(out, 0.005, 3.5)


def tram_bell(rng):
    """Ding-ding: the driver's foot bell, a bright dome struck twice."""
    ratios = [1.0, 2.32, 3.98, 5.24, 6.61]
    amps = [1.0, 0.55, 0.35, 0.2, 0.12]
    decays = [0.55, 0.32, 0.2, 0.13, 0.08]
    n = dsp.samples(1.25)
    out = np.zeros(n)
    for at, gain in ((0.0, 1.0), (0.19, 0.85)):
        m = n - dsp.samples(at)
        ding = dsp.partials(ratios, 830.0, amps, decays, m, detune=0.003, rng=rng)
        ding += _strike_noise(m, rng, 4000, 0.004, 0.3)
        dsp.place(out, ding, at, gain)
    return dsp.fade(out, 0.003, 0.25)


def bar_note(freq, length, rng, hardness=0.5, decay=1.0):
    """One chime or glockenspiel bar struck by a mallet; hardness brings out
    the upper modes."""
    n = dsp.samples(length)
    amps = [1.0, 0.35 * hardness, 0.12 * hardness, 0.05 * hardness]
    decays = [decay, decay * 0.25, decay * 0.1, decay * 0.05]
    x = dsp.partials(BAR_RATIOS, freq, amps, decays, n, rng=rng)
    x += _strike_noise(n, rng, min(freq * 4, 8000), 0.002, 0.08 * hardness)
    attack = dsp.smooth_step(dsp.samples(0.002))
    x[:len(attack)] *= attack
    return x


def door_chime(rng):
    """Ding-dong of an electric door chime: the plunger strikes E5, then
    falls back on C5."""
    out = dsp.silence(1.9)
    for at, freq, gain in ((0.0, 659.3, 1.0), (0.5, 523.3, 0.95)):
        note = bar_note(freq, 1.9 - at, rng, hardness=0.35, decay=0.8)
        # the solenoid's tick as the plunger moves
        tick = _strike_noise(dsp.samples(0.03), rng, 1500, 0.003, 0.15)
        dsp.place(out, note, at, gain)
        dsp.place(out, tick, at)
    return dsp.fade(out, 0.003, 0.3)


def electric_bell(rng, length=0.75, ring=0.5, base=1850.0, rate=26.0):
    """An old electric house bell: the clapper hammers a small gong as long
    as the button is held."""
    n = dsp.samples(length)
    ratios = [1.0, 2.62, 4.13, 5.9]
    amps = [1.0, 0.5, 0.25, 0.1]
    decays = [0.18, 0.09, 0.05, 0.03]
    one = dsp.partials(ratios, base, amps, decays, n, detune=0.002, rng=rng)
    out = np.zeros(n)
    t = 0.0
    while t < ring:
        dsp.place(out, one, t, rng.uniform(0.5, 0.7))
        t += 1 / rate * rng.uniform(0.92, 1.08)
    # the buzzing contact of the interrupter under the ring
    hum = dsp.harmonics(rate * 2, [1, 0.6, 0.4, 0.3, 0.2], n)
    gate = np.clip((dsp.samples(ring) - np.arange(n)) / dsp.samples(0.02), 0, 1)
    hum *= 0.06 * gate
    out += hum
    return dsp.fade(out, 0.004, 0.15)


def alarm_clock(rng, length=10.0):
    """A wind-up alarm clock: a hammer swings between two bells about 16
    times a second each; towards the end the spring runs down and the
    strokes slow and weaken."""
    n = dsp.samples(length)
    strike_len = dsp.samples(0.35)
    bells = []
    for base in (2230.0, 2460.0):
        ratios = [1.0, 2.45, 3.9, 5.1]
        amps = [1.0, 0.45, 0.25, 0.12]
        decays = [0.22, 0.1, 0.06, 0.04]
        b = dsp.partials(ratios, base, amps, decays, strike_len, detune=0.002, rng=rng)
        b += _strike_noise(strike_len, rng, 5000, 0.002, 0.25)
        bells.append(b)
    out = np.zeros(n)
    run_down = length - 2.2
    t, k = 0.0, 0
    rate = 32.0
    while t < length - 0.4:
        slow = 1.0 if t < run_down else 1 + 2.5 * ((t - run_down) / 2.2) ** 2
        strength = 1.0 if t < run_down else max(0.15, 1 - (t - run_down) / 2.0)
        # a short breath in the ringing every few seconds, as the hammer
        # catches on the bell
        if 3.3 < t < 3.45 or 6.6 < t < 6.72:
            strength *= 0.4
        dsp.place(out, bells[k % 2], t, strength * rng.uniform(0.8, 1.0))
        t += slow / rate * rng.uniform(0.93, 1.07)
        k += 1
    # mechanical rattle of the clock case
    rattle = dsp.shape_noise(n, dsp.bandpass(900, 2), rng)
    rattle *= 0.05 * np.abs(np.sin(np.pi * 16 * np.arange(n) / RATE))
    rattle *= np.clip((dsp.samples(run_down + 1.5) - np.arange(n)) / dsp.samples(0.3), 0, 1)
    out += rattle
    return dsp.fade(out, 0.005, 0.4)


def glockenspiel_tune(rng):
    """The ice-cream van's jingle: a short tune of our own on a glockenspiel,
    with a soft lower voice."""
    beat = 0.17

    def midi(m):
        return 440.0 * 2 ** ((m - 69) / 12)

    # (note, length in beats); 0 is a rest
    melody = [(79, 1), (76, 1), (79, 1), (84, 2), (83, 1), (81, 1), (79, 2),
              (81, 1), (77, 1), (74, 1), (79, 2), (76, 1), (72, 3)]
    bass = [(60, 4), (55, 4), (53, 4), (55, 2), (60, 4)]
    total = sum(d for _, d in melody) * beat + 0.9
    out = dsp.silence(total)
    t = 0.0
    for note, dur in melody:
        if note:
            dsp.place(out, bar_note(midi(note), 1.0, rng, hardness=0.8, decay=0.45), t)
        t += dur * beat
    t = 0.0
    for note, dur in bass:
        dsp.place(out, bar_note(midi(note), 1.2, rng, hardness=0.3, decay=0.6), t, 0.45)
        t += dur * beat
    return dsp.fade(out, 0.003, 0.4)
