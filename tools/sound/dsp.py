"""Small signal toolkit for the sound generator: oscillators, envelopes,
spectral filters, mixing, level measurement and WAV output.

Everything is numpy float64 at one sample rate; filters work in the frequency
domain (zero phase) because numpy has no recursive filter and a Python loop
per sample would make the build slow.
"""

import wave

import numpy as np

RATE = 22050

# Level measure shared with the resource test: the loudest RMS over a sliding
# window of this length, so a short knock and a long drone compare fairly.
LEVEL_WINDOW_S = 0.1
LEVEL_HOP_S = 0.01

PEAK_LIMIT = 10 ** (-1.0 / 20)  # -1 dBFS keeps headroom for resampling


def samples(duration):
    return int(round(duration * RATE))


def timeline(duration):
    return np.arange(samples(duration)) / RATE


def silence(duration):
    return np.zeros(samples(duration))


def db(x):
    return 20 * np.log10(max(x, 1e-12))


def undb(d):
    return 10 ** (d / 20)


# --- oscillators -----------------------------------------------------------

def phase_of(freq, n=None):
    """Running phase (radians) of a constant or per-sample frequency."""
    if np.isscalar(freq):
        return 2 * np.pi * freq * np.arange(n) / RATE
    return 2 * np.pi * np.cumsum(freq) / RATE


def glide(f_start, f_end, n, curve=1.0):
    """A frequency track from f_start to f_end over n samples (exponential
    in pitch; curve > 1 lingers near the start)."""
    u = np.linspace(0, 1, n) ** curve
    return f_start * (f_end / f_start) ** u


def harmonics(f0, amps, n=None, phase_jitter=None, rng=None, limit=None):
    """Sum of harmonics k*f0 (k = 1..len(amps)); harmonics near the Nyquist
    frequency (or limit) fade out smoothly as they approach it, so that a
    sweep neither aliases nor switches a harmonic on with a click."""
    ph = phase_of(f0, n)
    f0v = np.full(len(ph), f0) if np.isscalar(f0) else np.asarray(f0)
    top = limit if limit else RATE * 0.45
    out = np.zeros(len(ph))
    for k, a in enumerate(amps, start=1):
        if a == 0:
            continue
        p0 = rng.uniform(0, 2 * np.pi) if (phase_jitter and rng is not None) else 0.0
        out += a * np.sin(k * ph + p0) * band_taper(k * f0v, top)
    return out


def band_taper(freq, top):
    """1 well below top, falling smoothly to 0 at top."""
    return np.clip((top - np.asarray(freq)) / (0.15 * top), 0, 1) ** 2


def formant_gain(freq, formants):
    """Gain of a bank of resonances (centre, bandwidth, gain) at freq."""
    freq = np.asarray(freq, dtype=float)
    g = np.zeros_like(freq)
    for fc, bw, amp in formants:
        g += amp / (1 + ((freq - fc) / (bw / 2)) ** 2)
    return g


def voiced(f0, formants, n_harm=40, breath=0.0, rng=None):
    """A voice-like source-filter tone: harmonics of the f0 track weighted by
    the formant envelope at each harmonic's own frequency."""
    f0 = np.asarray(f0, dtype=float)
    ph = phase_of(f0)
    out = np.zeros(len(f0))
    for k in range(1, n_harm + 1):
        fk = k * f0
        amp = formant_gain(fk, formants) / k ** 0.3
        amp *= band_taper(fk, RATE * 0.45)
        out += amp * np.sin(k * ph)
    if breath > 0 and rng is not None:
        noise = shape_noise(len(f0), lambda f: formant_gain(f, formants), rng)
        out += breath * noise * np.max(np.abs(out)) / max(np.max(np.abs(noise)), 1e-9)
    return out


