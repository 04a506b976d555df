"""Engines, horns, bicycles and the tram.

An engine is a train of firing pulses (one per cylinder firing, a little
uneven in time and strength) driven through the resonances of exhaust and
body; the firing rate sets the speed. The ladders of one vehicle share their
engine and only change the rate, so they blend when the script steps speed.
Engine samples are steady from start to end: a script replays them every few
frames and the previous one fades out under the new, so each lasts at least
the longest replay interval of its ladder at the slowest frame rate (60 ms
frames), or the engine would fall silent between two plays.
"""

import numpy as np

import dsp
from dsp import RATE


def firing_train(n, rate, rng, cylinders=4, cyl_spread=0.15, jitter=0.02,
                 pulse_width=0.0012, noise_burst=0.004, noise_mix=0.4):
    """Excitation of an engine: one pulse per firing plus a short noisy burst
    (combustion roar) after each."""
    gains = 1 + cyl_spread * rng.uniform(-1, 1, cylinders)
    exc = np.zeros(n)
    burst_env = np.zeros(n)
    t = rng.uniform(0, 1 / rate)
    k = 0
    while t < n / RATE:
        i = int(t * RATE)
        g = gains[k % cylinders] * (1 + 0.08 * rng.standard_normal())
        exc[i] += g
        burst_env[i] += g
        t += (1 / rate) * (1 + jitter * rng.standard_normal())
        k += 1
    shape = dsp.pulse(dsp.samples(pulse_width * 8), pulse_width)
    exc = np.convolve(exc, shape)[:n]
    decay = np.exp(-np.arange(dsp.samples(noise_burst * 6)) / (noise_burst * RATE))
    burst_env = np.convolve(burst_env, decay)[:n]
    roar = dsp.white(n, rng) * burst_env
    exc /= max(np.max(np.abs(exc)), 1e-9)
    roar /= max(np.max(np.abs(roar)), 1e-9)
    return exc + noise_mix * roar


def engine(length, rate, rng, body, cylinders=4, cyl_spread=0.15, jitter=0.02,
           pulse_width=0.0012, noise_burst=0.004, noise_mix=0.4,
           road=0.0, road_band=(250, 1200), wobble=0.05, top=3500):
    n = dsp.samples(length)
    exc = firing_train(n, rate, rng, cylinders, cyl_spread, jitter,
                       pulse_width, noise_burst, noise_mix)
    x = dsp.spectrum_filter(exc, dsp.combine(dsp.resonances(body), dsp.highpass(30, 2),
                                             dsp.lowpass(top, 2)))
    x /= max(np.max(np.abs(x)), 1e-9)
    if road > 0:
        lo, hi = road_band
        tyres = dsp.shape_noise(n, dsp.combine(dsp.highpass(lo, 1), dsp.lowpass(hi, 2)), rng)
        tyres /= max(np.max(np.abs(tyres)), 1e-9)
        x += road * tyres
    x *= dsp.wobble(n, rng, rate=4, depth=wobble)
    return dsp.fade(x, 0.012, 0.04)


# --- the ladders --------------------------------------------------------------

DIESEL_BODY = [(85, 2.0, 1.0), (170, 3.0, 0.55), (420, 3.0, 0.3), (1300, 2.0, 0.22), (2600, 3.0, 0.12)]
CAR_BODY = [(110, 2.0, 1.0), (260, 2.5, 0.5), (520, 3.0, 0.25), (1500, 2.0, 0.06)]
SMALL_CAR_BODY = [(140, 2.0, 0.8), (480, 3.0, 0.7), (1100, 3.0, 0.3), (2200, 3.0, 0.1)]
MOPED_BODY = [(240, 3.0, 0.6), (950, 4.0, 0.8), (1900, 4.0, 0.35), (3600, 3.0, 0.12)]
TRACTOR_BODY = [(70, 2.0, 1.0), (150, 2.5, 0.5), (900, 2.0, 0.3), (2200, 2.0, 0.2)]


def diesel(step, rng):
    """Bus and lorry: a six-cylinder diesel, idle (0) to fast (3)."""
    rate = [36, 52, 70, 90][step]
    return engine(1.35, rate, rng, DIESEL_BODY, cylinders=6, cyl_spread=0.25,
                  pulse_width=0.0008, noise_burst=0.003, noise_mix=0.7,
                  road=[0.0, 0.08, 0.14, 0.2][step], road_band=(150, 900))


def car(step, rng):
    """Ordinary car: four cylinders, smooth, tyre noise rising with speed."""
    rate = [26, 45, 64, 84][step]
    return engine(0.42, rate, rng, CAR_BODY, cylinders=4, cyl_spread=0.1,
                  pulse_width=0.0018, noise_burst=0.003, noise_mix=0.3,
                  road=[0.0, 0.15, 0.25, 0.35][step])


def small_car(step, rng):
    """Small car with an air-cooled twin: a nasal, rattly buzz."""
    rate = [22, 36, 50, 66][step]
    return engine(0.48, rate, rng, SMALL_CAR_BODY, cylinders=2, cyl_spread=0.2,
                  jitter=0.03, pulse_width=0.001, noise_burst=0.005, noise_mix=0.6,
                  road=[0.0, 0.1, 0.18, 0.25][step], top=4000)