def partials(ratios, base, amps, decays, n, detune=None, rng=None, strike=None, attack=0.0006):
    """Struck-body tone: inharmonic partials (ratio*base) each with its own
    exponential decay time; detune splits each partial into a beating pair.
    The end is tapered, so a tone cut short never ends with a step."""
    t = np.arange(n) / RATE
    out = np.zeros(n)
    for i, (r, a, tau) in enumerate(zip(ratios, amps, decays)):
        f = r * base
        if f >= RATE * 0.45:
            continue
        p0 = rng.uniform(0, 2 * np.pi) if rng is not None else 0.0
        env = np.exp(-t / tau)
        if detune:
            d = detune * f
            tone = 0.5 * (np.sin(2 * np.pi * (f - d / 2) * t + p0)
                          + np.sin(2 * np.pi * (f + d / 2) * t + p0 * 1.7))
        else:
            tone = np.sin(2 * np.pi * f * t + p0)
        out += a * env * tone
    if strike is not None:
        out *= strike
    rise = min(samples(attack), n // 3)
    if rise > 0:
        out[:rise] *= smooth_step(rise)
    tail = min(samples(0.03), n // 3)
    if tail > 0:
        out[-tail:] *= smooth_step(tail)[::-1]
    return out


# --- noise and spectral shaping -------------------------------------------

def white(n, rng):
    return rng.standard_normal(n)


def spectrum_filter(x, response):
    """Zero-phase filter: multiply the spectrum by response(freqs)."""
    n = len(x)
    size = 1 << int(np.ceil(np.log2(max(n, 2) * 2)))
    bins = np.fft.rfft(x, size)
    freqs = np.fft.rfftfreq(size, 1 / RATE)
    bins *= response(freqs)
    return np.fft.irfft(bins, size)[:n]


def shape_noise(n, response, rng):
    return spectrum_filter(white(n, rng), response)


def lowpass(fc, order=2):
    return lambda f: 1 / np.sqrt(1 + (f / fc) ** (2 * order))


def highpass(fc, order=2):
    return lambda f: 1 / np.sqrt(1 + (fc / np.maximum(f, 1e-3)) ** (2 * order))


def bandpass(fc, q):
    return lambda f: 1 / np.sqrt(1 + q * q * (np.maximum(f, 1e-3) / fc - fc / np.maximum(f, 1e-3)) ** 2)


def combine(*responses):
    def r(f):
        g = np.ones_like(f)
        for resp in responses:
            g = g * resp(f)
        return g
    return r


def resonances(bank):
    """A response made of resonant peaks [(fc, q, gain), ...] summed."""
    return lambda f: sum(g * bandpass(fc, q)(f) for fc, q, g in bank)


def moving_filter(x, response_at, frame=1024, hop=256):
    """Time-varying zero-phase filter by overlap-add: response_at(t, freqs)
    gives the gain at the frame centre t (seconds)."""
    n = len(x)
    win = np.hanning(frame)
    pad = np.concatenate([np.zeros(frame), x, np.zeros(frame)])
    out = np.zeros(len(pad))
    norm = np.zeros(len(pad))
    freqs = np.fft.rfftfreq(frame, 1 / RATE)
    for start in range(0, len(pad) - frame, hop):
        seg = pad[start:start + frame] * win
        t = (start + frame / 2 - frame) / RATE
        bins = np.fft.rfft(seg) * response_at(t, freqs)
        out[start:start + frame] += np.fft.irfft(bins, frame) * win
        norm[start:start + frame] += win * win
    out = out / np.maximum(norm, 1e-6)
    return out[frame:frame + n]


# --- envelopes ---------------------------------------------------------------

def exp_decay(n, tau, delay=0):
    t = np.arange(n) / RATE
    env = np.exp(-np.maximum(t - delay, 0) / tau)
    return env


def adsr(n, attack, decay, sustain, release, hold=None):
    """Linear attack, exponential decay to sustain, then a release ramp to 0
    over the last `release` seconds."""
    t = np.arange(n) / RATE
    env = np.where(t < attack, t / max(attack, 1e-6),
                   sustain + (1 - sustain) * np.exp(-(t - attack) / max(decay, 1e-6)))
    total = n / RATE
    rel_start = total - release if hold is None else hold
    tail = np.clip((total - t) / max(total - rel_start, 1e-6), 0, 1)
    return env * np.where(t > rel_start, tail, 1.0)


def smooth_step(n):
    """Raised-cosine ramp 0..1 over n samples."""
    return 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, n))