def moped(step, rng):
    """Two-stroke moped: 0 the low putter, 1-3 the rising ring-ding."""
    rate = [30, 55, 76, 98][step]
    return engine(1.0, rate, rng, MOPED_BODY, cylinders=1, cyl_spread=0.0,
                  jitter=[0.08, 0.03, 0.02, 0.015][step], pulse_width=0.0007,
                  noise_burst=0.006, noise_mix=0.9,
                  road=[0.0, 0.05, 0.08, 0.1][step], wobble=0.08, top=5000)


def tractor(rng):
    """The slow vehicle: a single-cylinder diesel knocking along."""
    return engine(0.45, 9.5, rng, TRACTOR_BODY, cylinders=1, jitter=0.03,
                  pulse_width=0.002, noise_burst=0.012, noise_mix=0.8, wobble=0.03, top=2500)


def distant_car(rng):
    """A car passing somewhere behind the houses: engine hum with a falling
    pitch as it passes, tyre noise, all muffled by distance."""
    length = 3.6
    n = dsp.samples(length)
    t = np.arange(n) / RATE
    pass_at = 1.7
    # Doppler: the pitch falls by some 10 % around the passing moment
    doppler = 1 + 0.05 * np.tanh(-(t - pass_at) / 0.5)
    hum = dsp.harmonics(62 * doppler, [1, 0.6, 0.45, 0.3, 0.2, 0.12], n)
    hum += dsp.harmonics(31 * doppler, [0.5], n)
    tyres = dsp.shape_noise(n, dsp.combine(dsp.highpass(180, 1), dsp.lowpass(700, 2)), rng)
    tyres /= np.max(np.abs(tyres))
    hum /= np.max(np.abs(hum))
    x = 0.45 * hum + tyres
    x = dsp.spectrum_filter(x, dsp.lowpass(900, 2))
    swell = np.exp(-0.5 * ((t - pass_at) / 0.75) ** 2)
    return dsp.fade(x * swell, 0.3, 0.5)


# --- horns --------------------------------------------------------------------

def _horn_tone(freq, n, rng, harm=24, tilt=0.8, settle=0.02, drop=0.03):
    """A horn's buzzing tone: rich harmonics whose pitch settles from slightly
    flat as the diaphragm (or reed) starts."""
    t = np.arange(n) / RATE
    f = freq * (1 - drop * np.exp(-t / settle))
    amps = [1 / k ** tilt for k in range(1, harm + 1)]
    return dsp.harmonics(f, amps, phase_jitter=True, rng=rng)


def car_horn(rng):
    """The usual twin-tone car horn, one firm press."""
    n = dsp.samples(0.45)
    x = _horn_tone(415, n, rng) + 0.9 * _horn_tone(520, n, rng)
    x = dsp.spectrum_filter(x, dsp.resonances([(600, 1.5, 0.6), (1900, 2.5, 1.0), (3100, 3.0, 0.5)]))
    x *= dsp.adsr(n, 0.012, 0.1, 0.85, 0.04)
    return dsp.fade(x, 0.004, 0.02)


def truck_horn(rng):
    """Lorry and coach: an air horn chord, deep and a little late to speak."""
    n = dsp.samples(0.75)
    x = np.zeros(n)
    for f, g in ((155.6, 1.0), (196.0, 0.85), (233.1, 0.7)):
        x += g * _horn_tone(f, n, rng, harm=40, tilt=0.7, settle=0.05, drop=0.08)
    x = dsp.spectrum_filter(x, dsp.resonances([(480, 1.5, 1.0), (1100, 2.0, 0.6), (2400, 2.5, 0.25)]))
    x *= dsp.adsr(n, 0.05, 0.2, 0.9, 0.08)
    return dsp.fade(x, 0.006, 0.03)


def small_horn(rng):
    """A small car's high, nasal 'meep'."""
    n = dsp.samples(0.28)
    x = _horn_tone(720, n, rng, harm=14, tilt=0.9)
    x = dsp.spectrum_filter(x, dsp.resonances([(2300, 3.0, 1.0), (1200, 2.0, 0.4)]))
    x *= dsp.adsr(n, 0.01, 0.08, 0.8, 0.03)
    return dsp.fade(x, 0.004, 0.02)


def double_toot(rng):
    """Two quick toots on a light horn."""
    out = dsp.silence(0.36)
    for at in (0.0, 0.18):
        n = dsp.samples(0.13)
        x = _horn_tone(560, n, rng, harm=16, tilt=0.85)
        x = dsp.spectrum_filter(x, dsp.resonances([(1700, 2.5, 1.0), (2900, 3.0, 0.4)]))
        x *= dsp.adsr(n, 0.008, 0.05, 0.85, 0.025)
        dsp.place(out, x, at)
    return dsp.fade(out, 0.004, 0.02)


def bulb_horn(rng):
    """A rubber-bulb horn: a reedy honk that sags as the bulb empties."""
    n = dsp.samples(0.36)
    t = np.arange(n) / RATE
    f = 335 * (1 - 0.06 * t / t[-1]) * (1 - 0.05 * np.exp(-t / 0.02))
    amps = [1 / k ** 0.6 for k in range(1, 30)]
    x = dsp.harmonics(f, amps, phase_jitter=True, rng=rng)
    breath = dsp.shape_noise(n, dsp.bandpass(1400, 1.5), rng)
    x += 0.15 * breath * np.max(np.abs(x)) / np.max(np.abs(breath))
    x = dsp.spectrum_filter(x, dsp.resonances([(900, 2.0, 1.0), (2200, 3.0, 0.35)]))
    x *= dsp.adsr(n, 0.03, 0.12, 0.75, 0.06)
    return dsp.fade(x, 0.005, 0.02)


# --- bicycles -----------------------------------------------------------------

def _ticks(n, rate, rng, freqs=(3400, 5600, 7900), decay=0.0025):
    """Freewheel pawl clicks at `rate` per second."""
    one = dsp.partials([f / freqs[0] for f in freqs], freqs[0], [1.0, 0.6, 0.3],
                       [decay, decay * 0.7, decay * 0.5], dsp.samples(0.03), rng=rng)
    out = np.zeros(n)
    t = rng.uniform(0, 1 / rate)
    while t < n / RATE:
        dsp.place(out, one, t, rng.uniform(0.6, 1.0))
        t += (1 / rate) * rng.uniform(0.9, 1.1)
    return out


def _tyre_hiss(n, rng, level, centre=1800):
    h = dsp.shape_noise(n, dsp.bandpass(centre, 0.8), rng)
    return level * h / np.max(np.abs(h))


def bicycle(step, rng):
    """Bicycles: 0 coasting slowly (freewheel ticking), 1 coasting faster,
    2 and 3 pedalling (chain whirr) at rising speed; tyres hiss throughout."""
    n = dsp.samples(0.85)
    if step < 2:
        x = 0.35 * _ticks(n, [9, 15][step], rng)
        x += _tyre_hiss(n, rng, [0.2, 0.26][step])
    else:
        rate = [42, 58][step - 2]
        chain = dsp.shape_noise(n, dsp.bandpass(2200, 1.2), rng)
        chain /= np.max(np.abs(chain))
        teeth = 0.5 + 0.5 * np.sin(2 * np.pi * rate * np.arange(n) / RATE)
        pedal = 0.7 + 0.3 * np.sin(2 * np.pi * rate / 28 * np.arange(n) / RATE)
        x = 0.5 * chain * teeth ** 3 * pedal
        x += _tyre_hiss(n, rng, [0.25, 0.35][step - 2], centre=1500)
    return dsp.fade(x, 0.012, 0.04)


def squeaky_bicycle(rng):
    """An old bicycle: the pedal crank squeaks once a stroke."""
    n = dsp.samples(0.9)
    out = _tyre_hiss(n, rng, 0.1)
    for at in (0.05, 0.5):
        m = dsp.samples(0.16)
        t = np.arange(m) / RATE
        f = 1250 + 180 * np.sin(2 * np.pi * 23 * t) + 300 * t / t[-1]
        sq = dsp.harmonics(f, [1, 0.35, 0.2], phase_jitter=True, rng=rng)
        sq *= np.sin(np.pi * t / t[-1]) ** 2
        dsp.place(out, sq, at, 0.7)
    return dsp.fade(out, 0.012, 0.04)


# --- the tram -------------------------------------------------------------------

def _rail_clack(rng):
    """A wheel crossing a rail joint: a dull blow with a short ring of steel."""
    n = dsp.samples(0.2)
    thump = dsp.partials([1.0, 2.3, 3.9], 72, [1.0, 0.5, 0.3], [0.05, 0.03, 0.02], n, rng=rng)
    ring = dsp.partials([1.0, 1.47, 2.21], 1650, [0.3, 0.2, 0.1], [0.03, 0.02, 0.015], n, rng=rng)
    grit = dsp.shape_noise(n, dsp.bandpass(600, 1.0), rng)
    grit = 0.4 * grit / np.max(np.abs(grit)) * dsp.exp_decay(n, 0.01)
    return thump + ring + grit


def tram_ride(rng):
    """A tram rolling by: rumble of steel on rail, the whine of its motors
    and one bogie crossing a rail joint (ta-dam)."""
    length = 1.2
    n = dsp.samples(length)
    rumble = dsp.shape_noise(n, dsp.combine(dsp.highpass(35, 2), dsp.lowpass(260, 2)), rng)
    rumble /= np.max(np.abs(rumble))
    rumble *= dsp.wobble(n, rng, rate=9, depth=0.25)
    hiss = dsp.shape_noise(n, dsp.bandpass(2500, 1.2), rng)
    hiss = 0.06 * hiss / np.max(np.abs(hiss))
    whine = dsp.harmonics(355.0, [1.0, 0.35, 0.5, 0.15], n) * 0.07
    x = 0.8 * rumble + hiss + whine
    clack = _rail_clack(rng)
    dsp.place(x, clack, 0.12, 0.9)
    dsp.place(x, clack, 0.27, 1.0)
    return dsp.fade(x, 0.02, 0.08)