def fade(x, fade_in=0.01, fade_out=0.03):
    """Raised-cosine fades at both ends so a sound never starts or stops with
    a step (a click on every playback)."""
    x = x.copy()
    a = min(samples(fade_in), len(x) // 2)
    b = min(samples(fade_out), len(x) // 2)
    if a > 0:
        x[:a] *= smooth_step(a)
    if b > 0:
        x[-b:] *= smooth_step(b)[::-1]
    x[0] = 0.0
    x[-1] = 0.0
    return x


def pulse(n, width):
    """Gaussian pulse of the given width (s), centred at 3 widths."""
    t = np.arange(n) / RATE
    c = 3 * width
    return np.exp(-0.5 * ((t - c) / width) ** 2)


def place(buf, x, at, gain=1.0):
    """Mix x into buf starting at time `at` (seconds), clipped to buf."""
    i = samples(at)
    if i >= len(buf):
        return buf
    m = min(len(x), len(buf) - i)
    buf[i:i + m] += gain * x[:m]
    return buf


def tremolo(n, rate, depth, phase=0.0):
    t = np.arange(n) / RATE
    return 1 - depth * (0.5 + 0.5 * np.sin(2 * np.pi * rate * t + phase))


def wobble(n, rng, rate=3.0, depth=0.1):
    """Slow random modulation (smoothed noise) around 1."""
    steps = max(int(n / RATE * rate) + 3, 4)
    pts = rng.uniform(-1, 1, steps)
    xs = np.linspace(0, n, steps)
    return 1 + depth * np.interp(np.arange(n), xs, pts)


# --- levels -----------------------------------------------------------------

def level_db(x):
    """Loudest windowed RMS in dBFS (the measure the resource test uses)."""
    w = samples(LEVEL_WINDOW_S)
    hop = samples(LEVEL_HOP_S)
    if len(x) <= w:
        return db(np.sqrt(np.mean(x * x)))
    c = np.concatenate([[0.0], np.cumsum(x * x)])
    starts = np.arange(0, len(x) - w + 1, hop)
    ms = (c[starts + w] - c[starts]) / w
    return db(np.sqrt(ms.max()))


def peak(x):
    return float(np.max(np.abs(x))) if len(x) else 0.0


def limit_peaks(x, ceiling):
    """Gentle peak limiter: a gain curve that dips under the samples that
    would pass the ceiling, spread over a few ms so it does not distort."""
    over = np.abs(x) / ceiling
    if over.max() <= 1:
        return x
    need = np.maximum(over, 1.0)
    spread = samples(0.003)
    kernel = np.ones(2 * spread + 1)
    # sliding maximum of need, then smoothed
    padded = np.concatenate([np.ones(spread), need, np.ones(spread)])
    view = np.lib.stride_tricks.sliding_window_view(padded, len(kernel))
    peak_need = view.max(axis=1)
    smooth = np.convolve(peak_need, np.hanning(2 * spread + 1) / np.hanning(2 * spread + 1).sum(), "same")
    gain = 1 / np.maximum(smooth, peak_need)
    return x * gain


def normalise(x, target_db):
    """Scale to the target windowed level, keeping peaks under PEAK_LIMIT."""
    if peak(x) == 0:
        return x
    for _ in range(4):
        x = x * undb(target_db - level_db(x))
        x = limit_peaks(x, PEAK_LIMIT * 0.98)
    return x


# --- output -----------------------------------------------------------------

def write_wav(path, x, rate=RATE):
    data = np.clip(np.round(x * 32767), -32767, 32767).astype("<i2")
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(data.tobytes())
